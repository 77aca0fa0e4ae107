#include <iostream>
#include <string>

#include "Corvane.h"
#include "RecordInput.h"
#include "Tavrel.h"

// Takes one property (a property path) out of each event record and sends
// its value as a plain port value, so that modules without record inputs
// can use it. The output takes the property's type.
//
// The property is looked up again after a new sender or property name, on
// every announcement and whenever another record object arrives; until it
// is found nothing is sent, so no pointer into a record outlives the
// property it was taken from.
//
// Threads: built on the flow's creating thread, fed on the flow thread.
class Nandrel : public Corvane {
public:
    explicit Nandrel(std::string& instanceName);
    ~Nandrel() override;

private:
    void selectProp(void* value);
    void processEvent(void* value);

    // Takes the property from `event` and retypes the output to it; false,
    // with a message, when the event has no such property.
    bool resolve(Tavrel& event);

    std::string propertyName;
    void* valuePointer;
    // The record the property was last looked up in, and its formula.
    Tavrel* resolvedEvent;
    formulaParser* valueFormula;
    RecordInput recordInput;
};

Nandrel::Nandrel(std::string& instanceName)
    : Corvane(nullptr, "NoName"), valuePointer(nullptr), resolvedEvent(nullptr), valueFormula(nullptr) {
    name = instanceName;
    description = "Extract data from Tavrels";
    inputs.push_back(Input("fevent", CORVANE_HANDLER(&Nandrel::processEvent), vorn_any, "Tavrel to take apart"));
    inputs.push_back(Input("property", CORVANE_HANDLER(&Nandrel::selectProp), vorn_string, "Select property"));
    outputs.push_back(Output("output", vorn_int, "out"));
    std::cout << name << " instantiated" << std::endl;
}

Nandrel::~Nandrel() { std::cout << name << " deleted" << std::endl; }

void Nandrel::selectProp(void* value) {
    propertyName = *static_cast<std::string*>(value);
    connectionChanged = true;
}

void Nandrel::processEvent(void* value) {
    // An input of type any hands literal texts on as they are; only a
    // sender can deliver a record. Each literal is refused with its own
    // line, apart from the record input's runs.
    if (inputs[0].sender == nullptr && value != nullptr) {
        RecordInput::printRefusal(*this, vorn_cstring);
        return;
    }
    Tavrel* event = recordInput.accept(*this, value);
    if (event == nullptr) return;
    if (connectionChanged || event->announce || event != resolvedEvent) {
        if (!resolve(*event)) return;
    }
    // An announcement carries types, not values: there is nothing to send.
    if (event->announce) return;
    if (valueFormula != nullptr) valueFormula->eval();
    SendOutput(0u, valuePointer);
}

bool Nandrel::resolve(Tavrel& event) {
    resolvedEvent = &event;
    valuePointer = nullptr;
    valueFormula = nullptr;
    connectionChanged = true;
    FlowProperty* property = event.GetProperty(propertyName);
    if (property == nullptr) {
        std::cout << name << ": Unknown property " << propertyName << std::endl;
        return false;
    }
    valuePointer = property->value;
    valueFormula = property->formula;
    if (outputs[0].type != property->type) {
        outputs[0].type = property->type;
        RefreshReceivers(0);
    }
    connectionChanged = false;
    return true;
}

CORVANE_MODULE(Nandrel)
