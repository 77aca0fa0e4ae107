#ifndef ZARN_TESTS_AIDATEST_TESTPLOTTER_H
#define ZARN_TESTS_AIDATEST_TESTPLOTTER_H

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "AIDA/IPlotter.h"
#include "AIDA/IPlotterFactory.h"
#include "AIDA/IPlotterRegion.h"

// The log of everything that plotters were asked to do, and of the file
// trees that the tree factory was asked for, in call order.
// A line repeated right after itself is counted, not written again.
// Threads: any thread (the log takes a lock).
void plotLog(const std::string& line);
// One line "log <line>" (with " (x<n>)" for repeats) per entry.
void dumpPlotLog(std::ostream& out);

// A region that draws nothing and logs every plot, clear and parameter as
// "region <plotter> <index> ...". Plotted objects are named by their path
// in the shared tree ("?<title>" for one outside it).
// Threads: one thread at a time.
class TestPlotterRegion : public AIDA::IPlotterRegion {
public:
    TestPlotterRegion(const std::string& plotter, int index);

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

private:
    void log(const std::string& what) const;
    std::string prefix;
    std::vector<std::pair<std::string, std::string>> parameters;
};

// A plotter with a grid of regions (one at first) that logs show, refresh,
// hide and interact as "plotter <name> ..."; interact returns at once.
// Threads: one thread at a time.
class TestPlotter : public AIDA::IPlotter {
public:
    explicit TestPlotter(const std::string& name);

    AIDA::IPlotterRegion* createRegion(double x, double y, double width, double height) override;
    bool createRegions(int columns, int rows, int index) override;
    AIDA::IPlotterRegion& currentRegion() const override;
    int currentRegionNumber() const override;
    int numberOfRegions() const override;
    bool setCurrentRegionNumber(int index) override;
    AIDA::IPlotterRegion& next() override;
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
    bool interact() override;
    bool writeToFile(const std::string& fileName, const std::string& type) override;
    void setTitle(const std::string& title) override;
    AIDA::ITitleStyle& titleStyle() override;
    void setTitleStyle(const AIDA::ITitleStyle& style) override;

private:
    void log(const std::string& what) const;
    void useRegions(int count);
    std::string plotterName;
    // Every region ever made; the first `active` ones form the grid.
    std::vector<std::unique_ptr<TestPlotterRegion>> regions;
    int active = 0;
    int current = 0;
};

// Makes logged plotters (or none when told so); offers no styles.
class TestPlotterFactory : public AIDA::IPlotterFactory {
public:
    explicit TestPlotterFactory(bool makePlotters) : makePlotters(makePlotters) {}

    AIDA::IPlotter* create(const std::string& name) override;
    AIDA::IMarkerStyle* createMarkerStyle() override;
    AIDA::ITextStyle* createTextStyle() override;
    AIDA::ILineStyle* createLineStyle() override;
    AIDA::IFillStyle* createFillStyle() override;
    AIDA::IDataStyle* createDataStyle() override;
    AIDA::IAxisStyle* createAxisStyle() override;
    AIDA::ITitleStyle* createTitleStyle() override;
    AIDA::IPlotterStyle* createPlotterStyle() override;

private:
    bool makePlotters;
};

#endif
