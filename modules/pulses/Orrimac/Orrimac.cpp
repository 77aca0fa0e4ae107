#include <iostream>
#include <string>
#include <vector>

#include "Corvane.h"
#include "RecordInput.h"
#include "Selectable.h"
#include "Tavrel.h"

// Finds three features of digitised pulses (16-bit samples): the extreme
// value above the pedestal, its sample position and the integral above
// the pedestal. A pulse comes on "signal", or from a property of the event
// records on "tavrel" (one pulse per channel for a list of pulses); in the
// second case the features are added to the record, one entry per pulse,
// and the record is sent on.
//
// Threads: built on the flow's creating thread, fed on the flow thread.
class Orrimac : public Corvane {
public:
    explicit Orrimac(std::string& instanceName);
    ~Orrimac() override;

    // Direct mode: the features go into the module's own record.
    void Init() override;
    // A literal text on "signal" selects the pulse property and is also
    // delivered as a pulse.
    using Corvane::SetInput;
    void SetInput(int index, void* value) override;

private:
    enum { kSignal = 0, kTavrel = 4 };

    void analyze(void* value);
    void setMaxLength(void* value);
    void setPedLength(void* value);
    void setInverse(void* value);
    void analyzeFe(void* value);

    // Gives `event` the three feature properties, pointing at this module's
    // storage; properties of those names are replaced.
    void addFeatures(Tavrel& event);
    void clearFeatures();
    void SetPointers(Tavrel& event);

    unsigned short maxLength;
    unsigned short pedLength;
    std::vector<double> maxMinPed;
    std::vector<double> intMinPed;
    std::vector<short> maxPos;
    SelectedValue signal;
    Tavrel ownEvent;
    // The record that receives the features and is sent: ownEvent in
    // direct mode, else the record resolved last.
    Tavrel* currentEvent;
    bool inverse;
    RecordInput recordInput;
};

Orrimac::Orrimac(std::string& instanceName)
    : Corvane(nullptr, "NoName"),
      maxLength(1000),
      pedLength(10),
      signal(kSignal, SelectedValue::kInnerLists),
      currentEvent(&ownEvent),
      inverse(false) {
    name = instanceName;
    description = "Analyze a pulse, given as a vector of shorts, for several key features";
    inputs.push_back(Input("signal", CORVANE_HANDLER(&Orrimac::analyze), vorn_vector_short,
                           "Signal to be analyzed (ushortV)"));
    inputs.push_back(Input("max_len", CORVANE_HANDLER(&Orrimac::setMaxLength), vorn_short,
                           "Search maximum up to this x"));
    inputs.push_back(Input("ped_len", CORVANE_HANDLER(&Orrimac::setPedLength), vorn_short,
                           "Average pedestal from x=0 to this x"));
    inputs.push_back(Input("inverse", CORVANE_HANDLER(&Orrimac::setInverse), vorn_short,
                           "set to \"1\" for negative signals"));
    inputs.push_back(Input("tavrel", CORVANE_HANDLER(&Orrimac::analyzeFe), vorn_tavrel, "Tavrel to be histo'd"));
    outputs.push_back(Output("fevent", vorn_tavrel, "Enriched Tavrel"));
    std::cout << name << " instantiated" << std::endl;
}

Orrimac::~Orrimac() { std::cout << "Orrimac weg" << std::endl; }

void Orrimac::Init() {
    currentEvent = &ownEvent;
    addFeatures(ownEvent);
}

void Orrimac::SetInput(int index, void* value) {
    if (index == kSignal) signal.select(*this, value != nullptr ? static_cast<const char*>(value) : "", false);
    Corvane::SetInput(index, value);
}

void Orrimac::addFeatures(Tavrel& event) {
    event["max_min_ped"] = FlowProperty(vorn_vector_double, FlowBinning(0, 0, 0), &maxMinPed);
    event["max_pos"] = FlowProperty(vorn_vector_short, FlowBinning(0, 0, 0), &maxPos);
    event["int_min_ped"] = FlowProperty(vorn_vector_double, FlowBinning(0, 0, 0), &intMinPed);
}

void Orrimac::clearFeatures() {
    maxMinPed.clear();
    maxPos.clear();
    intMinPed.clear();
}

void Orrimac::analyze(void* value) {
    const std::vector<short>& samples = *static_cast<std::vector<short>*>(value);
    bool direct = currentEvent == &ownEvent;
    // A pulse given directly replaces the previous results; in event mode
    // analyzeFe clears them once per record.
    if (direct) clearFeatures();
    double extreme = inverse ? 1e32 : 0.0;
    double pedestal = 0.0;
    double sum = 0.0;
    maxPos.push_back(0);
    for (size_t i = 0; i < samples.size(); ++i) {
        double s = static_cast<unsigned short>(samples[i]);
        if (i < pedLength) pedestal += s;
        sum += s;
        if (i < maxLength && (inverse ? s < extreme : s > extreme)) {
            extreme = s;
            maxPos.back() = static_cast<short>(i);
        }
    }
    if (pedLength != 0) pedestal /= pedLength;
    maxMinPed.push_back(extreme - pedestal);
    intMinPed.push_back(sum - static_cast<double>(samples.size()) * pedestal);
    if (direct) SendOutput(0u, static_cast<stringstore*>(&ownEvent));
}

void Orrimac::setMaxLength(void* value) {
    maxLength = static_cast<unsigned short>(*static_cast<short*>(value));
    std::cout << maxLength << std::endl;
}

void Orrimac::setPedLength(void* value) {
    pedLength = static_cast<unsigned short>(*static_cast<short*>(value));
    std::cout << pedLength << std::endl;
}

void Orrimac::setInverse(void* value) { inverse = *static_cast<short*>(value) != 0; }

void Orrimac::analyzeFe(void* value) {
    Tavrel* record = recordInput.accept(*this, value);
    if (record == nullptr) return;
    // Pointers into a record are valid for that record only: a new record
    // object, an announcement or a new selection resolves them again.
    if (connectionChanged || record->announce || record != currentEvent) {
        connectionChanged = false;
        currentEvent = record;
        addFeatures(*record);
        SetPointers(*record);
    }
    clearFeatures();
    if (signal.vectorMode) {
        ListView view;
        if (signal.units(view)) signal.sendUnits(*this, view, view.count, [](size_t) {});
    } else {
        signal.sendValue(*this);
    }
    SendOutput(0u, static_cast<stringstore*>(currentEvent));
}

void Orrimac::SetPointers(Tavrel& event) { signal.resolve(*this, event); }

CORVANE_MODULE(Orrimac)
