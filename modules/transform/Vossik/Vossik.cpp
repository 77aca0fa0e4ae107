#include <iostream>
#include <string>
#include <vector>

#include "Announce.h"
#include "Corvane.h"
#include "Tavrel.h"

// Builds an event record of formula properties from definitions given on
// inputs that it creates at run time, one per name of the list on input
// "inputs", and announces the record: to every receiver whenever a formula
// is given, and to each receiver alone when it connects.
//
// Threads: built on the flow's creating thread, fed on the flow thread.
class Vossik : public Corvane {
public:
    explicit Vossik(std::string& instanceName);
    ~Vossik() override;

    using Corvane::AddReceiver;
    // Connects, then announces the record to the new receiver alone; an
    // out-of-range output or input connects and announces nothing.
    void AddReceiver(int output, Corvane* receiver, int input) override;

private:
    void createInputs(void* value);
    void setFormula(void* value);

    Tavrel ownEvent;
};

Vossik::Vossik(std::string& instanceName) : Corvane(nullptr, "NoName") {
    name = instanceName;
    description = "Generate Tavrel by formulas";
    inputs.push_back(Input("inputs", CORVANE_HANDLER(&Vossik::createInputs), vorn_vector_string, "Inputs to create"));
    outputs.push_back(Output("Tavrel", vorn_tavrel, "Output of the newly created Tavrel."));
    std::cout << name << " instantiated" << std::endl;
}

Vossik::~Vossik() { std::cout << name << " deleted" << std::endl; }

void Vossik::AddReceiver(int output, Corvane* receiver, int input) {
    Corvane::AddReceiver(output, receiver, input);
    int slot = announcement::connectionSlot(*this, output, receiver, input);
    if (slot >= 0) announcement::sendToConnection(*this, output, static_cast<size_t>(slot), ownEvent);
}

void Vossik::createInputs(void* value) {
    // A copy: the handlers of the new inputs may change what the sender holds.
    std::vector<std::string> names = *static_cast<std::vector<std::string>*>(value);
    replaceInputs(Input("dummy", CORVANE_HANDLER(&Vossik::setFormula), vorn_string, "Input"), names, 1, 0);
}

void Vossik::setFormula(void* value) {
    // Every text is a definition, an empty one too: the record reports what
    // it cannot add and is announced all the same.
    ownEvent.ParseFormula(*static_cast<std::string*>(value));
    announcement::sendToAll(*this, 0u, ownEvent);
}

CORVANE_MODULE(Vossik)
