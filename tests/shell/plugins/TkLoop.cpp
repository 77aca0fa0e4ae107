#include <unistd.h>

#include <string>

#include "TkSay.h"

// Test driver that never ends by itself: Start sends 0, 1, 2, ... on
// "count", one step about every 200 microseconds, until Stop.
class TkLoop : public Corvane {
public:
    explicit TkLoop(std::string& instanceName) : Corvane(nullptr, instanceName) {
        outputs.push_back(Output("count", vorn_int, "the step number"));
        tkSay(name + " instantiated");
    }
    ~TkLoop() override { tkSay(name + " deleted"); }

    void Start() override {
        running = true;
        tkSay(name + ": started");
        for (int step = 0; running; ++step) {
            SendOutput(0, &step);
            usleep(200);
        }
        tkSay(name + ": stopped");
    }

    // Says so before the loop can see the flag and end.
    void Stop() override {
        tkSay(name + ": stop requested");
        running = false;
    }
};

CORVANE_MODULE(TkLoop)
