#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "Corvane.h"
#include "Tavrel.h"
#include "TextNumbers.h"

// Test sink: prints what reaches each input, one line per value, and for
// records one more line per property:
//   <name> record announce|data
//     <property> <type code>[ = <formula>][: <printed value>]
// (values only in data records; formulas are evaluated first), and
//   <name> text [<text>]
//   <name> values [<v1> <v2> ...]
//   <name> number <value>
//   <name> count <value>
class TrSink : public Corvane {
public:
    explicit TrSink(std::string& instanceName) : Corvane(nullptr, instanceName) {
        inputs.push_back(Input("record", CORVANE_HANDLER(&TrSink::onRecord), vorn_tavrel, "records"));
        inputs.push_back(Input("text", CORVANE_HANDLER(&TrSink::onText), vorn_string, "text"));
        inputs.push_back(Input("values", CORVANE_HANDLER(&TrSink::onValues), vorn_vector_double, "numbers"));
        inputs.push_back(Input("number", CORVANE_HANDLER(&TrSink::onNumber), vorn_double, "a number"));
        inputs.push_back(Input("count", CORVANE_HANDLER(&TrSink::onCount), vorn_int, "an integer"));
    }

private:
    void onRecord(void* value) {
        Tavrel* event = value ? dynamic_cast<Tavrel*>(static_cast<stringstore*>(value)) : nullptr;
        if (event == nullptr) {
            std::cout << name << " record none" << std::endl;
            return;
        }
        std::ostringstream out;
        out << name << " record " << (event->announce ? "announce" : "data") << "\n";
        for (auto& entry : *event) {
            FlowProperty& property = entry.second;
            out << "  " << entry.first << " " << static_cast<int>(property.type);
            if (property.formula) out << " = " << property.formula->Formula;
            if (!event->announce) {
                if (property.formula) property.formula->eval();
                out << ": ";
                if (property.type == vorn_tavrel)
                    out << "record";
                else
                    out << property;
            }
            out << "\n";
        }
        std::cout << out.str() << std::flush;
    }

    void onText(void* value) {
        std::cout << name << " text [" << *static_cast<std::string*>(value) << "]" << std::endl;
    }

    void onValues(void* value) {
        std::cout << name << " values [";
        const std::vector<double>& values = *static_cast<std::vector<double>*>(value);
        for (size_t k = 0; k < values.size(); ++k) std::cout << (k ? " " : "") << vorn::toText(values[k]);
        std::cout << "]" << std::endl;
    }

    void onNumber(void* value) {
        std::cout << name << " number " << vorn::toText(*static_cast<double*>(value)) << std::endl;
    }

    void onCount(void* value) { std::cout << name << " count " << *static_cast<int*>(value) << std::endl; }
};

CORVANE_MODULE(TrSink)
