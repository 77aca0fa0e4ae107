#include <iostream>
#include <string>

#include "Corvane.h"
#include "Mesgrave.h"

// Test helper: any value on "at" calls Reset() of the instance named on
// "target".
class PuReset : public Corvane {
public:
    explicit PuReset(std::string& instanceName) : Corvane(nullptr, instanceName) {
        inputs.push_back(Input("target", CORVANE_HANDLER(&PuReset::setTarget), vorn_string, "instance"));
        inputs.push_back(Input("at", CORVANE_HANDLER(&PuReset::resetNow), vorn_any, "reset now"));
    }

private:
    void setTarget(void* value) { target = *static_cast<std::string*>(value); }

    void resetNow(void*) {
        Corvane* instance = GetManager() != nullptr ? GetManager()->findObject(target) : nullptr;
        if (instance == nullptr) {
            std::cout << name << ": no instance " << target << std::endl;
            return;
        }
        instance->Reset();
    }

    std::string target;
};

CORVANE_MODULE(PuReset)
