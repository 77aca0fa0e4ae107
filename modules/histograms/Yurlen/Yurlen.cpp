#include <algorithm>
#include <cmath>
#include <iostream>
#include <string>
#include <vector>

#include "AIDA/IHistogram2D.h"
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
#include "TextNumbers.h"

// Fills a set of AIDA 2-D histograms, numbered by the channel grid, with x
// and y values or with one combined number (y times the x maximum plus x).
// Values come as plain numbers or from properties of the event records it
// receives; list properties fill pair by pair, each pair with its own
// channel when the channel comes from a list. Binnings come from the
// inputs or from the properties.
//
// Threads: built on the flow's creating thread, fed on the flow thread.
class Yurlen : public Corvane {
public:
    explicit Yurlen(std::string& instanceName);
    ~Yurlen() override;

    void Init() override;
    // Recreates the set unless the driver is running, and resolves the
    // selected properties again at the next record.
    void Reset() override;
    // Literal texts: property paths for "xfill", "yfill" and "xyfill", a
    // fixed channel or a channel property for "channel", a bin divisor
    // "/<n>" for "xbinning" and "ybinning".
    using Corvane::SetInput;
    void SetInput(int index, void* value) override;

private:
    enum { kTavrel = 0, kXFill = 1, kYFill = 2, kXYFill = 3, kXBinning = 4, kYBinning = 6, kChannel = 12 };

    // The binning of one axis: from the input, or from a property unless
    // the input gave one.
    struct Axis {
        Axis() : inputBinning(0, 100, 100), binning(&inputBinning), byInput(false), divisor(1.0) {}
        // Takes the property's binning when it has one and the input gave none.
        void adopt(const FlowBinning& offered);
        // The bin count in force, after the divisor.
        int bins() const { return histoinputs::dividedBins(*binning, divisor); }

        FlowBinning inputBinning;
        FlowBinning propertyBinning;
        FlowBinning* binning;
        bool byInput;
        double divisor;
    };

    void fillFe(void* value);
    void fillX(void* value);
    void fillY(void* value);
    void fillXY(void* value);
    void setXBinning(void* value);
    void setXLabel(void* value);
    void setYBinning(void* value);
    void setYLabel(void* value);
    void setTitle(void* value);
    void setLabels(void* value);
    void setDimensions(void* value);
    void setAddress(void* value);
    void setChannel(void* value);
    void setPath(void* value);

    void fill(double xValue, double yValue);
    void setBinning(Axis& axis, void* value);
    void setDivisor(Axis& axis, const char* text);
    void CreateHistograms();
    void createHistogram(const std::string& objectName, const std::string& objectTitle);
    // Resolves the channel and the selected properties in `record`; with
    // `adopt` their labels and binnings are taken and the set is recreated.
    void SetPointers(Tavrel& record, bool adopt);
    void adoptLabel(const FlowProperty& property, const SelectedValue& selection, bool byInput, std::string& label);
    void fillPairs();
    void fillCombined();

    ChannelGrid grid;
    ChannelSelection channelSelection;
    std::vector<AIDA::IHistogram2D*> histograms;
    AIDA::IHistogramFactory* histogramFactory;
    AIDA::ITree* tree;
    std::string title;
    SelectedValue xSelection;
    SelectedValue ySelection;
    SelectedValue xySelection;
    std::string xlabel;
    std::string ylabel;
    Axis xAxis;
    Axis yAxis;
    bool xlabelByInput;
    bool ylabelByInput;
    double x;
    double y;
    RecordInput recordInput;
    Tavrel* resolvedRecord;
};

void Yurlen::Axis::adopt(const FlowBinning& offered) {
    binning = histoinputs::adoptBinning(offered, byInput, propertyBinning, inputBinning);
}

