#include <iostream>
#include <string>
#include <vector>

#include "Corvane.h"

// Test driver: its Start sends each number of "values" on "value", after
// the matching entry of "channels" (when there is one) on "channel" and
// the number as an untyped pointer on "raw"; then an empty signal on
// "done".
class AnValues : public Corvane {
public:
    explicit AnValues(std::string& instanceName) : Corvane(nullptr, instanceName) {
        inputs.push_back(Input("values", CORVANE_HANDLER(&AnValues::setValues), vorn_vector_double, "numbers"));
        inputs.push_back(Input("channels", CORVANE_HANDLER(&AnValues::setChannels), vorn_vector_int, "channels"));
        outputs.push_back(Output("value", vorn_double, "each number"));
        outputs.push_back(Output("channel", vorn_short, "its channel"));
        outputs.push_back(Output("raw", vorn_any, "each number, untyped"));
        outputs.push_back(Output("done", vorn_any, "after the last number"));
    }

    void Start() override {
        running = true;
        for (size_t i = 0; i < values.size() && running; ++i) {
            if (i < channels.size()) {
                short channel = static_cast<short>(channels[i]);
                SendOutput(1u, &channel);
            }
            SendOutput(0u, &values[i]);
            SendOutput(2u, &values[i]);
        }
        SendOutput(3u, nullptr);
        running = false;
    }

    void Stop() override { running = false; }

private:
    void setValues(void* value) { values = *static_cast<std::vector<double>*>(value); }
    void setChannels(void* value) { channels = *static_cast<std::vector<int>*>(value); }

    std::vector<double> values;
    std::vector<int> channels;
};

CORVANE_MODULE(AnValues)
