#include <algorithm>
#include <cmath>
#include <iostream>
#include <string>
#include <vector>

#include "AIDA/IHistogram1D.h"
#include "AIDA/IHistogramFactory.h"
#include "AIDA/ITree.h"
#include "AidaAccess.h"
#include "ChannelGrid.h"
#include "ChannelSelection.h"
#include "Corvane.h"
#include "HistoInputs.h"
#include "RecordInput.h"
#include "Selectable.h"
#include "Tavrel.h"

// Fills a set of AIDA 1-D histograms, numbered by the channel grid, with
// plain numbers or with a property of the event records it receives (one
// fill per element of a list property, each with its own channel when the
// channel comes from a list). Binnings come from the input or from the
// property.
//
// Threads: built on the flow's creating thread, fed on the flow thread.
class Histo : public Corvane {
public:
    explicit Histo(std::string& instanceName);
    ~Histo() override;

    void Init() override;
    // Recreates the set unless the driver is running, and resolves the
    // selected properties again at the next record.
    void Reset() override;
    // Literal texts: a property path for "fill", a fixed channel or a
    // channel property for "channel", a bin divisor "/<n>" for "binning".
    using Corvane::SetInput;
    void SetInput(int index, void* value) override;

private:
    enum { kFill = 0, kTavrel = 1, kBinning = 2, kChannel = 9 };

    void fill(void* value);
    void fillFe(void* value);
    void setXBinning(void* value);
    void setXLabel(void* value);
    void setYLabel(void* value);
    void setTitle(void* value);
    void setLabels(void* value);
    void setDimensions(void* value);
    void setAddress(void* value);
    void setChannel(void* value);
    void setPath(void* value);

    void setDivisor(const char* text);
    void CreateHistograms();
    void createHistogram(const std::string& objectName, const std::string& objectTitle);
    // Resolves the channel and the fill property in `record`; with
    // `adopt` the property's label and binning are taken and the set is
    // recreated.
    void SetPointers(Tavrel& record, bool adopt);
    void fillElements();
    // The histogram of the channel in force; null for a channel outside the set.
    AIDA::IHistogram1D* channelHistogram() const;
    // What `fill` does with a number once its histogram is known.
    void fillNumber(AIDA::IHistogram1D* histogram, double x);

    ChannelGrid grid;
    ChannelSelection channelSelection;
    std::vector<AIDA::IHistogram1D*> histograms;
    AIDA::IHistogramFactory* histogramFactory;
    AIDA::ITree* tree;
    std::string title;
    SelectedValue fillSelection;
    std::string xlabel;
    std::string ylabel;
    FlowBinning inputBinning;
    FlowBinning propertyBinning;
    FlowBinning* binning;
    bool binningByInput;
    bool xlabelByInput;
    double divisor;
    RecordInput recordInput;
    Tavrel* resolvedRecord;
};

Histo::Histo(std::string& instanceName)
    : Corvane(nullptr, "NoName"),
      grid("/Histograms"),
      histogramFactory(nullptr),
      tree(nullptr),
      title(instanceName),
      fillSelection(kFill, SelectedValue::kElements),
      inputBinning(0, 100, 100),
      binning(&inputBinning),
      binningByInput(false),
      xlabelByInput(false),
      divisor(1.0),
      resolvedRecord(nullptr) {
    name = instanceName;
    description = "1D Histogram, set title for resetting";
    inputs.push_back(Input("fill", CORVANE_HANDLER(&Histo::fill), vorn_double, "Numbers to be histo'd"));
    inputs.push_back(Input("tavrel", CORVANE_HANDLER(&Histo::fillFe), vorn_tavrel, "Tavrel to be histo'd"));
    inputs.push_back(Input("binning", CORVANE_HANDLER(&Histo::setXBinning), vorn_vector_double, "Bins, min, max"));
    inputs.push_back(Input("xlabel", CORVANE_HANDLER(&Histo::setXLabel), vorn_string,
                           "Default: empty (or from FlowProperty)"));
    inputs.push_back(Input("ylabel", CORVANE_HANDLER(&Histo::setYLabel), vorn_string,
                           "Default: empty (or from FlowProperty)"));
    histoinputs::addSetInputs(inputs,
                              {CORVANE_HANDLER(&Histo::setTitle), CORVANE_HANDLER(&Histo::setLabels),
                               CORVANE_HANDLER(&Histo::setDimensions), CORVANE_HANDLER(&Histo::setAddress),
                               CORVANE_HANDLER(&Histo::setChannel), CORVANE_HANDLER(&Histo::setPath)},
                              vorn_short);
    std::cout << name << " instantiated" << std::endl;
}

Histo::~Histo() {
    grid.trashSet(tree, name);
    delete histogramFactory;
    std::cout << name << " deleted" << std::endl;
}

void Histo::Init() {
    binning = &inputBinning;
    if (!aidaaccess::openHistogramViewer(*this, grid.path, tree, histogramFactory)) return;
    grid.resetToSingle();
    channelSelection.reset();
    Reset();
    std::cout << name << " initialized." << std::endl;
}

void Histo::Reset() {
    if (aidaaccess::driverRunning(*this)) return;
    CreateHistograms();
    connectionChanged = true;
}

