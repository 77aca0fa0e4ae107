#include "CoreProbe.h"

#include <charconv>
#include <iostream>
#include <sstream>

#include "stringstore.h"

namespace {

template <class T> std::string number(T value) {
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

template <class T> std::string list(const std::vector<T>& values) {
    std::string text = "[";
    for (size_t i = 0; i < values.size(); ++i) text += (i ? "," : "") + number(values[i]);
    return text + "]";
}

std::string list(const std::vector<std::string>& values) {
    std::string text = "[";
    for (size_t i = 0; i < values.size(); ++i) text += (i ? ",\"" : "\"") + values[i] + "\"";
    return text + "]";
}

// The delivered value as text, read as the input's own type.
std::string describe(vorn_type type, void* value) {
    if (value == nullptr) return "null";
    switch (type) {
        case vorn_short: return number(*static_cast<short*>(value));
        case vorn_int: return number(*static_cast<int*>(value));
        case vorn_float: return number(*static_cast<float*>(value));
        case vorn_double: return number(*static_cast<double*>(value));
        case vorn_uint64: return number(*static_cast<unsigned long*>(value));
        case vorn_cstring: return "'" + std::string(static_cast<char*>(value)) + "'";
        case vorn_string: return "\"" + *static_cast<std::string*>(value) + "\"";
        case vorn_vector_short: return list(*static_cast<std::vector<short>*>(value));
        case vorn_vector_int: return list(*static_cast<std::vector<int>*>(value));
        case vorn_vector_float: return list(*static_cast<std::vector<float>*>(value));
        case vorn_vector_double: return list(*static_cast<std::vector<double>*>(value));
        case vorn_vector_string: return list(*static_cast<std::vector<std::string>*>(value));
        case vorn_tavrel: return static_cast<stringstore*>(value)->str();
        default: return "?";
    }
}

}  // namespace

CoreProbe::CoreProbe(std::string& instanceName) : Corvane(nullptr, "NoName"), log(nullptr), lastPointer(nullptr) {
    name = instanceName;
    description = "Records what reaches its inputs";
    outputs.push_back(Corvane::Output("out", vorn_double, "values sent by the test"));
    const struct {
        const char* name;
        vorn_type type;
    } ports[] = {{"short", vorn_short},          {"int", vorn_int},
                 {"float", vorn_float},          {"double", vorn_double},
                 {"uint64", vorn_uint64},        {"cstring", vorn_cstring},
                 {"any", vorn_any},              {"string", vorn_string},
                 {"vshort", vorn_vector_short},  {"vint", vorn_vector_int},
                 {"vfloat", vorn_vector_float},  {"vdouble", vorn_vector_double},
                 {"vstring", vorn_vector_string}, {"tavrel", vorn_tavrel}};
    for (const auto& port : ports)
        inputs.push_back(Corvane::Input(port.name, CORVANE_HANDLER(&CoreProbe::record), port.type, ""));
    inputs.push_back(Corvane::Input("relay", CORVANE_HANDLER(&CoreProbe::relay), vorn_any, ""));
    std::cout << name << " instantiated" << std::endl;
}

CoreProbe::~CoreProbe() { std::cout << name << " deleted" << std::endl; }

void CoreProbe::record(void* value) {
    lastPointer = value;
    Corvane::Input& input = inputs[currentInput];
    if (log != nullptr) log->push_back(name + "." + input.name + "=" + describe(input.type, value));
}

void CoreProbe::relay(void* value) {
    if (log != nullptr) log->push_back(name + ".relay");
    SendOutput(0u, value);
}

CORVANE_MODULE(CoreProbe)
