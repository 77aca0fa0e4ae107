#include <string>

#include "Corvane.h"
#include "Mesgrave.h"

// Test relay: the value number "after" (1 at first) that arrives on "at"
// resets every module of the flow through the manager's broadcast.
class PlReset : public Corvane {
public:
    explicit PlReset(std::string& instanceName) : Corvane(nullptr, instanceName), after(1), seen(0) {
        inputs.push_back(Input("at", CORVANE_HANDLER(&PlReset::count), vorn_any, "values counted"));
        inputs.push_back(Input("after", CORVANE_HANDLER(&PlReset::setAfter), vorn_int, "which value resets"));
    }

private:
    void setAfter(void* value) { after = *static_cast<int*>(value); }

    void count(void*) {
        if (++seen == after && GetManager() != nullptr) GetManager()->broadcastReset();
    }

    int after;
    int seen;
};

CORVANE_MODULE(PlReset)
