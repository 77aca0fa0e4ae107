#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "Corvane.h"
#include "Tavrel.h"
#include "TextNumbers.h"

// Test driver: its Start runs the script file named on input "script",
// one command per line, on two event records A and B whose storage it
// owns. Commands:
//   prop <path> <type>   declare a property ("sub/x" inside record property sub);
//                        types: short int uint64 float double bool string cstring
//                        vshort vint vuint64 vfloat vdouble vstring record
//   set <path> <words>   give a property its value (vectors: each word)
//   formula <definition> add a formula property
//   erase <name>         remove a property
//   use A|B              choose the record the other commands work on
//   announce             send the record on "fevent" with announce set
//   send                 send the record on "fevent", then reset it
//   text <rest>          send the rest of the line on "text"
//   control <rest>       send the rest of the line on "control"
//   raw                  send a pointer to an int on "raw" (type any)
//   say <rest>           print "say: <rest>"
// Start prints "--- run" first and "--- end" last.
class TrScript : public Corvane {
public:
    explicit TrScript(std::string& instanceName) : Corvane(nullptr, instanceName), current(&recordA) {
        inputs.push_back(Input("script", CORVANE_HANDLER(&TrScript::setScript), vorn_string, "script file"));
        outputs.push_back(Output("fevent", vorn_tavrel, "the current record"));
        outputs.push_back(Output("text", vorn_string, "text lines"));
        outputs.push_back(Output("control", vorn_string, "more text lines"));
        outputs.push_back(Output("raw", vorn_any, "an untyped pointer"));
    }

    void Start() override {
        running = true;
        std::cout << "--- run" << std::endl;
        std::ifstream in(script.c_str());
        if (!in) std::cout << "TrScript: cannot read " << script << std::endl;
        std::string line;
        while (running && std::getline(in, line)) run(line);
        std::cout << "--- end" << std::endl;
        running = false;
    }

    void Stop() override { running = false; }

private:
    // Storage of one property, whatever its type.
    struct Slot {
        short s = 0;
        int i = 0;
        unsigned long u = 0;
        float f = 0;
        double d = 0;
        bool b = false;
        std::string text;
        std::vector<short> vs;
        std::vector<int> vi;
        std::vector<unsigned long> vu;
        std::vector<float> vf;
        std::vector<double> vd;
        std::vector<std::string> vstr;
        Tavrel record;
    };

    void setScript(void* value) { script = *static_cast<std::string*>(value); }

    static std::string restOf(std::istringstream& in) {
        std::string rest;
        std::getline(in, rest);
        if (!rest.empty() && rest[0] == ' ') rest.erase(0, 1);
        return rest;
    }

    void run(const std::string& line) {
        std::istringstream in(line);
        std::string command, word;
        in >> command;
        if (command == "prop") {
            std::string path, type;
            in >> path >> type;
            declare(path, type);
        } else if (command == "set") {
            std::string path;
            in >> path;
            std::vector<std::string> words;
            while (in >> word) words.push_back(word);
            assign(path, words);
        } else if (command == "formula") {
            current->ParseFormula(restOf(in));
        } else if (command == "erase") {
            in >> word;
            current->erase(word);
        } else if (command == "use") {
            in >> word;
            current = word == "B" ? &recordB : &recordA;
        } else if (command == "announce") {
            current->announce = true;
            SendOutput(0u, static_cast<stringstore*>(current));
            current->announce = false;
        } else if (command == "send") {
            SendOutput(0u, static_cast<stringstore*>(current));
            current->Reset();
        } else if (command == "text" || command == "control") {
            std::string text = restOf(in);
            SendOutput(command == "text" ? 1u : 2u, &text);
        } else if (command == "raw") {
            int number = 42;
            SendOutput(3u, &number);
        } else if (command == "say") {
            std::cout << "say: " << restOf(in) << std::endl;
        } else if (!command.empty() && command[0] != '#') {
            std::cout << "TrScript: unknown command " << command << std::endl;
        }
    }

    Slot& slotFor(const std::string& path) {
        std::unique_ptr<Slot>& slot = slots[std::make_pair(current, path)];
        if (!slot) slot.reset(new Slot);
        return *slot;
    }

