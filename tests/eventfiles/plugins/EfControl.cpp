#include <iostream>
#include <string>
#include <vector>

#include "Corvane.h"
#include "Mesgrave.h"

// Test driver that runs a script against the other instances of its flow,
// so that one torvask run can start a driver several times, reset it or
// give it new input values in between. The words of "script", in order:
//   start:<instance>                  Start() of that instance
//   reset:<instance>                  Reset()
//   set:<instance>:<input>:<text>     SetInput(input, text); the text may be empty
//   mark:<text>                       prints "mark <text>"
class EfControl : public Corvane {
public:
    explicit EfControl(std::string& instanceName) : Corvane(nullptr, "NoName") {
        name = instanceName;
        description = "Runs a script of starts, resets and input values";
        inputs.push_back(Input("script", CORVANE_HANDLER(&EfControl::setScript), vorn_vector_string, "actions"));
    }

    void Start() override {
        running = true;
        for (const std::string& action : script) run(action);
        running = false;
    }

private:
    void setScript(void* value) { script = *static_cast<std::vector<std::string>*>(value); }

    void run(const std::string& action) {
        size_t colon = action.find(':');
        std::string verb = action.substr(0, colon);
        std::string rest = colon == std::string::npos ? "" : action.substr(colon + 1);
        if (verb == "mark") {
            std::cout << "mark " << rest << std::endl;
            return;
        }
        size_t end = rest.find(':');
        Corvane* target = GetManager()->findObject(rest.substr(0, end));
        if (target == nullptr) {
            std::cout << name << ": no instance for " << action << std::endl;
        } else if (verb == "start") {
            target->Start();
        } else if (verb == "reset") {
            target->Reset();
        } else if (verb == "set" && end != std::string::npos) {
            size_t textAt = rest.find(':', end + 1);
            std::string input = rest.substr(end + 1, textAt == std::string::npos ? std::string::npos : textAt - end - 1);
            std::string text = textAt == std::string::npos ? "" : rest.substr(textAt + 1);
            target->SetInput(input, &text[0]);
        } else {
            std::cout << name << ": cannot run " << action << std::endl;
        }
    }

    std::vector<std::string> script;
};

CORVANE_MODULE(EfControl)
