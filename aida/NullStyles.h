#ifndef ZARN_AIDA_NULLSTYLES_H
#define ZARN_AIDA_NULLSTYLES_H

#include <string>
#include <vector>

#include "AIDA/IInfo.h"
#include "AIDA/IPlotterLayout.h"
#include "AIDA/IPlotterStyle.h"
#include "AIDA/ITitleStyle.h"

// Style, layout and info objects that accept everything and do nothing, for
// AIDA systems that draw nothing but must hand out references.
// Threads: stateless, any thread.

template <class Style> class VornNullStyle : public Style {
public:
    void reset() override {}
    bool setParameter(const std::string&, const std::string&) override { return false; }
    std::string parameterValue(const std::string&) const override { return ""; }
    std::vector<std::string> availableParameters() const override { return {}; }
    std::vector<std::string> availableParameterOptions(const std::string&) const override { return {}; }
};

class VornNullLayout : public AIDA::IPlotterLayout {
public:
    void reset() override {}
    bool setParameter(const std::string&, double) override { return false; }
    double parameterValue(const std::string&) override { return 0; }
    std::vector<std::string> availableParameters() const override { return {}; }
};

class VornNullInfo : public AIDA::IInfo {
public:
    void clear() override {}
    void addText(const std::string&) override {}
};

// One shared object of type T for the whole process. It is never destroyed,
// so references stay good while other objects are torn down at exit.
template <class T> T& vornNullObject() {
    static T* object = new T;
    return *object;
}

#endif
