#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "Corvane.h"
#include "Tavrel.h"

// Test receiver that prints every event record it gets, exactly: on an
// announcement each property's type and binning, on a data event each
// value (floating-point numbers by their bits, texts with escapes). Like
// every receiver that keeps property pointers, it looks them up again on
// each announcement and reads the values of data events through them.
// "eof" prints the count it receives.
class EfSink : public Corvane {
public:
    explicit EfSink(std::string& instanceName) : Corvane(nullptr, "NoName") {
        name = instanceName;
        description = "Prints the event records it receives";
        inputs.push_back(Input("fevent", CORVANE_HANDLER(&EfSink::take), vorn_tavrel, "event records"));
        inputs.push_back(Input("eof", CORVANE_HANDLER(&EfSink::takeEof), vorn_int, "end of file"));
    }

private:
    void take(void* value) {
        Tavrel* event = static_cast<Tavrel*>(static_cast<stringstore*>(value));
        std::ostringstream out;
        if (event->announce) {
            kept.clear();
            out << name << ": announce " << event->properties.size() << "\n";
            for (Tavrel::iterator entry = event->begin(); entry != event->end(); ++entry) {
                kept.push_back(std::make_pair(entry->first, &entry->second));
                const FlowBinning& binning = entry->second.binning;
                out << name << ":   " << entry->first << " type " << entry->second.type << " bins " << binning.bins
                    << " min " << bits(binning.min) << " max " << bits(binning.max) << "\n";
            }
        } else {
            out << name << ": event " << ++events << "\n";
            for (const std::pair<std::string, FlowProperty*>& entry : kept) {
                out << name << ":   " << entry.first << " = ";
                print(out, entry.second->type, entry.second->value);
                out << "\n";
            }
        }
        std::cout << out.str() << std::flush;
    }

    void takeEof(void* value) { std::cout << name << ": eof " << *static_cast<int*>(value) << std::endl; }

    static std::string bits(double value) {
        uint64_t raw;
        std::memcpy(&raw, &value, sizeof raw);
        char text[24];
        std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(raw));
        return text;
    }
    static std::string bits(float value) {
        uint32_t raw;
        std::memcpy(&raw, &value, sizeof raw);
        char text[16];
        std::snprintf(text, sizeof text, "%08x", raw);
        return text;
    }
    static void printText(std::ostream& out, const char* text, size_t length) {
        out << '"';
        for (size_t n = 0; n < length; ++n) {
            unsigned char c = static_cast<unsigned char>(text[n]);
            if (c >= 0x20 && c < 0x7f && c != '"' && c != '\\') {
                out << c;
            } else {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\x%02x", c);
                out << escaped;
            }
        }
        out << '"';
    }
    static void printElement(std::ostream& out, short v) { out << v; }
    static void printElement(std::ostream& out, int v) { out << v; }
    static void printElement(std::ostream& out, unsigned long v) { out << v; }
    static void printElement(std::ostream& out, bool v) { out << (v ? 1 : 0); }
    static void printElement(std::ostream& out, float v) { out << bits(v); }
    static void printElement(std::ostream& out, double v) { out << bits(v); }
    static void printElement(std::ostream& out, const std::string& v) { printText(out, v.data(), v.size()); }
    template <class T> static void printElement(std::ostream& out, const std::vector<T>& values) {
        out << '[';
        for (size_t n = 0; n < values.size(); ++n) {
            if (n > 0) out << ',';
            printElement(out, static_cast<T>(values[n]));
        }
        out << ']';
    }
    template <class T> static void printVector(std::ostream& out, void* value) {
        printElement(out, *static_cast<std::vector<T>*>(value));
    }

    static void print(std::ostream& out, vorn_type type, void* value) {
        if (value == nullptr) {
            out << "null";
            return;
        }
        switch (type) {
            case vorn_uchar: out << int(*static_cast<unsigned char*>(value)); break;
            case vorn_schar: out << int(*static_cast<signed char*>(value)); break;
            case vorn_char: out << int(*static_cast<char*>(value)); break;
            case vorn_uint16: out << *static_cast<unsigned short*>(value); break;
            case vorn_short: out << *static_cast<short*>(value); break;
            case vorn_uint32: out << *static_cast<unsigned int*>(value); break;
            case vorn_int: out << *static_cast<int*>(value); break;
            case vorn_bool: out << (*static_cast<bool*>(value) ? 1 : 0); break;
            case vorn_float: out << bits(*static_cast<float*>(value)); break;
            case vorn_double: out << bits(*static_cast<double*>(value)); break;
            case vorn_uint64: out << *static_cast<unsigned long*>(value); break;
            case vorn_cstring: {
                const char* text = static_cast<const char*>(value);
                printText(out, text, std::strlen(text));
                break;
            }
            case vorn_string: printElement(out, *static_cast<std::string*>(value)); break;
            case vorn_vector_short: printVector<short>(out, value); break;
            case vorn_vector_int: printVector<int>(out, value); break;
            case vorn_vector_uint64: printVector<unsigned long>(out, value); break;
            case vorn_vector_bool: printVector<bool>(out, value); break;
            case vorn_vector_float: printVector<float>(out, value); break;
            case vorn_vector_double: printVector<double>(out, value); break;
            case vorn_vector_string: printVector<std::string>(out, value); break;
            case vorn_vector_vector_short: printVector<std::vector<short> >(out, value); break;
            case vorn_vector_vector_int: printVector<std::vector<int> >(out, value); break;
            case vorn_vector_vector_float: printVector<std::vector<float> >(out, value); break;
            case vorn_vector_vector_double: printVector<std::vector<double> >(out, value); break;
            case vorn_tavrel: out << "nested"; break;
            default: out << "-"; break;
        }
    }

    std::vector<std::pair<std::string, FlowProperty*> > kept;
    int events = 0;
};

CORVANE_MODULE(EfSink)