Yurlen::Yurlen(std::string& instanceName)
    : Corvane(nullptr, "NoName"),
      grid("/Histograms"),
      histogramFactory(nullptr),
      tree(nullptr),
      title(instanceName),
      xSelection(kXFill, SelectedValue::kElements),
      ySelection(kYFill, SelectedValue::kElements),
      xySelection(kXYFill, SelectedValue::kElements),
      xlabelByInput(false),
      ylabelByInput(false),
      x(0),
      y(0),
      resolvedRecord(nullptr) {
    name = instanceName;
    description = "2D Histogram, set title for resetting";
    inputs.push_back(Input("tavrel", CORVANE_HANDLER(&Yurlen::fillFe), vorn_tavrel, "Tavrel to be histo'd"));
    inputs.push_back(Input("xfill", CORVANE_HANDLER(&Yurlen::fillX), vorn_double, "Numbers to be histo'd"));
    inputs.push_back(Input("yfill", CORVANE_HANDLER(&Yurlen::fillY), vorn_double, "Numbers to be histo'd"));
    inputs.push_back(Input("xyfill", CORVANE_HANDLER(&Yurlen::fillXY), vorn_double, "X*Y product to be histo'd"));
    inputs.push_back(Input("xbinning", CORVANE_HANDLER(&Yurlen::setXBinning), vorn_vector_double, "Bins, min, max"));
    inputs.push_back(Input("xlabel", CORVANE_HANDLER(&Yurlen::setXLabel), vorn_string,
                           "Default: empty (or from FlowProperty)"));
    inputs.push_back(Input("ybinning", CORVANE_HANDLER(&Yurlen::setYBinning), vorn_vector_double, "Bins, min, max"));
    inputs.push_back(Input("ylabel", CORVANE_HANDLER(&Yurlen::setYLabel), vorn_string,
                           "Default: empty (or from FlowProperty)"));
    histoinputs::addSetInputs(inputs,
                              {CORVANE_HANDLER(&Yurlen::setTitle), CORVANE_HANDLER(&Yurlen::setLabels),
                               CORVANE_HANDLER(&Yurlen::setDimensions), CORVANE_HANDLER(&Yurlen::setAddress),
                               CORVANE_HANDLER(&Yurlen::setChannel), CORVANE_HANDLER(&Yurlen::setPath)},
                              vorn_int);
    std::cout << name << " instantiated" << std::endl;
}

Yurlen::~Yurlen() {
    grid.trashSet(tree, name);
    delete histogramFactory;
    std::cout << name << " deleted" << std::endl;
}

void Yurlen::Init() {
    xAxis.binning = &xAxis.inputBinning;
    yAxis.binning = &yAxis.inputBinning;
    if (!aidaaccess::openHistogramViewer(*this, grid.path, tree, histogramFactory)) return;
    grid.resetToSingle();
    channelSelection.reset();
    Reset();
    std::cout << name << " initialized." << std::endl;
}

void Yurlen::Reset() {
    if (aidaaccess::driverRunning(*this)) return;
    CreateHistograms();
    connectionChanged = true;
}

void Yurlen::SetInput(int index, void* value) {
    const char* text = value != nullptr ? static_cast<const char*>(value) : "";
    switch (index) {
        case kXFill:
            xSelection.select(*this, text, false);
            return;
        case kYFill:
            ySelection.select(*this, text, false);
            return;
        case kXYFill:
            xySelection.select(*this, text, false);
            return;
        case kChannel:
            channelSelection.selectLiteral(*this, text, false);
            return;
        case kXBinning:
        case kYBinning: {
            Axis& axis = index == kXBinning ? xAxis : yAxis;
            if (text[0] == '/') {
                setDivisor(axis, text);
                return;
            }
            axis.divisor = 1.0;
            break;
        }
        default:
            break;
    }
    Corvane::SetInput(index, value);
}

void Yurlen::setDivisor(Axis& axis, const char* text) {
    if (histoinputs::takeDivisor(name, text, axis.divisor)) CreateHistograms();
}

