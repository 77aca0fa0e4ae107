#include <unistd.h>

#include <string>

#include "TkSay.h"

// Test receiver: prints "begin <n>", waits "delay" microseconds (0 at
// first), then prints "end <n>" for every number on "value".
class TkShow : public Corvane {
public:
    explicit TkShow(std::string& instanceName) : Corvane(nullptr, instanceName), delay(0) {
        inputs.push_back(Input("value", CORVANE_HANDLER(&TkShow::show), vorn_int, "a number to show"));
        inputs.push_back(Input("delay", CORVANE_HANDLER(&TkShow::setDelay), vorn_int, "microseconds per value"));
        tkSay(name + " instantiated");
    }
    ~TkShow() override { tkSay(name + " deleted"); }

private:
    void show(void* value) {
        std::string number = std::to_string(*static_cast<int*>(value));
        tkSay(name + ": begin " + number);
        if (delay > 0) usleep(delay);
        tkSay(name + ": end " + number);
    }
    void setDelay(void* value) { delay = *static_cast<int*>(value); }
    int delay;
};

CORVANE_MODULE(TkShow)
