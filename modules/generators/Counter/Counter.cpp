#include <iostream>
#include <string>

#include "Corvane.h"

// Counter counts the triggers it receives and sends the count before each
// increase, optionally only when the count is a multiple of `skip`.
//
// Threads: all calls on the flow thread.
class Counter : public Corvane {
public:
    explicit Counter(std::string& instanceName);
    ~Counter() override;

    // count = start.
    void Reset() override;

    // start = the int value, then Reset.
    void setValue(void* value);
    // Send only counts that are multiples of the value; 0 sends every count.
    void setSkip(void* value);
    // Sends the count when due, then counts on (wrapping); the value is not read.
    void step(void* value);

    unsigned int count;
    unsigned int skip;
    unsigned int start;
};

Counter::Counter(std::string& instanceName) : Corvane(nullptr, "NoName"), count(0), skip(0), start(0) {
    name = instanceName;
    description = "Counter for arbitrary inputs";
    inputs.push_back(Corvane::Input("value", CORVANE_HANDLER(&Counter::setValue), vorn_int,
                                    "Number to start counting from"));
    inputs.push_back(Corvane::Input("skip", CORVANE_HANDLER(&Counter::setSkip), vorn_int,
                                    "Only output every Xth count."));
    inputs.push_back(Corvane::Input("step", CORVANE_HANDLER(&Counter::step), vorn_any, "Anything to be counted"));
    outputs.push_back(Corvane::Output("count", vorn_int, "Value of the counter"));
    std::cout << name << " instantiated" << std::endl;
}

Counter::~Counter() { std::cout << name << " deleted" << std::endl; }

void Counter::Reset() { count = start; }

void Counter::setValue(void* value) {
    if (value == nullptr) return;
    start = static_cast<unsigned int>(*static_cast<int*>(value));
    Reset();
}

void Counter::setSkip(void* value) {
    if (value != nullptr) skip = static_cast<unsigned int>(*static_cast<int*>(value));
}

void Counter::step(void*) {
    if (skip == 0 || count % skip == 0) SendOutput(0, &count);
    ++count;
}

CORVANE_MODULE(Counter)
