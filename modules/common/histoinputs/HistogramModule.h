#ifndef ZARN_MODULES_COMMON_HISTOINPUTS_HISTOGRAMMODULE_H
#define ZARN_MODULES_COMMON_HISTOINPUTS_HISTOGRAMMODULE_H

#include <algorithm>
#include <iostream>
#include <string>
#include <vector>

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

// What the 1-D and 2-D histogram modules share: a set of histograms
// numbered by the channel grid in the memory tree, the channel in force,
// the event-record input that resolves the selected properties, and the
// inputs that title, label, number and place the set.
//
// `Module` (the class derived from this one, which befriends it) supplies:
// - kChannel: the index of its channel input;
// - takeLiteral(index, text): takes the literal texts of its own inputs
//   (true when taken, so that Corvane::SetInput does not see them);
// - pointAtInputBinnings(): the first step of Init;
// - createHistogram(objectName, objectTitle): makes one object of the set
//   with the module's binning and keeps it (or nothing) with keep();
// - SetPointers(record, adopt): resolves the selections in a record;
// - fillRecord(): fills from a resolved record, channels refreshed.
//
// Threads: built on the flow's creating thread, fed on the flow thread.
template <class Module, class Histogram> class HistogramModule : public Corvane {
public:
    // Opens the AIDA system and the tree, back to one object on channel 0,
    // creates the set; prints "<name> initialized." unless AIDA is missing.
    void Init() override {
        module().pointAtInputBinnings();
        if (!aidaaccess::openHistogramViewer(*this, grid.path, tree, histogramFactory)) return;
        grid.resetToSingle();
        channelSelection.reset();
        Reset();
        std::cout << name << " initialized." << std::endl;
    }

    // Recreates the set unless the driver is running, and resolves the
    // selected properties again at the next record.
    void Reset() override {
        if (aidaaccess::driverRunning(*this)) return;
        CreateHistograms();
        connectionChanged = true;
    }

    // Literal texts: the fixed-channel rule for the channel input, the
    // module's own rules for its inputs; the rest goes to Corvane::SetInput.
    using Corvane::SetInput;
    void SetInput(int index, void* value) override {
        const char* text = value != nullptr ? static_cast<const char*>(value) : "";
        if (index == Module::kChannel) {
            channelSelection.selectLiteral(*this, text, false);
            return;
        }
        if (!module().takeLiteral(index, text)) Corvane::SetInput(index, value);
    }

protected:
    HistogramModule(const std::string& instanceName, const char* moduleDescription)
        : Corvane(nullptr, "NoName"),
          grid("/Histograms"),
          histogramFactory(nullptr),
          tree(nullptr),
          title(instanceName),
          xlabelByInput(false),
          resolvedRecord(nullptr) {
        name = instanceName;
        description = moduleDescription;
    }

    // Moves the set into the trash and prints "<name> deleted".
    ~HistogramModule() override {
        grid.trashSet(tree, name);
        delete histogramFactory;
        std::cout << name << " deleted" << std::endl;
    }

    // Appends the inputs "title", "labels", "dimension", "address",
    // "channel" (of `channelType`, handled by `setChannel`) and "path".
    void addSetInputs(Corvane::Handler setChannel, vorn_type channelType) {
        histoinputs::addSetInputs(inputs,
                                  {CORVANE_HANDLER(&HistogramModule::setTitle),
                                   CORVANE_HANDLER(&HistogramModule::setLabels),
                                   CORVANE_HANDLER(&HistogramModule::setDimensions),
                                   CORVANE_HANDLER(&HistogramModule::setAddress), setChannel,
                                   CORVANE_HANDLER(&HistogramModule::setPath)},
                                  channelType);
    }

    // The handler of the event-record input: resolves on a change of
    // connection or selection, on an announcement (which then fills
    // nothing) and on a new record object, then fills.
    void fillFe(void* value) {
        Tavrel* record = recordInput.accept(*this, value);
        if (record == nullptr) return;
        if (connectionChanged || record->announce || record != resolvedRecord) {
            bool adopt = connectionChanged || record->announce;
            connectionChanged = false;
            resolvedRecord = record;
            module().SetPointers(*record, adopt);
            if (record->announce) return;
        }
        channelSelection.refresh();
        module().fillRecord();
    }

    // A literal on a binning input: "/<n>" sets `divisor` (the set is
    // recreated) and is consumed; any other text sets it back to 1.0.
    bool takeDivisorLiteral(const char* text, double& divisor) {
        if (text[0] != '/') {
            divisor = 1.0;
            return false;
        }
        if (histoinputs::takeDivisor(name, text, divisor)) CreateHistograms();
        return true;
    }

    // Adopts a property's label (the path when it has none) unless the
    // label was given by input.
    static void adoptLabel(const FlowProperty& property, const SelectedValue& selection, bool byInput,
                           std::string& label) {
        if (!byInput) label = property.label.empty() ? selection.path : property.label;
    }

    void CreateHistograms() {
        histograms.clear();
        grid.createSet(tree, name, name, [this](unsigned int, const std::string& suffix) {
            module().createHistogram(name + suffix, title + suffix);
        });
    }

    // Whether an object of `cells` cells may be created now.
    bool mayCreate(const std::string& objectName, long long cells) {
        return histoinputs::cellsAllowed(name, objectName, cells) && histogramFactory != nullptr;
    }

    // Appends a new object (null when the AIDA system made none) to the
    // set, with the axis titles.
    void keep(Histogram* histogram) {
        if (histogram != nullptr) aidaaccess::addAxisTitles(*histogram, xlabel, ylabel);
        histograms.push_back(histogram);
    }

    // The histogram of the channel in force; null for a channel outside the set.
    Histogram* channelHistogram() const {
        short c = *channelSelection.channelPointer;
        return c >= 0 && static_cast<size_t>(c) < histograms.size() ? histograms[c] : nullptr;
    }

    // Fills from the elements of a selected list: take(histogram, x) for
    // each element x with the histogram of its channel. With a channel
    // list, element i has the channel of entry i, and elements without an
    // entry are not filled.
    template <class Take> void fillElements(SelectedValue& selection, Take take) {
        ListView view;
        if (!selection.units(view)) return;
        if (!channelSelection.hasList()) {
            // Filling changes neither the channel nor the set: one histogram for all.
            Histogram* histogram = channelHistogram();
            selection.forEachDouble(*this, view, view.count,
                                    [&take, histogram](size_t, double x) { take(histogram, x); });
            return;
        }
        size_t count = std::min(view.count, channelSelection.listSize());
        selection.forEachDouble(*this, view, count, [this, &take](size_t i, double x) {
            channelSelection.pointAt(i);
            take(channelHistogram(), x);
        });
        channelSelection.rest();
    }

    // Fills from a selection: its elements as fillElements does in vector
    // mode, else its value through the internal output.
    template <class Take> void fillSelected(SelectedValue& selection, Take take) {
        if (selection.vectorMode)
            fillElements(selection, take);
        else
            selection.sendValue(*this);
    }

    void setXLabel(void* value) {
        if (!histoinputs::takeText(value, xlabel)) return;
        xlabelByInput = true;
        CreateHistograms();
    }

    ChannelGrid grid;
    ChannelSelection channelSelection;
    std::vector<Histogram*> histograms;
    AIDA::IHistogramFactory* histogramFactory;
    AIDA::ITree* tree;
    std::string title;
    std::string xlabel;
    std::string ylabel;
    bool xlabelByInput;

private:
    Module& module() { return static_cast<Module&>(*this); }

    void setTitle(void* value) {
        if (!aidaaccess::driverRunning(*this) && histoinputs::takeText(value, title)) CreateHistograms();
    }

    void setLabels(void* value) {
        grid.labels = *static_cast<std::vector<std::string>*>(value);
        CreateHistograms();
    }

    void setDimensions(void* value) {
        if (grid.takeDimensions(*static_cast<std::vector<int>*>(value), name)) CreateHistograms();
    }

    void setAddress(void* value) {
        channelSelection.channel = grid.setAddressDigits(*static_cast<std::vector<int>*>(value), name);
    }

    void setPath(void* value) { grid.setPath(tree, *static_cast<std::string*>(value), name, name); }

    RecordInput recordInput;
    Tavrel* resolvedRecord;
};

#endif