void Yurlen::fill(double xValue, double yValue) {
    short c = *channelSelection.channelPointer;
    if (c < 0 || static_cast<size_t>(c) >= histograms.size() || histograms[c] == nullptr) return;
    histograms[c]->fill(xValue, yValue, 1.0);
}

void Yurlen::fillX(void* value) {
    double v = *static_cast<double*>(value);
    if (std::isnan(v)) {
        std::cout << name << ": NaN in Yurlen::fillX" << std::endl;
        return;
    }
    x = v;
}

void Yurlen::fillY(void* value) {
    double v = *static_cast<double*>(value);
    if (std::isnan(v)) {
        std::cout << name << ": NaN in Yurlen::fillY" << std::endl;
        return;
    }
    fill(x, v);
}

void Yurlen::fillXY(void* value) {
    double v = *static_cast<double*>(value);
    if (std::isnan(v)) {
        std::cout << name << ": NaN in Yurlen::fillXY" << std::endl;
        return;
    }
    double m = xAxis.binning->max;
    // Without a usable x maximum the number cannot be split into x and y.
    if (!std::isfinite(m) || m == 0) {
        std::cout << name << ": Cannot split " << vorn::toText(v) << " without a non-zero x maximum." << std::endl;
        return;
    }
    y = std::floor(v / m);
    x = v - m * y;
    fill(x, y);
}

void Yurlen::fillFe(void* value) {
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
    if (xySelection.value != nullptr) {
        fillCombined();
    } else if (!xSelection.vectorMode && !ySelection.vectorMode) {
        xSelection.sendValue(*this);
        ySelection.sendValue(*this);
    } else if (xSelection.vectorMode && ySelection.vectorMode) {
        fillPairs();
    }
}

void Yurlen::fillPairs() {
    ListView xs, ys;
    if (!xSelection.units(xs) || !ySelection.units(ys) || xs.count != ys.count) return;
    bool perElement = channelSelection.hasList();
    // Pairs without a channel entry are not filled.
    size_t count = perElement ? std::min(xs.count, channelSelection.listSize()) : xs.count;
    for (size_t i = 0; i < count; ++i) {
        if (perElement) channelSelection.pointAt(i);
        SendOutput(xSelection.output, xs.at(i));
        if (perElement) channelSelection.pointAt(i);
        SendOutput(ySelection.output, ys.at(i));
    }
    channelSelection.rest();
}

void Yurlen::fillCombined() {
    if (!xySelection.vectorMode) {
        xySelection.sendValue(*this);
        return;
    }
    ListView view;
    if (!xySelection.units(view)) return;
    if (!channelSelection.hasList()) {
        xySelection.sendUnits(*this, view, view.count, [](size_t) {});
        return;
    }
    size_t count = std::min(view.count, channelSelection.listSize());
    xySelection.sendUnits(*this, view, count, [this](size_t i) { channelSelection.pointAt(i); });
    channelSelection.rest();
}

void Yurlen::SetPointers(Tavrel& record, bool adopt) {
    channelSelection.resolve(*this, record);
    FlowProperty* xProperty = xSelection.resolve(*this, record);
    FlowProperty* yProperty = ySelection.resolve(*this, record);
    FlowProperty* xyProperty = xySelection.resolve(*this, record);
    // A combined value fills alone.
    if (xyProperty != nullptr) {
        xSelection.clear();
        ySelection.clear();
    }
    if (!adopt) return;
    if (xyProperty != nullptr) {
        xAxis.adopt(xyProperty->binning);
    } else {
        if (xProperty != nullptr) {
            adoptLabel(*xProperty, xSelection, xlabelByInput, xlabel);
            xAxis.adopt(xProperty->binning);
        }
        if (yProperty != nullptr) {
            adoptLabel(*yProperty, ySelection, ylabelByInput, ylabel);
            yAxis.adopt(yProperty->binning);
        }
        if (xProperty != nullptr && yProperty != nullptr && xSelection.vectorMode != ySelection.vectorMode)
            std::cout << name << ": " << xSelection.path << " and " << ySelection.path
                      << " must both be lists or both be single values; nothing is filled." << std::endl;
    }
    if (xProperty != nullptr || yProperty != nullptr || xyProperty != nullptr) CreateHistograms();
}

