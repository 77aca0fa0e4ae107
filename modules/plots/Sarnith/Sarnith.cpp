#include <climits>
#include <iostream>
#include <string>
#include <vector>

#include "AIDA/IAnalysisFactory.h"
#include "AIDA/IAnnotation.h"
#include "AIDA/IHistogram1D.h"
#include "AIDA/IHistogramFactory.h"
#include "AIDA/IPlotter.h"
#include "AIDA/IPlotterRegion.h"
#include "AIDA/ITree.h"
#include "AidaAccess.h"
#include "Corvane.h"
#include "PulseFigures.h"
#include "PulsePlot.h"
#include "SignalViewer.h"

// Shows digitised pulses: each pulse (a vector of doubles, sample i at
// index i) replaces the contents of the AIDA 1-D histogram of its channel,
// bin i holding sample i, and its figures (integral above the pedestal,
// pulse height, pedestal, position of the maximum) and the info values are
// written into the histogram's annotation as fit parameters. The set of
// histograms is numbered by the channel grid; pulses and channels can come
// from event records, one pulse per channel from a list of lists.
//
// Threads: built on the flow's creating thread, fed on the flow thread.
class Sarnith : public Corvane {
public:
    explicit Sarnith(std::string& instanceName);
    ~Sarnith() override;

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
    void annotate(AIDA::IHistogram1D& histogram) const;
    void writeFigures(AIDA::IHistogram1D& histogram, const std::vector<double>& samples) const;

    PulsePlot pulsePlot;
    std::vector<AIDA::IHistogram1D*> histograms;
    AIDA::IPlotterRegion* region;
    AIDA::IPlotter* plotter;
    AIDA::IHistogramFactory* histogramFactory;
    AIDA::ITree* tree;
    int bins;
    double xMin;
    double xMax;
};

Sarnith::Sarnith(std::string& instanceName)
    : Corvane(nullptr, instanceName),
      pulsePlot(instanceName, false),
      region(nullptr),
      plotter(nullptr),
      histogramFactory(nullptr),
      tree(nullptr),
      bins(500),
      xMin(0.0),
      xMax(500.0) {
    addPulsePlotInputs(inputs,
                       {CORVANE_HANDLER(&Sarnith::plot), CORVANE_HANDLER(&Sarnith::setXLabel),
                        CORVANE_HANDLER(&Sarnith::setYLabel), CORVANE_HANDLER(&Sarnith::setTitle),
                        CORVANE_HANDLER(&Sarnith::plotFe), CORVANE_HANDLER(&Sarnith::setLabels),
                        CORVANE_HANDLER(&Sarnith::setDimensions), CORVANE_HANDLER(&Sarnith::setAddress),
                        CORVANE_HANDLER(&Sarnith::setChannel), CORVANE_HANDLER(&Sarnith::setFWValues),
                        CORVANE_HANDLER(&Sarnith::setInfos), CORVANE_HANDLER(&Sarnith::setPath)},
                       "Sarnith");
    std::cout << name << " instantiated" << std::endl;
}

Sarnith::~Sarnith() {
    pulsePlot.grid.trashSet(tree, name);
    delete histogramFactory;
    std::cout << name << " deleted" << std::endl;
}

void Sarnith::Init() {
    AIDA::IAnalysisFactory* factory = aidaaccess::openTreeAt(*this, pulsePlot.grid.path, tree);
    if (factory == nullptr) return;
    histogramFactory = factory->createHistogramFactory(*tree);
    if (histogramFactory == nullptr) return;
    if (!openSignalViewer(*factory, plotter, region)) return;
    pulsePlot.initialize();
    Reset();
    if (region != nullptr && !histograms.empty() && histograms[0] != nullptr) region->plot(*histograms[0], "");
    std::cout << name << " initialized." << std::endl;
}

void Sarnith::Reset() {
    if (aidaaccess::driverRunning(*this)) return;
    CreateHistograms();
    connectionChanged = true;
}

void Sarnith::SetInput(int index, void* value) {
    pulsePlot.select(*this, index, static_cast<const char*>(value));
    Corvane::SetInput(index, value);
}

void Sarnith::CreateHistograms() {
    histograms.clear();
    const std::string& title = pulsePlot.title;
    pulsePlot.grid.createSet(tree, name, title, [this, &title](unsigned int, const std::string& suffix) {
        AIDA::IHistogram1D* histogram = nullptr;
        if (histogramFactory != nullptr)
            histogram = histogramFactory->createHistogram1D(name + suffix, title + suffix, bins, xMin, xMax, "");
        if (histogram != nullptr) annotate(*histogram);
        histograms.push_back(histogram);
    });
}

