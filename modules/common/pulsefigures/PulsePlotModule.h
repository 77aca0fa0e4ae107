#ifndef ZARN_MODULES_COMMON_PULSEFIGURES_PULSEPLOTMODULE_H
#define ZARN_MODULES_COMMON_PULSEFIGURES_PULSEPLOTMODULE_H

#include <iostream>
#include <string>
#include <vector>

#include "AIDA/IAnalysisFactory.h"
#include "AIDA/IPlotter.h"
#include "AIDA/IPlotterRegion.h"
#include "AIDA/ITree.h"
#include "AidaAccess.h"
#include "Corvane.h"
#include "PulsePlot.h"
#include "SignalViewer.h"

// The base of the pulse plot modules: a module with the twelve pulse plot
// inputs whose set holds one AIDA object of type Object per channel, made
// by a Factory that the module owns, and plotted in the "SignalViewer".
// The base does the bookkeeping: Init, Reset, the selection texts, the
// handlers of the title, labels, grid, channel, info and path inputs, and
// the destructor. A module gives its factory, how one object of a new set
// is made, and how a pulse is drawn.
//
// Threads: built on the flow's creating thread, fed on the flow thread.
template <class Object, class Factory>
class PulsePlotModule : public Corvane {
public:
    // Moves the set to the trash, deletes the factory, says "<name> deleted".
    ~PulsePlotModule() override;

    // Opens the tree, the factory and the viewer, creates the first set of
    // one object and plots it; stops early, without "<name> initialized.",
    // when any of them is missing.
    void Init() override;
    // Recreates the set unless the driver is running, and resolves the
    // selected properties again at the next record.
    void Reset() override;
    // Literal texts for "signal", "fw_values" and "channel" select
    // properties (or a fixed channel) and are then delivered as values.
    using Corvane::SetInput;
    void SetInput(int index, void* value) override;

protected:
    // `noun` (the module's kind) names the objects in the help texts; with
    // `printSelected` every selection text prints "<text> selected.".
    PulsePlotModule(std::string& instanceName, bool printSelected, const std::string& noun);

    // The module's factory on `tree`, or null.
    virtual Factory* createFactory(AIDA::IAnalysisFactory& factory, AIDA::ITree& tree) = 0;
    // The object of a new set whose name ends in `suffix` (the factory exists).
    virtual Object* createObject(const std::string& suffix) = 0;
    // Input "signal": one pulse for the current channel.
    virtual void plot(void* value) = 0;

    // Replaces the set by a new one of the grid's size.
    void CreateHistograms();
    // The object of the current channel; null for a channel outside the
    // set and where the AIDA system made none.
    Object* currentObject() const;

    PulsePlot pulsePlot;
    std::vector<Object*> histograms;
    Factory* histogramFactory;

private:
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

    AIDA::IPlotterRegion* region;
    AIDA::IPlotter* plotter;
    AIDA::ITree* tree;
};

template <class Object, class Factory>
PulsePlotModule<Object, Factory>::PulsePlotModule(std::string& instanceName, bool printSelected,
                                                  const std::string& noun)
    : Corvane(nullptr, instanceName),
      pulsePlot(instanceName, printSelected),
      histogramFactory(nullptr),
      region(nullptr),
      plotter(nullptr),
      tree(nullptr) {
    addPulsePlotInputs(
        inputs,
        {CORVANE_HANDLER(&PulsePlotModule::plot), CORVANE_HANDLER(&PulsePlotModule::setXLabel),
         CORVANE_HANDLER(&PulsePlotModule::setYLabel), CORVANE_HANDLER(&PulsePlotModule::setTitle),
         CORVANE_HANDLER(&PulsePlotModule::plotFe), CORVANE_HANDLER(&PulsePlotModule::setLabels),
         CORVANE_HANDLER(&PulsePlotModule::setDimensions), CORVANE_HANDLER(&PulsePlotModule::setAddress),
         CORVANE_HANDLER(&PulsePlotModule::setChannel), CORVANE_HANDLER(&PulsePlotModule::setFWValues),
         CORVANE_HANDLER(&PulsePlotModule::setInfos), CORVANE_HANDLER(&PulsePlotModule::setPath)},
        noun);
    std::cout << name << " instantiated" << std::endl;
}