void Histo::SetInput(int index, void* value) {
    const char* text = value != nullptr ? static_cast<const char*>(value) : "";
    switch (index) {
        case kFill:
            fillSelection.select(*this, text, false);
            return;
        case kChannel:
            channelSelection.selectLiteral(*this, text, false);
            return;
        case kBinning:
            if (text[0] == '/') {
                setDivisor(text);
                return;
            }
            divisor = 1.0;
            break;
        default:
            break;
    }
    Corvane::SetInput(index, value);
}

void Histo::setDivisor(const char* text) {
    if (histoinputs::takeDivisor(name, text, divisor)) CreateHistograms();
}

void Histo::fill(void* value) { fillNumber(channelHistogram(), *static_cast<double*>(value)); }

inline AIDA::IHistogram1D* Histo::channelHistogram() const {
    short c = *channelSelection.channelPointer;
    return c >= 0 && static_cast<size_t>(c) < histograms.size() ? histograms[c] : nullptr;
}

inline void Histo::fillNumber(AIDA::IHistogram1D* histogram, double x) {
    if (std::isnan(x)) {
        std::cout << name << ": NaN in Histo::fill()" << std::endl;
        return;
    }
    if (histogram != nullptr) histogram->fill(x, 1.0);
}

void Histo::fillFe(void* value) {
    Tavrel* record = recordInput.accept(*this, value);
    if (record == nullptr) return;
    if (connectionChanged || record->announce || record != resolvedRecord) {
        bool adopt = connectionChanged || record->announce;
        connectionChanged = false;
        resolvedRecord = record;
        SetPointers(*record, adopt);
        if (record->announce) return;
    }
    channelSelection.refresh();
    if (fillSelection.vectorMode)
        fillElements();
    else
        fillSelection.sendValue(*this);
}

void Histo::fillElements() {
    ListView view;
    if (!fillSelection.units(view)) return;
    if (!channelSelection.hasList()) {
        // Filling changes neither the channel nor the set: one histogram for all.
        AIDA::IHistogram1D* histogram = channelHistogram();
        fillSelection.forEachDouble(*this, view, view.count,
                                    [this, histogram](size_t, double x) { fillNumber(histogram, x); });
        return;
    }
    // Elements without a channel entry are not filled.
    size_t count = std::min(view.count, channelSelection.listSize());
    fillSelection.forEachDouble(*this, view, count, [this](size_t i, double x) {
        channelSelection.pointAt(i);
        fillNumber(channelHistogram(), x);
    });
    channelSelection.rest();
}

void Histo::SetPointers(Tavrel& record, bool adopt) {
    channelSelection.resolve(*this, record);
    FlowProperty* property = fillSelection.resolve(*this, record);
    if (property == nullptr || !adopt) return;
    if (!xlabelByInput) xlabel = property->label.empty() ? fillSelection.path : property->label;
    binning = histoinputs::adoptBinning(property->binning, binningByInput, propertyBinning, inputBinning);
    CreateHistograms();
}

void Histo::CreateHistograms() {
    histograms.clear();
    grid.createSet(tree, name, name, [this](unsigned int, const std::string& suffix) {
        createHistogram(name + suffix, title + suffix);
    });
}

void Histo::createHistogram(const std::string& objectName, const std::string& objectTitle) {
    const FlowBinning& b = *binning;
    AIDA::IHistogram1D* histogram = nullptr;
    if (!b.values.empty()) {
        if (!histoinputs::cellsAllowed(name, objectName, static_cast<long long>(b.values.size()) - 1)) return;
        if (histogramFactory == nullptr) return;
        histogram = histogramFactory->createHistogram1D(objectName, objectTitle, b.values, "");
    } else {
        int bins = histoinputs::dividedBins(b, divisor);
        if (bins < 1 || !(b.max > b.min) || !std::isfinite(b.min) || !std::isfinite(b.max)) {
            std::cout << name << ": Not enough binning information." << std::endl;
            return;
        }
        if (!histoinputs::cellsAllowed(name, objectName, bins)) return;
        if (histogramFactory == nullptr) return;
        histogram = histogramFactory->createHistogram1D(objectName, objectTitle, bins, b.min, b.max, "");
    }
    if (histogram != nullptr) aidaaccess::addAxisTitles(*histogram, xlabel, ylabel);
    histograms.push_back(histogram);
}

void Histo::setXBinning(void* value) {
    const std::vector<double>& list = *static_cast<std::vector<double>*>(value);
    if (histoinputs::takeInputBinning(list, inputBinning, binning, binningByInput)) CreateHistograms();
}

void Histo::setXLabel(void* value) {
    if (!histoinputs::takeText(value, xlabel)) return;
    xlabelByInput = true;
    CreateHistograms();
}

void Histo::setYLabel(void* value) {
    if (histoinputs::takeText(value, ylabel)) CreateHistograms();
}

void Histo::setTitle(void* value) {
    if (!aidaaccess::driverRunning(*this) && histoinputs::takeText(value, title)) CreateHistograms();
}

void Histo::setLabels(void* value) {
    grid.labels = *static_cast<std::vector<std::string>*>(value);
    CreateHistograms();
}

void Histo::setDimensions(void* value) {
    if (grid.takeDimensions(*static_cast<std::vector<int>*>(value), name)) CreateHistograms();
}

void Histo::setAddress(void* value) {
    channelSelection.channel = grid.setAddressDigits(*static_cast<std::vector<int>*>(value), name);
}

void Histo::setChannel(void* value) { channelSelection.channel = *static_cast<short*>(value); }

void Histo::setPath(void* value) { grid.setPath(tree, *static_cast<std::string*>(value), name, name); }

CORVANE_MODULE(Histo)
