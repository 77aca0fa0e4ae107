#include <algorithm>
#include <string>
#include <vector>

#include "Corvane.h"
#include "TextNumbers.h"

// Test driver: its Start runs through steps i = 0, 1, ... and on each sends
// entry i of "channels" on "channel", of "ys" on "y", of "xs" on "x" and
// pulse i of "pulses" on "pulse", each where there is one; then an empty
// signal on "done". Pulses are numbers separated by blanks, the pulses
// separated by ';' (so "1 2; 3" is two pulses).
class PlDrive : public Corvane {
public:
    explicit PlDrive(std::string& instanceName) : Corvane(nullptr, instanceName) {
        inputs.push_back(Input("pulses", CORVANE_HANDLER(&PlDrive::setPulses), vorn_string, "pulses"));
        inputs.push_back(Input("xs", CORVANE_HANDLER(&PlDrive::setXs), vorn_vector_double, "x values"));
        inputs.push_back(Input("ys", CORVANE_HANDLER(&PlDrive::setYs), vorn_vector_double, "y values"));
        inputs.push_back(Input("channels", CORVANE_HANDLER(&PlDrive::setChannels), vorn_vector_int, "channels"));
        outputs.push_back(Output("channel", vorn_short, "channel of the step"));
        outputs.push_back(Output("y", vorn_double, "y of the step"));
        outputs.push_back(Output("x", vorn_double, "x of the step"));
        outputs.push_back(Output("pulse", vorn_vector_double, "pulse of the step"));
        outputs.push_back(Output("done", vorn_any, "after the last step"));
    }

    void Start() override {
        running = true;
        size_t steps = std::max(std::max(pulses.size(), xs.size()), std::max(ys.size(), channels.size()));
        for (size_t i = 0; i < steps && running; ++i) {
            if (i < channels.size()) {
                short channel = static_cast<short>(channels[i]);
                SendOutput(0u, &channel);
            }
            if (i < ys.size()) SendOutput(1u, &ys[i]);
            if (i < xs.size()) SendOutput(2u, &xs[i]);
            if (i < pulses.size()) SendOutput(3u, &pulses[i]);
        }
        SendOutput(4u, nullptr);
        running = false;
    }

    void Stop() override { running = false; }

private:
    void setPulses(void* value) {
        pulses.clear();
        std::string text = *static_cast<std::string*>(value) + ";";
        std::vector<double> pulse;
        std::string word;
        for (char c : text) {
            if (c == ' ' || c == ';') {
                if (!word.empty()) pulse.push_back(vorn::parseDouble(word.c_str()));
                word.clear();
                if (c == ';') {
                    pulses.push_back(pulse);
                    pulse.clear();
                }
            } else {
                word += c;
            }
        }
    }
    void setXs(void* value) { xs = *static_cast<std::vector<double>*>(value); }
    void setYs(void* value) { ys = *static_cast<std::vector<double>*>(value); }
    void setChannels(void* value) { channels = *static_cast<std::vector<int>*>(value); }

    std::vector<std::vector<double> > pulses;
    std::vector<double> xs;
    std::vector<double> ys;
    std::vector<int> channels;
};

CORVANE_MODULE(PlDrive)
