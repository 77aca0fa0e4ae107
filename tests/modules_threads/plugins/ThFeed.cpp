#include <iostream>
#include <string>

#include "Corvane.h"

// Test driver that lets a test pace a flow: Start sends each line of
// standard input (without its line feed) on "line" until the input ends.
class ThFeed : public Corvane {
public:
    explicit ThFeed(std::string& instanceName) : Corvane(nullptr, instanceName) {
        outputs.push_back(Output("line", vorn_string, "one line of standard input"));
    }

    void Start() override {
        running = true;
        std::string line;
        while (running && std::getline(std::cin, line)) SendOutput(0, &line);
        running = false;
    }

    void Stop() override { running = false; }
};

CORVANE_MODULE(ThFeed)
