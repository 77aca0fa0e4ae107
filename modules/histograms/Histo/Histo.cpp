#include <cmath>
#include <iostream>
#include <string>
#include <vector>

#include "AIDA/IHistogram1D.h"
#include "HistoInputs.h"
#include "HistogramModule.h"
#include "Selectable.h"
#include "Tavrel.h"

// Fills a set of AIDA 1-D histograms, numbered by the channel grid, with
// plain numbers or with a property of the event records it receives (one
// fill per element of a list property, each with its own channel when the
// channel comes from a list). Binnings come from the input or from the
// property.
//
// Threads: built on the flow's creating thread, fed on the flow thread.
class Histo : public HistogramModule<Histo, AIDA::IHistogram1D> {
public:
    explicit Histo(std::string& instanceName);

private:
    friend class HistogramModule<Histo, AIDA::IHistogram1D>;
    enum { kFill = 0, kTavrel = 1, kBinning = 2, kChannel = 9 };

    // Literal texts: a property path for "fill", a bin divisor "/<n>" for
    // "binning"; true when taken.
    bool takeLiteral(int index, const char* text);
    void fill(void* value);
    void setXBinning(void* value);
    void setYLabel(void* value);
    void setChannel(void* value);

    void pointAtInputBinnings() { binning = &inputBinning; }
    void createHistogram(const std::string& objectName, const std::string& objectTitle);
    // Resolves the channel and the fill property in `record`; with
    // `adopt` the property's label and binning are taken and the set is
    // recreated.
    void SetPointers(Tavrel& record, bool adopt);
    void fillRecord();
    // What `fill` does with a number once its histogram is known.
    void fillNumber(AIDA::IHistogram1D* histogram, double x);

    SelectedValue fillSelection;
    FlowBinning inputBinning;
    FlowBinning propertyBinning;
    FlowBinning* binning;
    bool binningByInput;
    double divisor;
};

Histo::Histo(std::string& instanceName)
    : HistogramModule(instanceName, "1D Histogram, set title for resetting"),
      fillSelection(kFill, SelectedValue::kElements),
      inputBinning(0, 100, 100),
      binning(&inputBinning),
      binningByInput(false),
      divisor(1.0) {
    inputs.push_back(Input("fill", CORVANE_HANDLER(&Histo::fill), vorn_double, "Numbers to be histo'd"));
    inputs.push_back(Input("tavrel", CORVANE_HANDLER(&Histo::fillFe), vorn_tavrel, "Tavrel to be histo'd"));
    inputs.push_back(Input("binning", CORVANE_HANDLER(&Histo::setXBinning), vorn_vector_double, "Bins, min, max"));
    inputs.push_back(Input("xlabel", CORVANE_HANDLER(&Histo::setXLabel), vorn_string,
                           "Default: empty (or from FlowProperty)"));
    inputs.push_back(Input("ylabel", CORVANE_HANDLER(&Histo::setYLabel), vorn_string,
                           "Default: empty (or from FlowProperty)"));
    addSetInputs(CORVANE_HANDLER(&Histo::setChannel), vorn_short);
    std::cout << name << " instantiated" << std::endl;
}

bool Histo::takeLiteral(int index, const char* text) {
    if (index != kFill) return index == kBinning && takeDivisorLiteral(text, divisor);
    fillSelection.select(*this, text, false);
    return true;
}

void Histo::fill(void* value) { fillNumber(channelHistogram(), *static_cast<double*>(value)); }

inline void Histo::fillNumber(AIDA::IHistogram1D* histogram, double x) {
    if (std::isnan(x)) {
        std::cout << name << ": NaN in Histo::fill()" << std::endl;
        return;
    }
    if (histogram != nullptr) histogram->fill(x, 1.0);
}

void Histo::fillRecord() {
    fillSelected(fillSelection, [this](AIDA::IHistogram1D* histogram, double x) { fillNumber(histogram, x); });
}

void Histo::SetPointers(Tavrel& record, bool adopt) {
    channelSelection.resolve(*this, record);
    FlowProperty* property = fillSelection.resolve(*this, record);
    if (property == nullptr || !adopt) return;
    adoptLabel(*property, fillSelection, xlabelByInput, xlabel);
    binning = histoinputs::adoptBinning(property->binning, binningByInput, propertyBinning, inputBinning);
    CreateHistograms();
}

void Histo::createHistogram(const std::string& objectName, const std::string& objectTitle) {
    const FlowBinning& b = *binning;
    if (!b.values.empty()) {
        if (!mayCreate(objectName, static_cast<long long>(b.values.size()) - 1)) return;
        keep(histogramFactory->createHistogram1D(objectName, objectTitle, b.values, ""));
        return;
    }
    int bins = histoinputs::dividedBins(b, divisor);
    if (bins < 1 || !(b.max > b.min) || !std::isfinite(b.min) || !std::isfinite(b.max)) {
        std::cout << name << ": Not enough binning information." << std::endl;
        return;
    }
    if (!mayCreate(objectName, bins)) return;
    keep(histogramFactory->createHistogram1D(objectName, objectTitle, bins, b.min, b.max, ""));
}

void Histo::setXBinning(void* value) {
    const std::vector<double>& list = *static_cast<std::vector<double>*>(value);
    if (histoinputs::takeInputBinning(list, inputBinning, binning, binningByInput)) CreateHistograms();
}

void Histo::setYLabel(void* value) {
    if (histoinputs::takeText(value, ylabel)) CreateHistograms();
}

void Histo::setChannel(void* value) { channelSelection.channel = *static_cast<short*>(value); }

CORVANE_MODULE(Histo)
