#include <string>

#include "TkSay.h"

// Test driver that counts: Start sends 0, 1, ... steps-1 on "count" and
// then ends by itself.
class TkCount : public Corvane {
public:
    explicit TkCount(std::string& instanceName) : Corvane(nullptr, instanceName), steps(3) {
        outputs.push_back(Output("count", vorn_int, "the step number"));
        inputs.push_back(Input("steps", CORVANE_HANDLER(&TkCount::setSteps), vorn_int, "number of steps"));
        tkSay(name + " instantiated");
    }
    ~TkCount() override { tkSay(name + " deleted"); }

    void Start() override {
        running = true;
        for (int step = 0; step < steps && running; ++step) {
            tkSay(name + ": step " + std::to_string(step));
            SendOutput(0, &step);
        }
        running = false;
        tkSay(name + ": done");
    }

private:
    void setSteps(void* value) { steps = *static_cast<int*>(value); }
    int steps;
};

CORVANE_MODULE(TkCount)
