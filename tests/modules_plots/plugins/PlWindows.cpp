#include <iostream>
#include <string>
#include <vector>

#include "Corvane.h"
#include "TextNumbers.h"

// Test sink: prints every vector on "graph" as "<name>: <index> | <values>"
// with the last number that came on "index" (-1 before any).
class PlWindows : public Corvane {
public:
    explicit PlWindows(std::string& instanceName) : Corvane(nullptr, instanceName), index(-1) {
        inputs.push_back(Input("index", CORVANE_HANDLER(&PlWindows::setIndex), vorn_short, "channel"));
        inputs.push_back(Input("graph", CORVANE_HANDLER(&PlWindows::print), vorn_vector_double, "window"));
    }

private:
    void setIndex(void* value) { index = *static_cast<short*>(value); }

    void print(void* value) {
        std::string line = name + ": " + vorn::toText(index) + " |";
        for (double y : *static_cast<std::vector<double>*>(value)) line += " " + vorn::toText(y);
        std::cout << line << std::endl;
    }

    short index;
};

CORVANE_MODULE(PlWindows)
