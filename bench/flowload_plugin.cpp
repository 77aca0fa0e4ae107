#include <string>

#include "Corvane.h"

// The benchmark's trivial module: keeps what it is given, prints nothing.
// Its literal inputs take text as it comes and its connection joins equal
// types, so no converter object is made and the load itself is measured.
class MgFlowload : public Corvane {
public:
    explicit MgFlowload(std::string& instanceName) : Corvane(nullptr, "NoName"), in_(0) {
        name = instanceName;
        description = "Keeps its values";
        outputs.push_back(Output("out", vorn_double, "nothing is sent"));
        inputs.push_back(Input("in", CORVANE_HANDLER(&MgFlowload::setIn), vorn_double, "a value"));
        inputs.push_back(Input("scale", CORVANE_HANDLER(&MgFlowload::setScale), vorn_cstring, "a literal"));
        inputs.push_back(Input("offset", CORVANE_HANDLER(&MgFlowload::setOffset), vorn_cstring, "a literal"));
    }

private:
    void setIn(void* value) { in_ = *static_cast<double*>(value); }
    void setScale(void* value) { scale_ = static_cast<char*>(value); }
    void setOffset(void* value) { offset_ = static_cast<char*>(value); }

    double in_;
    std::string scale_;
    std::string offset_;
};

CORVANE_MODULE(MgFlowload)