    // The record that holds the last part of `path`, and that part.
    Tavrel& holder(const std::string& path, std::string& last) {
        size_t slash = path.rfind('/');
        last = slash == std::string::npos ? path : path.substr(slash + 1);
        if (slash == std::string::npos) return *current;
        std::string parent = path.substr(0, slash);
        if (current->find(parent) == current->end()) declare(parent, "record");
        return slotFor(parent).record;
    }

    void declare(const std::string& path, const std::string& type) {
        std::string last;
        Tavrel& record = holder(path, last);
        Slot& slot = slotFor(path);
        const struct {
            const char* name;
            vorn_type code;
            void* value;
        } types[] = {
            {"short", vorn_short, &slot.s}, {"int", vorn_int, &slot.i}, {"uint64", vorn_uint64, &slot.u},
            {"float", vorn_float, &slot.f}, {"double", vorn_double, &slot.d}, {"bool", vorn_bool, &slot.b},
            {"string", vorn_string, &slot.text}, {"cstring", vorn_cstring, &slot.text[0]},
            {"vshort", vorn_vector_short, &slot.vs}, {"vint", vorn_vector_int, &slot.vi},
            {"vuint64", vorn_vector_uint64, &slot.vu}, {"vfloat", vorn_vector_float, &slot.vf},
            {"vdouble", vorn_vector_double, &slot.vd}, {"vstring", vorn_vector_string, &slot.vstr},
            {"record", vorn_tavrel, &slot.record},
        };
        for (const auto& t : types) {
            if (type != t.name) continue;
            record[last] = FlowProperty(t.code, FlowBinning(0, 10, 10), t.value);
            return;
        }
        std::cout << "TrScript: unknown type " << type << std::endl;
    }

    void assign(const std::string& path, const std::vector<std::string>& words) {
        std::string last;
        Tavrel& record = holder(path, last);
        Tavrel::iterator found = record.find(last);
        if (found == record.end()) {
            std::cout << "TrScript: no property " << path << std::endl;
            return;
        }
        Slot& slot = slotFor(path);
        std::string first = words.empty() ? "" : words[0];
        std::string joined;
        for (size_t k = 0; k < words.size(); ++k) joined += (k ? " " : "") + words[k];
        switch (found->second.type) {
            case vorn_short: slot.s = static_cast<short>(vorn::parseInt(first.c_str())); break;
            case vorn_int: slot.i = vorn::parseInt(first.c_str()); break;
            case vorn_uint64: slot.u = vorn::parseUInt64(first.c_str()); break;
            case vorn_float: slot.f = static_cast<float>(vorn::parseDouble(first.c_str())); break;
            case vorn_double: slot.d = vorn::parseDouble(first.c_str()); break;
            case vorn_bool: slot.b = vorn::parseInt(first.c_str()) != 0; break;
            case vorn_string: slot.text = joined; break;
            case vorn_cstring:
                slot.text = joined;
                found->second.value = &slot.text[0];
                break;
            default: assignVector(found->second.type, slot, words); break;
        }
    }

    static void assignVector(vorn_type type, Slot& slot, const std::vector<std::string>& words) {
        slot.vs.clear();
        slot.vi.clear();
        slot.vu.clear();
        slot.vf.clear();
        slot.vd.clear();
        slot.vstr.clear();
        for (const std::string& word : words) {
            const char* text = word.c_str();
            switch (type) {
                case vorn_vector_short: slot.vs.push_back(static_cast<short>(vorn::parseInt(text))); break;
                case vorn_vector_int: slot.vi.push_back(vorn::parseInt(text)); break;
                case vorn_vector_uint64: slot.vu.push_back(vorn::parseUInt64(text)); break;
                case vorn_vector_float: slot.vf.push_back(static_cast<float>(vorn::parseDouble(text))); break;
                case vorn_vector_double: slot.vd.push_back(vorn::parseDouble(text)); break;
                case vorn_vector_string: slot.vstr.push_back(word); break;
                default: break;
            }
        }
    }

    std::string script;
    Tavrel recordA;
    Tavrel recordB;
    Tavrel* current;
    std::map<std::pair<Tavrel*, std::string>, std::unique_ptr<Slot> > slots;
};

CORVANE_MODULE(TrScript)
