#include <iostream>
#include <sstream>
#include <string>

#include "Corvane.h"
#include "RecordInput.h"
#include "Tavrel.h"

// Renders each event record as one line of text by a format: literal text
// with placeholders "%name" (up to the next blank) and "%{name}", each
// replaced by the printed value of that property, trimmed of blanks and
// tabs. The text is built here piece by piece; the format never reaches a
// printf-style formatter, so no placeholder can read what is not there.
//
// Threads: built on the flow's creating thread, fed on the flow thread.
class Gralmet : public Corvane {
public:
    explicit Gralmet(std::string& instanceName);
    ~Gralmet() override;

    void Init() override;
    void Reset() override;

private:
    void convert(void* value);
    void setFormat(void* value);

    // The printed value of the property, trimmed; false when the event
    // has no property of that exact name.
    static bool expand(Tavrel& event, const std::string& propertyName, std::string& text);

    std::string format;
    RecordInput recordInput;
};

namespace {

const char* const kBlanks = " \t";

std::string trimmed(const std::string& text) {
    size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

}  // namespace

Gralmet::Gralmet(std::string& instanceName) : Corvane(nullptr, "NoName") {
    name = instanceName;
    description = "Converts a Tavrel to a string, using the format as given in the \"format\" input";
    inputs.push_back(Input("fevent", CORVANE_HANDLER(&Gralmet::convert), vorn_tavrel, "The Tavrel"));
    inputs.push_back(Input("format", CORVANE_HANDLER(&Gralmet::setFormat), vorn_string,
                           "The format string. All expressions like %<Flow property> will be expanded"));
    outputs.push_back(Output("string", vorn_string, "The resulting string"));
    std::cout << name << " instantiated" << std::endl;
}

Gralmet::~Gralmet() { std::cout << name << " deleted" << std::endl; }

void Gralmet::Init() { std::cout << name << " initialized." << std::endl; }

void Gralmet::Reset() {}

void Gralmet::setFormat(void* value) { format = *static_cast<std::string*>(value); }

void Gralmet::convert(void* value) {
    Tavrel* event = recordInput.accept(*this, value);
    if (event == nullptr || event->announce) return;
    std::string output;
    size_t copied = 0;
    bool lastEmpty = false;
    for (size_t percent = format.find('%'); percent != std::string::npos; percent = format.find('%', copied)) {
        size_t nameBegin = percent + 1;
        size_t nameEnd;
        size_t placeholderEnd;
        if (nameBegin < format.size() && format[nameBegin] == '{') {
            ++nameBegin;
            nameEnd = format.find('}', nameBegin);
            if (nameEnd == std::string::npos) nameEnd = format.size();
            placeholderEnd = nameEnd < format.size() ? nameEnd + 1 : nameEnd;
        } else {
            // The blank that ends the name stays as literal text.
            nameEnd = format.find(' ', nameBegin);
            if (nameEnd == std::string::npos) nameEnd = format.size();
            placeholderEnd = nameEnd;
        }
        output.append(format, copied, percent - copied);
        copied = placeholderEnd;
        std::string propertyName = format.substr(nameBegin, nameEnd - nameBegin);
        std::string text;
        if (!expand(*event, propertyName, text)) {
            std::cout << "Warning: Property " << propertyName << " not found in the Tavrel." << std::endl;
            continue;
        }
        output += text;
        lastEmpty = text.empty();
    }
    if (lastEmpty) return;
    output.append(format, copied, std::string::npos);
    SendOutput(0u, &output);
}

bool Gralmet::expand(Tavrel& event, const std::string& propertyName, std::string& text) {
    Tavrel::iterator found = event.find(propertyName);
    if (found == event.end()) return false;
    FlowProperty& property = found->second;
    if (property.formula != nullptr) property.formula->eval();
    std::ostringstream printed;
    printed << property;
    text = trimmed(printed.str());
    return true;
}

CORVANE_MODULE(Gralmet)
