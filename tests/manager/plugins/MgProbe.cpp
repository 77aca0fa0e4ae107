#include <iostream>
#include <string>

#include "MgEntryPoints.h"
#include "Mesgrave.h"
#include "pluginHandle.h"

// Test module that reports on standard output every literal value, new
// receiver, reset and start, so that tests see the order in which the
// manager drives its instances. Three inputs, one output.
class MgProbe : public Corvane {
public:
    explicit MgProbe(std::string& instanceName) : Corvane(nullptr, "NoName") {
        name = instanceName;
        description = "Reports what the manager does to it";
        outputs.push_back(Output("out", vorn_cstring, "the text tick, sent at Start"));
        inputs.push_back(Input("text", CORVANE_HANDLER(&MgProbe::setText), vorn_cstring, "any text"));
        inputs.push_back(Input("count", CORVANE_HANDLER(&MgProbe::setCount), vorn_int, "a number"));
        inputs.push_back(Input("steps", CORVANE_HANDLER(&MgProbe::setSteps), vorn_int, "a number"));
        std::cout << name << " instantiated" << std::endl;
    }
    ~MgProbe() override { std::cout << name << " deleted" << std::endl; }

    // Shows what is set up when Init runs: the handle, the manager and the
    // instances already listed.
    void Init() override {
        std::cout << name << " initialized by " << GetHandle()->name << ", " << GetManager()->instances.size()
                  << " listed" << std::endl;
    }
    void Reset() override { std::cout << name << ": reset" << std::endl; }

    using Corvane::AddReceiver;
    void AddReceiver(int output, Corvane* receiver, int input) override {
        std::cout << name << ": connect " << output << " to " << receiver->GetName() << " " << input << std::endl;
        Corvane::AddReceiver(output, receiver, input);
    }

    // Runs until stopped: sends one tick and leaves the running flag set.
    void Start() override {
        running = true;
        std::cout << name << ": Start" << std::endl;
        SendOutput(0, const_cast<char*>("tick"));
    }

private:
    void setText(void* value) { std::cout << name << ": text \"" << static_cast<char*>(value) << "\"" << std::endl; }
    void setCount(void* value) { std::cout << name << ": count " << *static_cast<int*>(value) << std::endl; }
    void setSteps(void* value) { std::cout << name << ": steps " << *static_cast<int*>(value) << std::endl; }
};

MG_TEST_MODULE(MgProbe)
