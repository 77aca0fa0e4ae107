#ifndef AIDA_IPLOTTERLAYOUT_H
#define AIDA_IPLOTTERLAYOUT_H

#include <string>
#include <vector>

namespace AIDA {

// The placement of the parts of a plotter region (axes, title, info box),
// set by named parameters whose names and values the AIDA system lists.
class IPlotterLayout {
public:
    virtual ~IPlotterLayout() {}

    virtual void reset() = 0;
    virtual bool setParameter(const std::string& parameter, double value) = 0;
    virtual double parameterValue(const std::string& parameter) = 0;
    virtual std::vector<std::string> availableParameters() const = 0;
};

}  // namespace AIDA

#endif
