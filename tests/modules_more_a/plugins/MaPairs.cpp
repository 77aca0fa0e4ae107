#include <string>
#include <vector>

#include "Corvane.h"

// Test driver: its Start sends, for each position of "xs", the matching
// entry of "channels" (when there is one) on "channel", the x on "x" and
// the entry of "ys" (when there is one) on "y"; then an empty signal on
// "done".
class MaPairs : public Corvane {
public:
    explicit MaPairs(std::string& instanceName) : Corvane(nullptr, instanceName) {
        inputs.push_back(Input("xs", CORVANE_HANDLER(&MaPairs::setXs), vorn_vector_double, "x values"));
        inputs.push_back(Input("ys", CORVANE_HANDLER(&MaPairs::setYs), vorn_vector_double, "y values"));
        inputs.push_back(Input("channels", CORVANE_HANDLER(&MaPairs::setChannels), vorn_vector_int, "channels"));
        outputs.push_back(Output("x", vorn_double, "each x"));
        outputs.push_back(Output("y", vorn_double, "each y"));
        outputs.push_back(Output("channel", vorn_int, "the channel of each pair"));
        outputs.push_back(Output("done", vorn_any, "after the last pair"));
    }

    void Start() override {
        running = true;
        for (size_t i = 0; i < xs.size() && running; ++i) {
            if (i < channels.size()) SendOutput(2u, &channels[i]);
            SendOutput(0u, &xs[i]);
            if (i < ys.size()) SendOutput(1u, &ys[i]);
        }
        SendOutput(3u, nullptr);
        running = false;
    }

    void Stop() override { running = false; }

private:
    void setXs(void* value) { xs = *static_cast<std::vector<double>*>(value); }
    void setYs(void* value) { ys = *static_cast<std::vector<double>*>(value); }
    void setChannels(void* value) { channels = *static_cast<std::vector<int>*>(value); }

    std::vector<double> xs;
    std::vector<double> ys;
    std::vector<int> channels;
};

CORVANE_MODULE(MaPairs)