void Yurlen::adoptLabel(const FlowProperty& property, const SelectedValue& selection, bool byInput,
                        std::string& label) {
    if (!byInput) label = property.label.empty() ? selection.path : property.label;
}

void Yurlen::CreateHistograms() {
    histograms.clear();
    grid.createSet(tree, name, name, [this](unsigned int, const std::string& suffix) {
        createHistogram(name + suffix, title + suffix);
    });
}

void Yurlen::createHistogram(const std::string& objectName, const std::string& objectTitle) {
    const FlowBinning& bx = *xAxis.binning;
    const FlowBinning& by = *yAxis.binning;
    AIDA::IHistogram2D* histogram = nullptr;
    if (!bx.values.empty() && !by.values.empty()) {
        long long cells = static_cast<long long>(bx.values.size() - 1) * static_cast<long long>(by.values.size() - 1);
        if (!histoinputs::cellsAllowed(name, objectName, cells)) return;
        if (histogramFactory == nullptr) return;
        histogram = histogramFactory->createHistogram2D(objectName, objectTitle, bx.values, by.values, "");
    } else {
        int xbins = xAxis.bins();
        int ybins = yAxis.bins();
        // A count that the divisor brought below 1 or that is negative gives no bins either.
        if (xbins < 1 || ybins < 1) {
            std::cout << name << ": Not enough binning information." << std::endl;
            return;
        }
        if (!histoinputs::cellsAllowed(name, objectName, static_cast<long long>(xbins) * ybins)) return;
        if (histogramFactory == nullptr) return;
        histogram = histogramFactory->createHistogram2D(objectName, objectTitle, xbins, bx.min, bx.max, ybins, by.min,
                                                        by.max, "");
    }
    if (histogram != nullptr) aidaaccess::addAxisTitles(*histogram, xlabel, ylabel);
    histograms.push_back(histogram);
}

void Yurlen::setBinning(Axis& axis, void* value) {
    const std::vector<double>& list = *static_cast<std::vector<double>*>(value);
    if (histoinputs::takeInputBinning(list, axis.inputBinning, axis.binning, axis.byInput)) CreateHistograms();
}

void Yurlen::setXBinning(void* value) { setBinning(xAxis, value); }

void Yurlen::setYBinning(void* value) { setBinning(yAxis, value); }

void Yurlen::setXLabel(void* value) {
    if (!histoinputs::takeText(value, xlabel)) return;
    xlabelByInput = true;
    CreateHistograms();
}

void Yurlen::setYLabel(void* value) {
    if (!histoinputs::takeText(value, ylabel)) return;
    ylabelByInput = true;
    CreateHistograms();
}

void Yurlen::setTitle(void* value) {
    if (!aidaaccess::driverRunning(*this) && histoinputs::takeText(value, title)) CreateHistograms();
}

void Yurlen::setLabels(void* value) {
    grid.labels = *static_cast<std::vector<std::string>*>(value);
    CreateHistograms();
}

void Yurlen::setDimensions(void* value) {
    if (grid.takeDimensions(*static_cast<std::vector<int>*>(value), name)) CreateHistograms();
}

void Yurlen::setAddress(void* value) {
    channelSelection.channel = grid.setAddressDigits(*static_cast<std::vector<int>*>(value), name);
}

// A number beyond the range of a channel selects no histogram.
void Yurlen::setChannel(void* value) { channelSelection.channel = channelFrom(*static_cast<int*>(value)); }

void Yurlen::setPath(void* value) { grid.setPath(tree, *static_cast<std::string*>(value), name, name); }

CORVANE_MODULE(Yurlen)