template <class Object, class Factory>
PulsePlotModule<Object, Factory>::~PulsePlotModule() {
    pulsePlot.grid.trashSet(tree, name);
    delete histogramFactory;
    std::cout << name << " deleted" << std::endl;
}

template <class Object, class Factory>
void PulsePlotModule<Object, Factory>::Init() {
    AIDA::IAnalysisFactory* factory = aidaaccess::openTreeAt(*this, pulsePlot.grid.path, tree);
    if (factory == nullptr) return;
    histogramFactory = createFactory(*factory, *tree);
    if (histogramFactory == nullptr) return;
    if (!openSignalViewer(*factory, plotter, region)) return;
    pulsePlot.initialize();
    Reset();
    if (region != nullptr && !histograms.empty() && histograms[0] != nullptr) region->plot(*histograms[0], "");
    std::cout << name << " initialized." << std::endl;
}

template <class Object, class Factory>
void PulsePlotModule<Object, Factory>::Reset() {
    if (aidaaccess::driverRunning(*this)) return;
    CreateHistograms();
    connectionChanged = true;
}

template <class Object, class Factory>
void PulsePlotModule<Object, Factory>::SetInput(int index, void* value) {
    pulsePlot.select(*this, index, static_cast<const char*>(value));
    Corvane::SetInput(index, value);
}

template <class Object, class Factory>
void PulsePlotModule<Object, Factory>::CreateHistograms() {
    histograms.clear();
    pulsePlot.grid.createSet(tree, name, pulsePlot.title, [this](unsigned int, const std::string& suffix) {
        histograms.push_back(histogramFactory != nullptr ? createObject(suffix) : nullptr);
    });
}

template <class Object, class Factory>
Object* PulsePlotModule<Object, Factory>::currentObject() const {
    short c = pulsePlot.channel();
    if (c < 0 || static_cast<size_t>(c) >= histograms.size()) return nullptr;
    return histograms[c];
}

template <class Object, class Factory>
void PulsePlotModule<Object, Factory>::plotFe(void* value) {
    pulsePlot.takeRecord(*this, value);
}

template <class Object, class Factory>
void PulsePlotModule<Object, Factory>::setXLabel(void* value) {
    if (pulsePlot.setXLabel(*static_cast<std::string*>(value))) CreateHistograms();
}

template <class Object, class Factory>
void PulsePlotModule<Object, Factory>::setYLabel(void* value) {
    if (pulsePlot.setYLabel(*static_cast<std::string*>(value))) CreateHistograms();
}

template <class Object, class Factory>
void PulsePlotModule<Object, Factory>::setTitle(void* value) {
    if (pulsePlot.setTitle(*this, *static_cast<std::string*>(value))) CreateHistograms();
}

template <class Object, class Factory>
void PulsePlotModule<Object, Factory>::setLabels(void* value) {
    pulsePlot.grid.labels = *static_cast<std::vector<std::string>*>(value);
    CreateHistograms();
}

template <class Object, class Factory>
void PulsePlotModule<Object, Factory>::setDimensions(void* value) {
    if (pulsePlot.setDimensions(*static_cast<std::vector<int>*>(value), name)) CreateHistograms();
}

template <class Object, class Factory>
void PulsePlotModule<Object, Factory>::setAddress(void* value) {
    pulsePlot.setAddress(*static_cast<std::vector<int>*>(value), name);
}

template <class Object, class Factory>
void PulsePlotModule<Object, Factory>::setChannel(void* value) {
    pulsePlot.setChannel(*static_cast<short*>(value));
}

template <class Object, class Factory>
void PulsePlotModule<Object, Factory>::setFWValues(void* value) {
    pulsePlot.fwValues = *static_cast<std::vector<double>*>(value);
}

// New info labels take effect in a new set.
template <class Object, class Factory>
void PulsePlotModule<Object, Factory>::setInfos(void* value) {
    pulsePlot.setInfos(static_cast<const char*>(value));
    CreateHistograms();
}

template <class Object, class Factory>
void PulsePlotModule<Object, Factory>::setPath(void* value) {
    pulsePlot.grid.setPath(tree, *static_cast<std::string*>(value), name, name);
}

#endif
