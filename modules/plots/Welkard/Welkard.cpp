#include <iostream>
#include <string>
#include <vector>

#include "AIDA/IAnalysisFactory.h"
#include "AIDA/IDataPointSet.h"
#include "AIDA/IDataPointSetFactory.h"
#include "AIDA/IPlotter.h"
#include "AIDA/IPlotterRegion.h"
#include "AIDA/ITree.h"
#include "AidaAccess.h"
#include "Corvane.h"
#include "PulsePlot.h"
#include "SignalViewer.h"

// Shows digitised pulses as AIDA data point sets: each pulse (a vector of
// doubles) becomes the one-coordinate data point set of its channel, point
// i holding sample i without error. The set of data point sets is numbered
// by the channel grid; pulses and channels can come from event records,
// one pulse per channel from a list of lists. Every selection text is
// echoed as "<text> selected.". Axis titles and info values are kept as
// given; no data point set shows them.
//
// Threads: built on the flow's creating thread, fed on the flow thread.
class Welkard : public Corvane {
public:
    explicit Welkard(std::string& instanceName);
    ~Welkard() override;

    void Init() override;
    // Recreates the set unless the driver is running, and resolves the
    // selected properties again at the next record.
    void Reset() override;
    // Literal texts for "signal", "fw_values" and "channel" select
    // properties (or a fixed channel) and are then delivered as values.
    using Corvane::SetInput;
    void SetInput(int index, void* value) override;

private:
    void plot(void* value);
    void setXLabel(void* value);
    void setYLabel(void* value);
    void setTitle(void* value);
    void plotFe(void* value);
    void setLabels(void* value);
    void setDimensions(void* value);
    void setAddress(void* value);
    void setChannel(void* value);
    void setFWValues(void* value);
    void setInfos(void* value);
    void setPath(void* value);

    void CreateHistograms();

    PulsePlot pulsePlot;
    std::vector<AIDA::IDataPointSet*> histograms;
    AIDA::IPlotterRegion* region;
    AIDA::IPlotter* plotter;
    AIDA::IDataPointSetFactory* histogramFactory;
    AIDA::ITree* tree;
};

Welkard::Welkard(std::string& instanceName)
    : Corvane(nullptr, instanceName),
      pulsePlot(instanceName, true),
      region(nullptr),
      plotter(nullptr),
      histogramFactory(nullptr),
      tree(nullptr) {
    addPulsePlotInputs(inputs,
                       {CORVANE_HANDLER(&Welkard::plot), CORVANE_HANDLER(&Welkard::setXLabel),
                        CORVANE_HANDLER(&Welkard::setYLabel), CORVANE_HANDLER(&Welkard::setTitle),
                        CORVANE_HANDLER(&Welkard::plotFe), CORVANE_HANDLER(&Welkard::setLabels),
                        CORVANE_HANDLER(&Welkard::setDimensions), CORVANE_HANDLER(&Welkard::setAddress),
                        CORVANE_HANDLER(&Welkard::setChannel), CORVANE_HANDLER(&Welkard::setFWValues),
                        CORVANE_HANDLER(&Welkard::setInfos), CORVANE_HANDLER(&Welkard::setPath)},
                       "Welkard");
    std::cout << name << " instantiated" << std::endl;
}

Welkard::~Welkard() {
    pulsePlot.grid.trashSet(tree, name);
    delete histogramFactory;
    std::cout << name << " deleted" << std::endl;
}

void Welkard::Init() {
    AIDA::IAnalysisFactory* factory = aidaaccess::openTreeAt(*this, pulsePlot.grid.path, tree);
    if (factory == nullptr) return;
    histogramFactory = factory->createDataPointSetFactory(*tree);
    if (histogramFactory == nullptr) return;
    if (!openSignalViewer(*factory, plotter, region)) return;
    pulsePlot.initialize();
    Reset();
    if (region != nullptr && !histograms.empty() && histograms[0] != nullptr) region->plot(*histograms[0], "");
    std::cout << name << " initialized." << std::endl;
}

void Welkard::Reset() {
    if (aidaaccess::driverRunning(*this)) return;
    CreateHistograms();
    connectionChanged = true;
}

void Welkard::SetInput(int index, void* value) {
    pulsePlot.select(*this, index, static_cast<const char*>(value));
    Corvane::SetInput(index, value);
}

// Path and title of each data point set are the instance name with the
// grid's suffix.
void Welkard::CreateHistograms() {
    histograms.clear();
    pulsePlot.grid.createSet(tree, name, pulsePlot.title, [this](unsigned int, const std::string& suffix) {
        AIDA::IDataPointSet* set = nullptr;
        if (histogramFactory != nullptr) set = histogramFactory->create(name + suffix, name + suffix, 1);
        histograms.push_back(set);
    });
}

void Welkard::plot(void* value) {
    if (value == nullptr) return;
    const std::vector<double>& samples = *static_cast<std::vector<double>*>(value);
    if (samples.empty()) return;
    short c = pulsePlot.channel();
    if (c < 0 || static_cast<size_t>(c) >= histograms.size() || histograms[c] == nullptr) return;
    AIDA::IDataPointSet& set = *histograms[c];
    set.clear();
    set.setCoordinate(0, samples, std::vector<double>(samples.size(), 0.0));
}

void Welkard::plotFe(void* value) { pulsePlot.takeRecord(*this, value); }

void Welkard::setXLabel(void* value) {
    if (pulsePlot.setXLabel(*static_cast<std::string*>(value))) CreateHistograms();
}

void Welkard::setYLabel(void* value) {
    if (pulsePlot.setYLabel(*static_cast<std::string*>(value))) CreateHistograms();
}

void Welkard::setTitle(void* value) {
    if (pulsePlot.setTitle(*this, *static_cast<std::string*>(value))) CreateHistograms();
}

void Welkard::setLabels(void* value) {
    pulsePlot.grid.labels = *static_cast<std::vector<std::string>*>(value);
    CreateHistograms();
}

void Welkard::setDimensions(void* value) {
    if (pulsePlot.setDimensions(*static_cast<std::vector<int>*>(value), name)) CreateHistograms();
}

void Welkard::setAddress(void* value) { pulsePlot.setAddress(*static_cast<std::vector<int>*>(value), name); }

void Welkard::setChannel(void* value) { pulsePlot.setChannel(*static_cast<short*>(value)); }

void Welkard::setFWValues(void* value) { pulsePlot.fwValues = *static_cast<std::vector<double>*>(value); }

void Welkard::setInfos(void* value) { pulsePlot.setInfos(static_cast<const char*>(value)); }

void Welkard::setPath(void* value) { pulsePlot.grid.setPath(tree, *static_cast<std::string*>(value), name, name); }

CORVANE_MODULE(Welkard)
