#ifndef ZARN_AIDA_VORNPLOTTER_H
#define ZARN_AIDA_VORNPLOTTER_H

#include <string>
#include <vector>

#include "AIDA/IPlotter.h"
#include "AIDA/IPlotterFactory.h"
#include "AIDA/IPlotterRegion.h"

// The built-in AIDA system's plotter factory: makes plotters, no styles.
// Threads: any thread.
class VornPlotterFactory : public AIDA::IPlotterFactory {
public:
    VornPlotterFactory();
    ~VornPlotterFactory() override;

    // A new plotter; the name is not used.
    AIDA::IPlotter* create(const std::string& name) override;
    // Styles are not offered: null.
    AIDA::IMarkerStyle* createMarkerStyle() override;
    AIDA::ITextStyle* createTextStyle() override;
    AIDA::ILineStyle* createLineStyle() override;
    AIDA::IFillStyle* createFillStyle() override;
    AIDA::IDataStyle* createDataStyle() override;
    AIDA::IAxisStyle* createAxisStyle() override;
    AIDA::ITitleStyle* createTitleStyle() override;
    AIDA::IPlotterStyle* createPlotterStyle() override;
};

// A region that draws nothing; plotting a histogram is logged.
// Threads: one thread at a time.
class VornPlotterRegion : public AIDA::IPlotterRegion {
public:
    VornPlotterRegion();
    ~VornPlotterRegion() override;

    // Print "plot1" and "plot2"; nothing is plotted.
    bool plot(const AIDA::IBaseHistogram& histogram, const std::string& options) override;
    bool plot(const AIDA::IBaseHistogram& histogram, const AIDA::IPlotterStyle& style,
              const std::string& options) override;
    bool plot(const AIDA::IFunction& function, const std::string& options) override;
    bool plot(const AIDA::IFunction& function, const AIDA::IPlotterStyle& style, const std::string& options) override;
    bool plot(const AIDA::IDataPointSet& dataPointSet, const std::string& options) override;
    bool plot(const AIDA::IDataPointSet& dataPointSet, const AIDA::IPlotterStyle& style,
              const std::string& options) override;
    bool remove(const AIDA::IBaseHistogram& histogram) override;
    bool remove(const AIDA::IFunction& function) override;
    bool remove(const AIDA::IDataPointSet& dataPointSet) override;
    void clear() override;
    bool setParameter(const std::string& parameter, const std::string& options) override;
    std::string parameterValue(const std::string& parameter) const override;
    std::vector<std::string> availableParameterOptions(const std::string& parameter) const override;
    std::vector<std::string> availableParameters() const override;
    // Style, layout and info are shared objects that do nothing.
    AIDA::IPlotterStyle& style() override;
    bool setStyle(const AIDA::IPlotterStyle& style) override;
    bool applyStyle(const AIDA::IPlotterStyle& style) override;
    void setTitle(const std::string& title) override;
    bool setXLimits(double min, double max) override;
    bool setYLimits(double min, double max) override;
    bool setZLimits(double min, double max) override;
    AIDA::IPlotterLayout& layout() override;
    bool setLayout(const AIDA::IPlotterLayout& layout) override;
    AIDA::IInfo& info() override;
};

// A plotter with exactly one region, which every region operation returns.
// interact waits for one character on standard input.
// Threads: one thread at a time.
class VornPlotter : public AIDA::IPlotter {
public:
    VornPlotter();
    ~VornPlotter() override;

    AIDA::IPlotterRegion* createRegion(double x, double y, double width, double height) override;
    bool createRegions(int columns, int rows, int index) override;
    AIDA::IPlotterRegion& currentRegion() const override;
    int currentRegionNumber() const override;
    int numberOfRegions() const override;
    bool setCurrentRegionNumber(int index) override;
    AIDA::IPlotterRegion& next() override;
    // The one region, whatever the index.
    AIDA::IPlotterRegion* region(int index) const override;
    void destroyRegions() override;
    void clearRegions() override;
    bool setParameter(const std::string& parameter, const std::string& options) override;
    std::string parameterValue(const std::string& parameter) const override;
    std::vector<std::string> availableParameterOptions(const std::string& parameter) const override;
    std::vector<std::string> availableParameters() const override;
    bool show() override;
    bool refresh() override;
    bool hide() override;
    // Prints "Hit return to exit" and returns after one character or at
    // the end of standard input.
    bool interact() override;
    bool writeToFile(const std::string& fileName, const std::string& type) override;
    void setTitle(const std::string& title) override;
    // A shared title style that does nothing.
    AIDA::ITitleStyle& titleStyle() override;
    void setTitleStyle(const AIDA::ITitleStyle& style) override;

private:
    VornPlotterRegion* theRegion;
};

#endif
