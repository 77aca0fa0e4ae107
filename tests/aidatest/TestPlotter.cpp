#include "TestPlotter.h"

#include <mutex>

#include "AIDA/IBaseHistogram.h"
#include "AIDA/IDataPointSet.h"
#include "NullStyles.h"
#include "TestTree.h"

namespace {

struct LogEntry {
    std::string line;
    int count;
};

std::mutex& logLock() {
    static std::mutex* lock = new std::mutex;
    return *lock;
}

std::vector<LogEntry>& logEntries() {
    static std::vector<LogEntry>* entries = new std::vector<LogEntry>;
    return *entries;
}

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

// The object's path in the shared tree, or "?<title>" when it is not there.
template <class Object> std::string identify(const Object& object) {
    const AIDA::IManagedObject* managed = dynamic_cast<const AIDA::IManagedObject*>(&object);
    std::string path = managed ? sharedTestTree().findPath(*managed) : "";
    return path.empty() ? "?" + object.title() : path;
}

}  // namespace

void plotLog(const std::string& line) {
    std::lock_guard<std::mutex> hold(logLock());
    std::vector<LogEntry>& entries = logEntries();
    if (!entries.empty() && entries.back().line == line)
        ++entries.back().count;
    else
        entries.push_back({line, 1});
}

void dumpPlotLog(std::ostream& out) {
    std::lock_guard<std::mutex> hold(logLock());
    for (const LogEntry& entry : logEntries()) {
        out << "log " << entry.line;
        if (entry.count > 1) out << " (x" << entry.count << ')';
        out << '\n';
    }
}

TestPlotterRegion::TestPlotterRegion(const std::string& plotter, int index)
    : prefix("region " + quoted(plotter) + " " + std::to_string(index) + " ") {}

void TestPlotterRegion::log(const std::string& what) const { plotLog(prefix + what); }

bool TestPlotterRegion::plot(const AIDA::IBaseHistogram& histogram, const std::string& options) {
    log("plot " + identify(histogram) + " options=" + quoted(options));
    return true;
}

bool TestPlotterRegion::plot(const AIDA::IBaseHistogram& histogram, const AIDA::IPlotterStyle&,
                             const std::string& options) {
    log("plot " + identify(histogram) + " styled options=" + quoted(options));
    return true;
}

bool TestPlotterRegion::plot(const AIDA::IFunction&, const std::string&) { return false; }
bool TestPlotterRegion::plot(const AIDA::IFunction&, const AIDA::IPlotterStyle&, const std::string&) { return false; }

bool TestPlotterRegion::plot(const AIDA::IDataPointSet& dataPointSet, const std::string& options) {
    log("plot " + identify(dataPointSet) + " options=" + quoted(options));
    return true;
}

bool TestPlotterRegion::plot(const AIDA::IDataPointSet& dataPointSet, const AIDA::IPlotterStyle&,
                             const std::string& options) {
    log("plot " + identify(dataPointSet) + " styled options=" + quoted(options));
    return true;
}

bool TestPlotterRegion::remove(const AIDA::IBaseHistogram& histogram) {
    log("remove " + identify(histogram));
    return true;
}

bool TestPlotterRegion::remove(const AIDA::IFunction&) { return false; }

bool TestPlotterRegion::remove(const AIDA::IDataPointSet& dataPointSet) {
    log("remove " + identify(dataPointSet));
    return true;
}

void TestPlotterRegion::clear() { log("clear"); }

bool TestPlotterRegion::setParameter(const std::string& parameter, const std::string& options) {
    log("parameter " + parameter + "=" + options);
    for (auto& entry : parameters) {
        if (entry.first == parameter) {
            entry.second = options;
            return true;
        }
    }
    parameters.emplace_back(parameter, options);
    return true;
}

std::string TestPlotterRegion::parameterValue(const std::string& parameter) const {
    for (const auto& entry : parameters)
        if (entry.first == parameter) return entry.second;
    return "";
}

std::vector<std::string> TestPlotterRegion::availableParameterOptions(const std::string&) const { return {}; }

std::vector<std::string> TestPlotterRegion::availableParameters() const {
    std::vector<std::string> names;
    for (const auto& entry : parameters) names.push_back(entry.first);
    return names;
}

