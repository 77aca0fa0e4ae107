#ifndef AIDA_IBASESTYLE_H
#define AIDA_IBASESTYLE_H

#include <string>
#include <vector>

namespace AIDA {

// What every plotting style has: named parameters with text values, whose
// names and accepted values the AIDA system lists.
class IBaseStyle {
public:
    virtual ~IBaseStyle() {}

    // Back to the AIDA system's defaults.
    virtual void reset() = 0;
    // False when the parameter or the value is not accepted.
    virtual bool setParameter(const std::string& parameter, const std::string& options = "") = 0;
    virtual std::string parameterValue(const std::string& parameter) const = 0;
    virtual std::vector<std::string> availableParameters() const = 0;
    virtual std::vector<std::string> availableParameterOptions(const std::string& parameter) const = 0;
};

}  // namespace AIDA

#endif
