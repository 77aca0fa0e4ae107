#ifndef AIDA_IPLOTTERREGION_H
#define AIDA_IPLOTTERREGION_H

#include <limits>
#include <string>
#include <vector>

namespace AIDA {

class IBaseHistogram;
class IDataPointSet;
class IFunction;
class IInfo;
class IPlotterLayout;
class IPlotterStyle;

// One region of a plotter: shows the objects plotted into it until they
// are removed or the region is cleared. Plotting an object that is shown
// already refreshes it.
class IPlotterRegion {
public:
    virtual ~IPlotterRegion() {}

    virtual bool plot(const IBaseHistogram& histogram, const std::string& options = "") = 0;
    virtual bool plot(const IBaseHistogram& histogram, const IPlotterStyle& style,
                      const std::string& options = "") = 0;
    virtual bool plot(const IFunction& function, const std::string& options = "") = 0;
    virtual bool plot(const IFunction& function, const IPlotterStyle& style, const std::string& options = "") = 0;
    virtual bool plot(const IDataPointSet& dataPointSet, const std::string& options = "") = 0;
    virtual bool plot(const IDataPointSet& dataPointSet, const IPlotterStyle& style,
                      const std::string& options = "") = 0;
    virtual bool remove(const IBaseHistogram& histogram) = 0;
    virtual bool remove(const IFunction& function) = 0;
    virtual bool remove(const IDataPointSet& dataPointSet) = 0;
    // Removes every object from the region.
    virtual void clear() = 0;
    virtual bool setParameter(const std::string& parameter, const std::string& options = "") = 0;
    virtual std::string parameterValue(const std::string& parameter) const = 0;
    virtual std::vector<std::string> availableParameterOptions(const std::string& parameter) const = 0;
    virtual std::vector<std::string> availableParameters() const = 0;
    virtual IPlotterStyle& style() = 0;
    virtual bool setStyle(const IPlotterStyle& style) = 0;
    virtual bool applyStyle(const IPlotterStyle& style) = 0;
    virtual void setTitle(const std::string& title) = 0;
    // Axis limits; NaN leaves the AIDA system to choose.
    virtual bool setXLimits(double min = std::numeric_limits<double>::quiet_NaN(),
                            double max = std::numeric_limits<double>::quiet_NaN()) = 0;
    virtual bool setYLimits(double min = std::numeric_limits<double>::quiet_NaN(),
                            double max = std::numeric_limits<double>::quiet_NaN()) = 0;
    virtual bool setZLimits(double min = std::numeric_limits<double>::quiet_NaN(),
                            double max = std::numeric_limits<double>::quiet_NaN()) = 0;
    virtual IPlotterLayout& layout() = 0;
    virtual bool setLayout(const IPlotterLayout& layout) = 0;
    virtual IInfo& info() = 0;
};

}  // namespace AIDA

#endif
