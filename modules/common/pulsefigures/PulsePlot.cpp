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

void addPulsePlotInputs(std::vector<Corvane::Input>& inputs, const PulsePlotHandlers& handlers,
                        const std::string& noun) {
    typedef Corvane::Input Input;
    inputs.push_back(Input("signal", handlers.signal, vorn_vector_double, "Vector of doubles to be displayed"));
    inputs.push_back(Input("xlabel", handlers.xlabel, vorn_string, "Default: empty (or from FlowProperty)"));
    inputs.push_back(Input("ylabel", handlers.ylabel, vorn_string, "Default: empty (or from FlowProperty)"));
    inputs.push_back(Input("title", handlers.title, vorn_string, "Default: name of module"));
    inputs.push_back(Input("tavrel", handlers.record, vorn_tavrel, "Tavrel to be histo'd"));
    inputs.push_back(Input("labelV", handlers.labels, vorn_vector_string,
                           "Labels for " + noun + " numbering, i.e. \"Module Channel\""));
    inputs.push_back(Input("dimension", handlers.dimension, vorn_vector_int,
                           "Number of " + noun + "s, i.e. \"3 4 2\" for 24 " + noun +
                               "s in 3 folders, each containing 4 folders, each containing 2 " + noun + "s"));
    inputs.push_back(Input("address", handlers.address, vorn_vector_int,
                           "Address of " + noun +
                               " the current data belongs to, i.e. \"1 3 0\" (numbering starts with 0!)"));
    inputs.push_back(Input("channel", handlers.channel, vorn_short, "Same as address but as plain channel index"));
    inputs.push_back(Input("fw_values", handlers.fwValues, vorn_vector_double,
                           "Vector of values to be displayed in info box"));
    inputs.push_back(Input("infos", handlers.infos, vorn_cstring,
                           "Labels for values to be displayed in info box, i.e. \"FW-Max=0, FW-Time=2\""));
    inputs.push_back(Input("path", handlers.path, vorn_string, "Path in the AIDA memory tree. Default is /Signals."));
}

PulsePlot::PulsePlot(const std::string& instanceName, bool printSelected)
    : grid("/Signals"),
      title(instanceName),
      signal(kSignal, SelectedValue::kInnerLists),
      fw(kFwValues, SelectedValue::kWhole),
      resolvedRecord(nullptr),
      xLabelSet(false),
      printSelected(printSelected) {}

void PulsePlot::initialize() {
    grid.resetToSingle();
    channels.reset();
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
    channels.channel = grid.setAddressDigits(digits, module);
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
    return grid.takeDimensions(radices, module);
}

void PulsePlot::setInfos(const char* text) { parseInfoLabels(text, infoKeys, infoIndices); }
