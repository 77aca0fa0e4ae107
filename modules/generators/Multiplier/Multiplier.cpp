#include <iostream>
#include <string>

#include "Corvane.h"

// Multiplier multiplies each incoming number by a factor and sends the
// product.
//
// Threads: all calls on the flow thread.
class Multiplier : public Corvane {
public:
    explicit Multiplier(std::string& instanceName);
    ~Multiplier() override;

    // Input handlers, given doubles. calc sends the value times factor.
    void calc(void* value);
    void setFac(void* value);
    // setFac when `which` is not 0, else calc.
    void CallFunction(unsigned int which, void* value);

    double factor;
    double product;
};

Multiplier::Multiplier(std::string& instanceName) : Corvane(nullptr, "NoName"), factor(1.0), product(0.0) {
    name = instanceName;
    description = "Multiply by a factor";
    inputs.push_back(Corvane::Input("number", CORVANE_HANDLER(&Multiplier::calc), vorn_double, "Number to multiply"));
    inputs.push_back(Corvane::Input("factor", CORVANE_HANDLER(&Multiplier::setFac), vorn_double,
                                    "Factor to multiply with"));
    outputs.push_back(Corvane::Output("product", vorn_double, "Obvious, surely?"));
    std::cout << name << " instantiated" << std::endl;
}

Multiplier::~Multiplier() { std::cout << "Multiplier weg" << std::endl; }

void Multiplier::calc(void* value) {
    if (value == nullptr) return;
    product = *static_cast<double*>(value) * factor;
    SendOutput(0, &product);
}

void Multiplier::setFac(void* value) {
    if (value != nullptr) factor = *static_cast<double*>(value);
}

void Multiplier::CallFunction(unsigned int which, void* value) {
    if (which != 0)
        setFac(value);
    else
        calc(value);
}

CORVANE_MODULE(Multiplier)
