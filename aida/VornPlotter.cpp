#include "VornPlotter.h"

#include <cstdio>

#include "CastrineLog.h"
#include "NullStyles.h"

VornPlotterFactory::VornPlotterFactory() { castrineSay("VornPlotterFactory::VornPlotterFactory"); }

VornPlotterFactory::~VornPlotterFactory() { castrineSay("VornPlotterFactory::~VornPlotterFactory"); }

AIDA::IPlotter* VornPlotterFactory::create(const std::string&) {
    castrineSay("creating plotter");
    return new VornPlotter;
}

AIDA::IMarkerStyle* VornPlotterFactory::createMarkerStyle() { return nullptr; }
AIDA::ITextStyle* VornPlotterFactory::createTextStyle() { return nullptr; }
AIDA::ILineStyle* VornPlotterFactory::createLineStyle() { return nullptr; }
AIDA::IFillStyle* VornPlotterFactory::createFillStyle() { return nullptr; }
AIDA::IDataStyle* VornPlotterFactory::createDataStyle() { return nullptr; }
AIDA::IAxisStyle* VornPlotterFactory::createAxisStyle() { return nullptr; }
AIDA::ITitleStyle* VornPlotterFactory::createTitleStyle() { return nullptr; }
AIDA::IPlotterStyle* VornPlotterFactory::createPlotterStyle() { return nullptr; }

VornPlotterRegion::VornPlotterRegion() { castrineSay("VornPlotterRegion::VornPlotterRegion()"); }

VornPlotterRegion::~VornPlotterRegion() { castrineSay("VornPlotterRegion:~::VornPlotterRegion()"); }

bool VornPlotterRegion::plot(const AIDA::IBaseHistogram&, const std::string&) {
    castrineSay("plot1");
    return false;
}

bool VornPlotterRegion::plot(const AIDA::IBaseHistogram&, const AIDA::IPlotterStyle&, const std::string&) {
    castrineSay("plot2");
    return false;
}

bool VornPlotterRegion::plot(const AIDA::IFunction&, const std::string&) { return false; }
bool VornPlotterRegion::plot(const AIDA::IFunction&, const AIDA::IPlotterStyle&, const std::string&) { return false; }
bool VornPlotterRegion::plot(const AIDA::IDataPointSet&, const std::string&) { return false; }
bool VornPlotterRegion::plot(const AIDA::IDataPointSet&, const AIDA::IPlotterStyle&, const std::string&) {
    return false;
}
bool VornPlotterRegion::remove(const AIDA::IBaseHistogram&) { return false; }
bool VornPlotterRegion::remove(const AIDA::IFunction&) { return false; }
bool VornPlotterRegion::remove(const AIDA::IDataPointSet&) { return false; }
void VornPlotterRegion::clear() {}
bool VornPlotterRegion::setParameter(const std::string&, const std::string&) { return false; }
std::string VornPlotterRegion::parameterValue(const std::string&) const { return ""; }
std::vector<std::string> VornPlotterRegion::availableParameterOptions(const std::string&) const { return {}; }
std::vector<std::string> VornPlotterRegion::availableParameters() const { return {}; }
AIDA::IPlotterStyle& VornPlotterRegion::style() { return vornNullObject<VornNullStyle<AIDA::IPlotterStyle>>(); }
bool VornPlotterRegion::setStyle(const AIDA::IPlotterStyle&) { return false; }
bool VornPlotterRegion::applyStyle(const AIDA::IPlotterStyle&) { return false; }
void VornPlotterRegion::setTitle(const std::string&) {}
bool VornPlotterRegion::setXLimits(double, double) { return false; }
bool VornPlotterRegion::setYLimits(double, double) { return false; }
bool VornPlotterRegion::setZLimits(double, double) { return false; }
AIDA::IPlotterLayout& VornPlotterRegion::layout() { return vornNullObject<VornNullLayout>(); }
bool VornPlotterRegion::setLayout(const AIDA::IPlotterLayout&) { return false; }
AIDA::IInfo& VornPlotterRegion::info() { return vornNullObject<VornNullInfo>(); }

VornPlotter::VornPlotter() {
    castrineSay("VornPlotter::VornPlotter()");
    theRegion = new VornPlotterRegion;
}

VornPlotter::~VornPlotter() {
    castrineSay("VornPlotter:~::VornPlotter()");
    delete theRegion;
}

AIDA::IPlotterRegion* VornPlotter::createRegion(double, double, double, double) { return nullptr; }
bool VornPlotter::createRegions(int, int, int) { return false; }
AIDA::IPlotterRegion& VornPlotter::currentRegion() const { return *theRegion; }
int VornPlotter::currentRegionNumber() const { return 0; }
int VornPlotter::numberOfRegions() const { return 0; }
bool VornPlotter::setCurrentRegionNumber(int) { return false; }
AIDA::IPlotterRegion& VornPlotter::next() { return *theRegion; }
AIDA::IPlotterRegion* VornPlotter::region(int) const { return theRegion; }
void VornPlotter::destroyRegions() {}
void VornPlotter::clearRegions() {}
bool VornPlotter::setParameter(const std::string&, const std::string&) { return false; }
std::string VornPlotter::parameterValue(const std::string&) const { return ""; }
std::vector<std::string> VornPlotter::availableParameterOptions(const std::string&) const { return {}; }
std::vector<std::string> VornPlotter::availableParameters() const { return {}; }
bool VornPlotter::show() { return false; }
bool VornPlotter::refresh() { return false; }
bool VornPlotter::hide() { return false; }

bool VornPlotter::interact() {
    castrineSay("Hit return to exit");
    std::getchar();
    return true;
}

bool VornPlotter::writeToFile(const std::string&, const std::string&) { return false; }
void VornPlotter::setTitle(const std::string&) {}
AIDA::ITitleStyle& VornPlotter::titleStyle() { return vornNullObject<VornNullStyle<AIDA::ITitleStyle>>(); }
void VornPlotter::setTitleStyle(const AIDA::ITitleStyle&) {}
