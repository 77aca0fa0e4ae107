#include "PulsePlot.h"

#include <algorithm>

#include "AidaAccess.h"
#include "PulseFigures.h"

namespace {

// Sends a selected whole value, computing a formula property first.
void sendWhole(Corvane& module, SelectedValue& selection) {
    if (selection.value == nullptr) return;
    if (selection.formula != nullptr) selection.formula->eval();
    selection.sendValue(module);
}

}  // namespace

PulsePlot::PulsePlot(const std::string& instanceName, bool printSelected)
    : grid("/Signals"),
      title(instanceName),
      signal(kSignal, SelectedValue::kInnerLists),
      fw(kFwValues, SelectedValue::kWhole),
      resolvedRecord(nullptr),
      xLabelSet(false),
      printSelected(printSelected) {}

void PulsePlot::initialize() {
    grid.address.push_back(0);
    channels.channel = 0;
    channels.clear();
    grid.dimension.clear();
}

void PulsePlot::select(Corvane& module, int index, const char* text) {
    switch (index) {
        case kSignal: signal.select(module, text, printSelected); break;
        case kChannel: channels.selectLiteral(module, text, printSelected); break;
        case kFwValues: fw.select(module, text, printSelected); break;
        default: break;
    }
}

void PulsePlot::takeRecord(Corvane& module, void* value) {
    Tavrel* record = recordInput.accept(module, value);
    if (record == nullptr) return;
    if (module.connectionChanged || record->announce || record != resolvedRecord) resolve(module, *record);
    send(module);
}

void PulsePlot::resolve(Corvane& module, Tavrel& record) {
    module.connectionChanged = false;
    resolvedRecord = &record;
    channels.resolve(module, record);
    fw.resolve(module, record);
    FlowProperty* property = signal.resolve(module, record);
    // Shown from the next recreation of the set on.
    if (property != nullptr && !xLabelSet) xLabel = property->label.empty() ? signal.path : property->label;
}

void PulsePlot::send(Corvane& module) {
    sendWhole(module, fw);
    channels.refresh();
    if (!signal.vectorMode) {
        sendWhole(module, signal);
        return;
    }
    ListView pulses;
    if (!signal.units(pulses)) return;
    size_t channelCount = channels.listSize();
    if (channelCount == 0) {
        signal.sendUnits(module, pulses, pulses.count, [](size_t) {});
        return;
    }
    signal.sendUnits(module, pulses, std::min(pulses.count, channelCount),
                     [this](size_t i) { channels.pointAt(i); });
    channels.rest();
}

void PulsePlot::setAddress(const std::vector<int>& digits, const std::string& module) {
    channels.channel = grid.setAddress(std::vector<unsigned int>(digits.begin(), digits.end()), module);
}

bool PulsePlot::setTitle(Corvane& module, const std::string& text) {
    if (aidaaccess::driverRunning(module) || text.empty()) return false;
    title = text;
    return true;
}

bool PulsePlot::setXLabel(const std::string& text) {
    if (text.empty()) return false;
    xLabel = text;
    xLabelSet = true;
    return true;
}

bool PulsePlot::setYLabel(const std::string& text) {
    if (text.empty()) return false;
    yLabel = text;
    return true;
}

bool PulsePlot::setDimensions(const std::vector<int>& radices, const std::string& module) {
    std::vector<unsigned int> dimension(radices.begin(), radices.end());
    if (!grid.acceptDimensions(dimension, module)) return false;
    grid.dimension = dimension;
    return true;
}

void PulsePlot::setInfos(const char* text) { parseInfoLabels(text, infoKeys, infoIndices); }
