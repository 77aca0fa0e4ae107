#include <iostream>
#include <string>
#include <vector>

#include "Corvane.h"
#include "Mesgrave.h"
#include "TextNumbers.h"

// A test sink that prints every value it gets as "<name> <input>: <value>",
// one input per port type, so a test sees which type a value arrived as.
// Its input "stop" stops the manager's driver.
class RtProbe : public Corvane {
public:
    explicit RtProbe(std::string& instanceName);

    void showText(void* value);
    void showInt(void* value);
    void showReal(void* value);
    void showSignal(void* value);
    void showInts(void* value);
    void stopDriver(void* value);

private:
    void show(const std::string& text);
};

RtProbe::RtProbe(std::string& instanceName) : Corvane(nullptr, "NoName") {
    name = instanceName;
    inputs.push_back(Corvane::Input("text", CORVANE_HANDLER(&RtProbe::showText), vorn_string, "string"));
    inputs.push_back(Corvane::Input("int", CORVANE_HANDLER(&RtProbe::showInt), vorn_int, "int"));
    inputs.push_back(Corvane::Input("real", CORVANE_HANDLER(&RtProbe::showReal), vorn_double, "double"));
    inputs.push_back(Corvane::Input("signal", CORVANE_HANDLER(&RtProbe::showSignal), vorn_any, "any"));
    inputs.push_back(Corvane::Input("ints", CORVANE_HANDLER(&RtProbe::showInts), vorn_vector_int, "ints"));
    inputs.push_back(Corvane::Input("stop", CORVANE_HANDLER(&RtProbe::stopDriver), vorn_any, "stops"));
}

void RtProbe::showText(void* value) { show("text: " + *static_cast<std::string*>(value)); }

void RtProbe::showInt(void* value) { show("int: " + vorn::toText(*static_cast<int*>(value))); }

void RtProbe::showReal(void* value) { show("real: " + vorn::toText(*static_cast<double*>(value))); }

void RtProbe::showSignal(void* value) { show(value == nullptr ? "signal: null" : "signal: set"); }

void RtProbe::showInts(void* value) {
    std::string text = "ints: [";
    const std::vector<int>& values = *static_cast<std::vector<int>*>(value);
    for (size_t i = 0; i < values.size(); ++i) text += (i == 0 ? "" : ", ") + vorn::toText(values[i]);
    show(text + "]");
}

void RtProbe::stopDriver(void*) {
    show("stop");
    if (GetManager() != nullptr) GetManager()->Stop();
}

void RtProbe::show(const std::string& text) { std::cout << name + " " + text + "\n" << std::flush; }

CORVANE_MODULE(RtProbe)
