#ifndef AIDA_IPLOTTER_H
#define AIDA_IPLOTTER_H

#include <string>
#include <vector>

namespace AIDA {

class IPlotterRegion;
class ITitleStyle;

// A plot window divided into regions, each of which shows objects. A
// plotter has at least one region; one of them is the current region.
class IPlotter {
public:
    virtual ~IPlotter() {}

    // A new region covering the given fraction of the window.
    virtual IPlotterRegion* createRegion(double x = 0, double y = 0, double width = 1, double height = 1) = 0;
    // Replaces the regions by a grid of columns x rows and makes region
    // `index` the current one.
    virtual bool createRegions(int columns = 1, int rows = 1, int index = 0) = 0;
    virtual IPlotterRegion& currentRegion() const = 0;
    virtual int currentRegionNumber() const = 0;
    virtual int numberOfRegions() const = 0;
    virtual bool setCurrentRegionNumber(int index) = 0;
    // Makes the following region the current one and returns it.
    virtual IPlotterRegion& next() = 0;
    // Region `index`, null when there is none.
    virtual IPlotterRegion* region(int index) const = 0;
    virtual void destroyRegions() = 0;
    // Empties every region.
    virtual void clearRegions() = 0;
    virtual bool setParameter(const std::string& parameter, const std::string& options = "") = 0;
    virtual std::string parameterValue(const std::string& parameter) const = 0;
    virtual std::vector<std::string> availableParameterOptions(const std::string& parameter) const = 0;
    virtual std::vector<std::string> availableParameters() const = 0;
    virtual bool show() = 0;
    virtual bool refresh() = 0;
    virtual bool hide() = 0;
    // Lets the user work with the plotter; returns when the user is done.
    virtual bool interact() = 0;
    // Writes the plot to a file of the given format.
    virtual bool writeToFile(const std::string& fileName, const std::string& type = "") = 0;
    virtual void setTitle(const std::string& title) = 0;
    virtual ITitleStyle& titleStyle() = 0;
    virtual void setTitleStyle(const ITitleStyle& style) = 0;
};

}  // namespace AIDA

#endif
