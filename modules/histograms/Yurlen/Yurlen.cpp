#include <algorithm>
#include <cmath>
#include <iostream>
#include <string>
#include <vector>

#include "AIDA/IHistogram2D.h"
#include "HistoInputs.h"
#include "HistogramModule.h"
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
class Yurlen : public HistogramModule<Yurlen, AIDA::IHistogram2D> {
public:
    explicit Yurlen(std::string& instanceName);

private:
    friend class HistogramModule<Yurlen, AIDA::IHistogram2D>;
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

    // Literal texts: property paths for "xfill", "yfill" and "xyfill", a
    // bin divisor "/<n>" for "xbinning" and "ybinning"; true when taken.
    bool takeLiteral(int index, const char* text);
    void fillX(void* value);
    void fillY(void* value);
    void fillXY(void* value);
    void setXBinning(void* value);
    void setYBinning(void* value);
    void setYLabel(void* value);
    void setChannel(void* value);

    void fill(double xValue, double yValue);
    // What `fillXY` does with a number once its histogram is known.
    void fillCombinedNumber(AIDA::IHistogram2D* histogram, double v);
    void setBinning(Axis& axis, void* value);
    void pointAtInputBinnings();
    void createHistogram(const std::string& objectName, const std::string& objectTitle);
    // Resolves the channel and the selected properties in `record`; with
    // `adopt` their labels and binnings are taken and the set is recreated.
    void SetPointers(Tavrel& record, bool adopt);
    void fillRecord();
    void fillPairs();
    void fillCombined();

    SelectedValue xSelection;
    SelectedValue ySelection;
    SelectedValue xySelection;
    Axis xAxis;
    Axis yAxis;
    bool ylabelByInput;
    double x;
    double y;
};

void Yurlen::Axis::adopt(const FlowBinning& offered) {
    binning = histoinputs::adoptBinning(offered, byInput, propertyBinning, inputBinning);
}

Yurlen::Yurlen(std::string& instanceName)
    : HistogramModule(instanceName, "2D Histogram, set title for resetting"),
      xSelection(kXFill, SelectedValue::kElements),
      ySelection(kYFill, SelectedValue::kElements),
      xySelection(kXYFill, SelectedValue::kElements),
      ylabelByInput(false),
      x(0),
      y(0) {
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
    addSetInputs(CORVANE_HANDLER(&Yurlen::setChannel), vorn_int);
    std::cout << name << " instantiated" << std::endl;
}

void Yurlen::pointAtInputBinnings() {
    xAxis.binning = &xAxis.inputBinning;
    yAxis.binning = &yAxis.inputBinning;
}

bool Yurlen::takeLiteral(int index, const char* text) {
    switch (index) {
        case kXFill:
            xSelection.select(*this, text, false);
            return true;
        case kYFill:
            ySelection.select(*this, text, false);
            return true;
        case kXYFill:
            xySelection.select(*this, text, false);
            return true;
        case kXBinning:
            return takeDivisorLiteral(text, xAxis.divisor);
        case kYBinning:
            return takeDivisorLiteral(text, yAxis.divisor);
        default:
            return false;
    }
}

void Yurlen::fill(double xValue, double yValue) {
    AIDA::IHistogram2D* histogram = channelHistogram();
    if (histogram != nullptr) histogram->fill(xValue, yValue, 1.0);
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

void Yurlen::fillXY(void* value) { fillCombinedNumber(channelHistogram(), *static_cast<double*>(value)); }

void Yurlen::fillCombinedNumber(AIDA::IHistogram2D* histogram, double v) {
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
    if (histogram != nullptr) histogram->fill(x, y, 1.0);
}

void Yurlen::fillRecord() {
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
    fillSelected(xySelection, [this](AIDA::IHistogram2D* histogram, double v) { fillCombinedNumber(histogram, v); });
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

void Yurlen::createHistogram(const std::string& objectName, const std::string& objectTitle) {
    const FlowBinning& bx = *xAxis.binning;
    const FlowBinning& by = *yAxis.binning;
    if (!bx.values.empty() && !by.values.empty()) {
        long long cells = static_cast<long long>(bx.values.size() - 1) * static_cast<long long>(by.values.size() - 1);
        if (!mayCreate(objectName, cells)) return;
        keep(histogramFactory->createHistogram2D(objectName, objectTitle, bx.values, by.values, ""));
        return;
    }
    int xbins = xAxis.bins();
    int ybins = yAxis.bins();
    // A count that the divisor brought below 1 or that is negative gives no bins either.
    if (xbins < 1 || ybins < 1) {
        std::cout << name << ": Not enough binning information." << std::endl;
        return;
    }
    if (!mayCreate(objectName, static_cast<long long>(xbins) * ybins)) return;
    keep(histogramFactory->createHistogram2D(objectName, objectTitle, xbins, bx.min, bx.max, ybins, by.min, by.max,
                                             ""));
}

void Yurlen::setBinning(Axis& axis, void* value) {
    const std::vector<double>& list = *static_cast<std::vector<double>*>(value);
    if (histoinputs::takeInputBinning(list, axis.inputBinning, axis.binning, axis.byInput)) CreateHistograms();
}

void Yurlen::setXBinning(void* value) { setBinning(xAxis, value); }

void Yurlen::setYBinning(void* value) { setBinning(yAxis, value); }

void Yurlen::setYLabel(void* value) {
    if (!histoinputs::takeText(value, ylabel)) return;
    ylabelByInput = true;
    CreateHistograms();
}

// A number beyond the range of a channel selects no histogram.
void Yurlen::setChannel(void* value) { channelSelection.channel = channelFrom(*static_cast<int*>(value)); }

CORVANE_MODULE(Yurlen)
