#include <iostream>
#include <string>

#include "Corvane.h"
#include "EscapeCopy.h"

// Display writes each incoming text to standard output between a prefix
// and a suffix (by default nothing and a line feed), without a flush of its
// own.
//
// Threads: all calls on the flow thread.
class Display : public Corvane {
public:
    explicit Display(std::string& instanceName);
    ~Display() override;

    // Writes prefix, value and suffix to standard output.
    void printData(void* value);
    // Store the escape copy of the value (\n and \t are understood).
    void setPrefix(void* value);
    void setSuffix(void* value);

    std::string prefix;
    std::string suffix;
};

Display::Display(std::string& instanceName) : Corvane(nullptr, "NoName"), suffix("\n") {
    name = instanceName;
    description = "Plugin to display data to STDOUT (i.e. terminal)";
    inputs.push_back(Corvane::Input("data", CORVANE_HANDLER(&Display::printData), vorn_cstring, "To be displayed"));
    inputs.push_back(Corvane::Input("prefix", CORVANE_HANDLER(&Display::setPrefix), vorn_cstring,
                                    "e.g \"Interesting number: \""));
    inputs.push_back(Corvane::Input("suffix", CORVANE_HANDLER(&Display::setSuffix), vorn_cstring, "e.g \"\\n\""));
    std::cout << name << " instantiated" << std::endl;
}

Display::~Display() { std::cout << name << " destructed." << std::endl; }

void Display::printData(void* value) {
    std::cout << prefix << (value != nullptr ? static_cast<const char*>(value) : "") << suffix;
}

void Display::setPrefix(void* value) { prefix = vorn::escapeCopy(static_cast<const char*>(value)); }

void Display::setSuffix(void* value) { suffix = vorn::escapeCopy(static_cast<const char*>(value)); }

CORVANE_MODULE(Display)