void Sarnith::annotate(AIDA::IHistogram1D& histogram) const {
    aidaaccess::addAxisTitles(histogram, pulsePlot.xLabel, pulsePlot.yLabel);
    AIDA::IAnnotation& annotation = histogram.annotation();
    annotation.addItem("fit.ndf", "4", false);
    for (const char* key : {"fit.param.swIntegral", "fit.param.swPulseheight", "fit.param.swPedestal",
                            "fit.param.swMaxPos"})
        annotation.addItem(key, "0 11", false);
    for (const std::string& key : pulsePlot.infoKeys) annotation.addItem(key, "0 11", false);
}

void Sarnith::plot(void* value) {
    if (value == nullptr) return;
    const std::vector<double>& samples = *static_cast<std::vector<double>*>(value);
    if (samples.empty()) return;
    if (samples.size() != static_cast<size_t>(bins)) {
        bins = samples.size() > static_cast<size_t>(INT_MAX) ? INT_MAX : static_cast<int>(samples.size());
        xMax = static_cast<double>(samples.size());
        CreateHistograms();
    }
    short c = pulsePlot.channel();
    if (c < 0 || static_cast<size_t>(c) >= histograms.size() || histograms[c] == nullptr) return;
    AIDA::IHistogram1D& histogram = *histograms[c];
    histogram.reset();
    for (size_t i = 0; i < samples.size(); ++i) histogram.fill(static_cast<double>(i), samples[i]);
    writeFigures(histogram, samples);
}

void Sarnith::writeFigures(AIDA::IHistogram1D& histogram, const std::vector<double>& samples) const {
    PulseFigures figures = measurePulse(samples);
    double integral = histogram.sumBinHeights() - static_cast<double>(samples.size()) * figures.pedestal;
    AIDA::IAnnotation& annotation = histogram.annotation();
    annotation.setValue("fit.param.swIntegral", figureText(integral));
    annotation.setValue("fit.param.swPulseheight", figureText(figures.height));
    annotation.setValue("fit.param.swPedestal", figureText(figures.pedestal));
    annotation.setValue("fit.param.swMaxPos", figureText(figures.maxPos));
    // Each info label shows the value at its index among the last info
    // values; a label without such a value keeps what it shows.
    const std::vector<std::string>& keys = pulsePlot.infoKeys;
    const std::vector<int>& indices = pulsePlot.infoIndices;
    const std::vector<double>& values = pulsePlot.fwValues;
    for (size_t k = 0; k < keys.size() && k < indices.size(); ++k) {
        if (indices[k] >= 0 && static_cast<size_t>(indices[k]) < values.size())
            annotation.setValue(keys[k], infoValueText(values[indices[k]]));
    }
}

void Sarnith::plotFe(void* value) { pulsePlot.takeRecord(*this, value); }

void Sarnith::setXLabel(void* value) {
    if (pulsePlot.setXLabel(*static_cast<std::string*>(value))) CreateHistograms();
}

void Sarnith::setYLabel(void* value) {
    if (pulsePlot.setYLabel(*static_cast<std::string*>(value))) CreateHistograms();
}

void Sarnith::setTitle(void* value) {
    if (pulsePlot.setTitle(*this, *static_cast<std::string*>(value))) CreateHistograms();
}

void Sarnith::setLabels(void* value) {
    pulsePlot.grid.labels = *static_cast<std::vector<std::string>*>(value);
    CreateHistograms();
}

void Sarnith::setDimensions(void* value) {
    if (pulsePlot.setDimensions(*static_cast<std::vector<int>*>(value), name)) CreateHistograms();
}

void Sarnith::setAddress(void* value) { pulsePlot.setAddress(*static_cast<std::vector<int>*>(value), name); }

void Sarnith::setChannel(void* value) { pulsePlot.setChannel(*static_cast<short*>(value)); }

void Sarnith::setFWValues(void* value) { pulsePlot.fwValues = *static_cast<std::vector<double>*>(value); }

void Sarnith::setInfos(void* value) {
    pulsePlot.setInfos(static_cast<const char*>(value));
    CreateHistograms();
}

void Sarnith::setPath(void* value) { pulsePlot.grid.setPath(tree, *static_cast<std::string*>(value), name, name); }

CORVANE_MODULE(Sarnith)
