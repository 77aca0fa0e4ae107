#include <algorithm>
#include <iostream>
#include <string>
#include <vector>

#include "Corvane.h"

// Multiplex funnels the values of the inputs it creates into its one
// output. A value leaves unchanged, with the output retyped for that
// delivery to the type of the output that sent it (text for a literal
// value), so each receiver converts it as if it were connected to that
// sender itself.
//
// Threads: all calls on the thread that delivers.
class Multiplex : public Corvane {
public:
    explicit Multiplex(std::string& instanceName);
    ~Multiplex() override;

    // A literal value for a created input leaves as text, also while a
    // sender is connected to that input.
    void SetInput(int input, void* value) override;
    using Corvane::SetInput;

    // Replaces inputs 1... by one input of type any per name of the value
    // (a vector of strings); each sends its remembered literal text once.
    void createInputs(void* value);
    // Sends the value on "out" with the type of the sender of the input
    // being delivered; a value whose sender is not on record is dropped.
    void transmit(void* value);

private:
    // Retypes "out", sends the value and, when the send happens inside a
    // send of this same module (a loop in the flow), gives "out" back the
    // type of the outer send before that send goes on.
    void forward(vorn_type type, void* value);
};

namespace {

// The modules of this plug-in that are sending on this thread right now.
// Static TLS, as every plug-in's: it is unloaded at the end of a run.
__attribute__((tls_model("initial-exec"))) thread_local std::vector<const Multiplex*> sendingNow;

}  // namespace

Multiplex::Multiplex(std::string& instanceName) : Corvane(nullptr, "NoName") {
    name = instanceName;
    description = "\"Funnel\" several outputs to the same input";
    inputs.push_back(Corvane::Input("inputs", CORVANE_HANDLER(&Multiplex::createInputs), vorn_vector_string,
                                    "Inputs to create"));
    outputs.push_back(Corvane::Output("out", vorn_int, "Serialized signals"));
    std::cout << name << " instantiated" << std::endl;
}

Multiplex::~Multiplex() { std::cout << name << " deleted" << std::endl; }

void Multiplex::SetInput(int input, void* value) {
    if (input < 1 || static_cast<size_t>(input) >= inputs.size()) {
        Corvane::SetInput(input, value);
        return;
    }
    currentInput = input;
    forward(vorn_cstring, value);
}

void Multiplex::createInputs(void* value) {
    if (value == nullptr) return;
    Corvane::Input prototype("dummy", CORVANE_HANDLER(&Multiplex::transmit), vorn_any, "Input");
    replaceInputs(prototype, *static_cast<std::vector<std::string>*>(value), 1, 0);
}

void Multiplex::transmit(void* value) {
    if (currentInput < 1 || static_cast<size_t>(currentInput) >= inputs.size()) return;
    const Corvane::Input& input = inputs[currentInput];
    if (input.sender == nullptr) return;
    std::vector<Corvane::Output>& senderOutputs = *input.sender->GetOutputs();
    if (input.senderOutput >= senderOutputs.size()) return;
    forward(senderOutputs[input.senderOutput].type, value);
}

void Multiplex::forward(vorn_type type, void* value) {
    Corvane::Output& out = outputs[0];
    const vorn_type outerType = out.type;
    const bool nested = std::find(sendingNow.begin(), sendingNow.end(), this) != sendingNow.end();
    out.type = type;
    RefreshReceivers(0);
    sendingNow.push_back(this);
    SendOutput(0, value);
    sendingNow.pop_back();
    if (nested) {
        out.type = outerType;
        RefreshReceivers(0);
    }
}

CORVANE_MODULE(Multiplex)
