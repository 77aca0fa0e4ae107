#include <climits>
#include <string>
#include <vector>

#include "AIDA/IAnalysisFactory.h"
#include "AIDA/IAnnotation.h"
#include "AIDA/IHistogram1D.h"
#include "AIDA/IHistogramFactory.h"
#include "AidaAccess.h"
#include "PulseFigures.h"
#include "PulsePlotModule.h"

// Shows digitised pulses: each pulse (a vector of doubles, sample i at
// index i) replaces the contents of the AIDA 1-D histogram of its channel,
// bin i holding sample i, and its figures (integral above the pedestal,
// pulse height, pedestal, position of the maximum) and the info values are
// written into the histogram's annotation as fit parameters. The set of
// histograms is numbered by the channel grid; pulses and channels can come
// from event records, one pulse per channel from a list of lists.
//
// Threads: built on the flow's creating thread, fed on the flow thread.
class Sarnith : public PulsePlotModule<AIDA::IHistogram1D, AIDA::IHistogramFactory> {
public:
    explicit Sarnith(std::string& instanceName);

private:
    AIDA::IHistogramFactory* createFactory(AIDA::IAnalysisFactory& factory, AIDA::ITree& tree) override;
    AIDA::IHistogram1D* createObject(const std::string& suffix) override;
    void plot(void* value) override;

    void annotate(AIDA::IHistogram1D& histogram) const;
    void writeFigures(AIDA::IHistogram1D& histogram, const std::vector<double>& samples) const;

    int bins;
    double xMin;
    double xMax;
};

Sarnith::Sarnith(std::string& instanceName)
    : PulsePlotModule(instanceName, false, "Sarnith"), bins(500), xMin(0.0), xMax(500.0) {}

AIDA::IHistogramFactory* Sarnith::createFactory(AIDA::IAnalysisFactory& factory, AIDA::ITree& tree) {
    return factory.createHistogramFactory(tree);
}

AIDA::IHistogram1D* Sarnith::createObject(const std::string& suffix) {
    AIDA::IHistogram1D* histogram =
        histogramFactory->createHistogram1D(name + suffix, pulsePlot.title + suffix, bins, xMin, xMax, "");
    if (histogram != nullptr) annotate(*histogram);
    return histogram;
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
    AIDA::IHistogram1D* histogram = currentObject();
    if (histogram == nullptr) return;
    histogram->reset();
    for (size_t i = 0; i < samples.size(); ++i) histogram->fill(static_cast<double>(i), samples[i]);
    writeFigures(*histogram, samples);
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

CORVANE_MODULE(Sarnith)
