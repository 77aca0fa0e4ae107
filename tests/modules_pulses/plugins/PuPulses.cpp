#include <string>
#include <vector>

#include "Corvane.h"
#include "TextNumbers.h"

// Test driver: its Start sends each word of "pulses" as one pulse on
// "pulse", the samples separated by ',' ("-" is an empty pulse), then an
// empty signal on "done".
class PuPulses : public Corvane {
public:
    explicit PuPulses(std::string& instanceName) : Corvane(nullptr, instanceName) {
        inputs.push_back(Input("pulses", CORVANE_HANDLER(&PuPulses::setPulses), vorn_vector_string, "pulses"));
        outputs.push_back(Output("pulse", vorn_vector_short, "each pulse"));
        outputs.push_back(Output("done", vorn_any, "after the last pulse"));
    }

    void Start() override {
        running = true;
        for (size_t i = 0; i < pulses.size() && running; ++i) {
            std::vector<short> samples = parse(pulses[i]);
            SendOutput(0u, &samples);
        }
        SendOutput(1u, nullptr);
        running = false;
    }

    void Stop() override { running = false; }

private:
    void setPulses(void* value) { pulses = *static_cast<std::vector<std::string>*>(value); }

    static std::vector<short> parse(const std::string& word) {
        std::vector<short> samples;
        if (word == "-") return samples;
        std::string::size_type begin = 0;
        while (begin <= word.size()) {
            std::string::size_type end = word.find(',', begin);
            if (end == std::string::npos) end = word.size();
            samples.push_back(static_cast<short>(vorn::parseInt(word.substr(begin, end - begin).c_str())));
            begin = end + 1;
        }
        return samples;
    }

    std::vector<std::string> pulses;
};

CORVANE_MODULE(PuPulses)