AIDA::IPlotterStyle& TestPlotterRegion::style() { return vornNullObject<VornNullStyle<AIDA::IPlotterStyle>>(); }
bool TestPlotterRegion::setStyle(const AIDA::IPlotterStyle&) { return false; }
bool TestPlotterRegion::applyStyle(const AIDA::IPlotterStyle&) { return false; }
void TestPlotterRegion::setTitle(const std::string& title) { log("title " + quoted(title)); }
bool TestPlotterRegion::setXLimits(double, double) { return false; }
bool TestPlotterRegion::setYLimits(double, double) { return false; }
bool TestPlotterRegion::setZLimits(double, double) { return false; }
AIDA::IPlotterLayout& TestPlotterRegion::layout() { return vornNullObject<VornNullLayout>(); }
bool TestPlotterRegion::setLayout(const AIDA::IPlotterLayout&) { return false; }
AIDA::IInfo& TestPlotterRegion::info() { return vornNullObject<VornNullInfo>(); }

TestPlotter::TestPlotter(const std::string& name) : plotterName(name) {
    useRegions(1);
    log("created");
}

void TestPlotter::log(const std::string& what) const { plotLog("plotter " + quoted(plotterName) + " " + what); }

// Region objects are never deleted while the plotter lives, so a region
// that a caller holds stays good when the grid changes.
void TestPlotter::useRegions(int count) {
    while (static_cast<int>(regions.size()) < count)
        regions.push_back(std::make_unique<TestPlotterRegion>(plotterName, static_cast<int>(regions.size())));
    active = count;
}

AIDA::IPlotterRegion* TestPlotter::createRegion(double, double, double, double) {
    useRegions(active + 1);
    return regions[active - 1].get();
}

bool TestPlotter::createRegions(int columns, int rows, int index) {
    if (columns < 1 || rows < 1 || index < 0 || index >= columns * rows) return false;
    useRegions(columns * rows);
    current = index;
    log("regions " + std::to_string(columns) + "x" + std::to_string(rows));
    return true;
}

AIDA::IPlotterRegion& TestPlotter::currentRegion() const { return *regions[current]; }
int TestPlotter::currentRegionNumber() const { return current; }
int TestPlotter::numberOfRegions() const { return active; }

bool TestPlotter::setCurrentRegionNumber(int index) {
    if (index < 0 || index >= active) return false;
    current = index;
    return true;
}

AIDA::IPlotterRegion& TestPlotter::next() {
    current = (current + 1) % active;
    return *regions[current];
}

AIDA::IPlotterRegion* TestPlotter::region(int index) const {
    return index >= 0 && index < active ? regions[index].get() : nullptr;
}

void TestPlotter::destroyRegions() {
    active = 1;
    current = 0;
}

void TestPlotter::clearRegions() {
    for (int i = 0; i < active; ++i) regions[i]->clear();
}

bool TestPlotter::setParameter(const std::string& parameter, const std::string& options) {
    log("parameter " + parameter + "=" + options);
    return true;
}

std::string TestPlotter::parameterValue(const std::string&) const { return ""; }
std::vector<std::string> TestPlotter::availableParameterOptions(const std::string&) const { return {}; }
std::vector<std::string> TestPlotter::availableParameters() const { return {}; }

bool TestPlotter::show() {
    log("show");
    return true;
}

bool TestPlotter::refresh() {
    log("refresh");
    return true;
}

bool TestPlotter::hide() {
    log("hide");
    return true;
}

bool TestPlotter::interact() {
    log("interact");
    return true;
}

bool TestPlotter::writeToFile(const std::string&, const std::string&) { return false; }
void TestPlotter::setTitle(const std::string& title) { log("title " + quoted(title)); }
AIDA::ITitleStyle& TestPlotter::titleStyle() { return vornNullObject<VornNullStyle<AIDA::ITitleStyle>>(); }
void TestPlotter::setTitleStyle(const AIDA::ITitleStyle&) {}

AIDA::IPlotter* TestPlotterFactory::create(const std::string& name) {
    return makePlotters ? new TestPlotter(name) : nullptr;
}
AIDA::IMarkerStyle* TestPlotterFactory::createMarkerStyle() { return nullptr; }
AIDA::ITextStyle* TestPlotterFactory::createTextStyle() { return nullptr; }
AIDA::ILineStyle* TestPlotterFactory::createLineStyle() { return nullptr; }
AIDA::IFillStyle* TestPlotterFactory::createFillStyle() { return nullptr; }
AIDA::IDataStyle* TestPlotterFactory::createDataStyle() { return nullptr; }
AIDA::IAxisStyle* TestPlotterFactory::createAxisStyle() { return nullptr; }
AIDA::ITitleStyle* TestPlotterFactory::createTitleStyle() { return nullptr; }
AIDA::IPlotterStyle* TestPlotterFactory::createPlotterStyle() { return nullptr; }
