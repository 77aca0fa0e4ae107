#include <iostream>
#include <string>
#include <vector>

#include "Corvane.h"
#include "Tavrel.h"
#include "TextNumbers.h"

// Test sink: for every record on "fevent" prints one line
// "<name>: [A ]<property>=<value> ...", "A" marking an announcement, for
// each property named on "names" (lists joined by ',', inner lists by '|',
// "?" for a missing property or value).
class PuShow : public Corvane {
public:
    explicit PuShow(std::string& instanceName) : Corvane(nullptr, instanceName) {
        inputs.push_back(Input("fevent", CORVANE_HANDLER(&PuShow::show), vorn_tavrel, "records"));
        inputs.push_back(Input("names", CORVANE_HANDLER(&PuShow::setNames), vorn_vector_string, "properties"));
    }

private:
    void setNames(void* value) { names = *static_cast<std::vector<std::string>*>(value); }

    void show(void* value) {
        Tavrel* record = static_cast<Tavrel*>(static_cast<stringstore*>(value));
        std::string line = name + ":" + (record->announce ? " A" : "");
        for (const std::string& property : names) {
            auto found = record->find(property);
            line += " " + property + "=";
            line += found == record->end() || found->second.value == nullptr ? "?" : text(found->second);
        }
        std::cout << line << std::endl;
    }

    template <class T> static std::string list(void* value) {
        std::string text;
        for (const T& element : *static_cast<std::vector<T>*>(value))
            text += (text.empty() ? "" : ",") + vorn::toText(element);
        return text;
    }

    template <class T> static std::string lists(void* value) {
        std::string text;
        auto& outer = *static_cast<std::vector<std::vector<T> >*>(value);
        for (size_t i = 0; i < outer.size(); ++i) text += (i ? "|" : "") + list<T>(&outer[i]);
        return text;
    }

    static std::string text(const FlowProperty& property) {
        void* v = property.value;
        switch (property.type) {
            case vorn_short: return vorn::toText(*static_cast<short*>(v));
            case vorn_int: return vorn::toText(*static_cast<int*>(v));
            case vorn_double: return vorn::toText(*static_cast<double*>(v));
            case vorn_vector_short: return list<short>(v);
            case vorn_vector_int: return list<int>(v);
            case vorn_vector_double: return list<double>(v);
            case vorn_vector_vector_short: return lists<short>(v);
            default: return "type" + std::to_string(property.type);
        }
    }

    std::vector<std::string> names;
};

CORVANE_MODULE(PuShow)
