#include <iostream>
#include <string>
#include <vector>

#include "Corvane.h"

// Vectorize collects one integer per input it creates and sends them all as
// a vector whenever the last of those inputs receives a value.
//
// Threads: all calls on the thread that delivers.
class Vectorize : public Corvane {
public:
    explicit Vectorize(std::string& instanceName);
    ~Vectorize() override;

    // Replaces inputs 1... by one int input per name of the value (a vector
    // of strings); every collected value starts again from 0.
    void createInputs(void* value);
    // Keeps the int for the input being delivered; the last input sends.
    void readInput(void* value);

    std::vector<int> values;
};

Vectorize::Vectorize(std::string& instanceName) : Corvane(nullptr, "NoName") {
    name = instanceName;
    description = "Produce a vector from several numbers or strings";
    inputs.push_back(Corvane::Input("inputs", CORVANE_HANDLER(&Vectorize::createInputs), vorn_vector_string,
                                    "Inputs to create"));
    outputs.push_back(Corvane::Output("out", vorn_vector_int, "Vector of data"));
    std::cout << name << " instantiated" << std::endl;
}

Vectorize::~Vectorize() { std::cout << name << " deleted" << std::endl; }

void Vectorize::createInputs(void* value) {
    if (value == nullptr) return;
    std::vector<std::string>& names = *static_cast<std::vector<std::string>*>(value);
    Corvane::Input prototype("dummy", CORVANE_HANDLER(&Vectorize::readInput), vorn_int, "Input");
    replaceInputs(prototype, names, 1, 0);
    values.assign(names.size(), 0);
}

void Vectorize::readInput(void* value) {
    // The texts that a replacement hands the new inputs would land in the
    // old set of values, which is reset right after, and could send it.
    if (value == nullptr || replacingInputs) return;
    const size_t k = static_cast<size_t>(currentInput);
    if (k < 1 || k > values.size()) return;
    values[k - 1] = *static_cast<int*>(value);
    if (k == values.size()) SendOutput(0, &values);
}

CORVANE_MODULE(Vectorize)
