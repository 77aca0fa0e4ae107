#ifndef AIDA_IINFO_H
#define AIDA_IINFO_H

#include <string>

namespace AIDA {

// The information box of a plotter region: lines of text shown beside the
// plot.
class IInfo {
public:
    virtual ~IInfo() {}

    // Removes every line.
    virtual void clear() = 0;
    virtual void addText(const std::string& text) = 0;
};

}  // namespace AIDA

#endif
