#include "Tavrel.h"

#include <iostream>
#include <sstream>

#include "TextNumbers.h"
#include "parserTable.h"

namespace {

const char* typeName(vorn_type type) {
    switch (type) {
        case vorn_uint16: return "uint16";
        case vorn_short: return "short";
        case vorn_uint32: return "uint32";
        case vorn_int: return "int";
        case vorn_bool: return "bool";
        case vorn_float: return "float";
        case vorn_double: return "double";
        case vorn_uint64: return "uint64";
        case vorn_cstring: return "c-string";
        case vorn_string: return "string";
        case vorn_vector_short: return "vector<short>";
        case vorn_vector_int: return "vector<int>";
        case vorn_vector_uint64: return "vector<uint64>";
        case vorn_vector_float: return "vector<float>";
        case vorn_vector_double: return "vector<double>";
        case vorn_vector_string: return "vector<string>";
        case vorn_tavrel: return "Tavrel: ";
        default: return "";
    }
}

template <class T> const T& valueAs(const FlowProperty& property) {
    return *static_cast<const T*>(property.value);
}

template <class T> std::vector<T>& vectorAs(const FlowProperty& property) {
    return *static_cast<std::vector<T>*>(property.value);
}

template <class T> std::string elementText(T value) { return vorn::toText(value); }
const std::string& elementText(const std::string& value) { return value; }

void writeField(std::ostream& out, const std::string& text) {
    const std::streamsize width = 4;
    for (std::streamsize pad = width - static_cast<std::streamsize>(text.size()); pad > 0; --pad) {
        out.put(out.fill());
    }
    out << text;
}

}  // namespace

// FlowBinning

FlowBinning::FlowBinning() : min(0), max(0), bins(0) {}
FlowBinning::FlowBinning(const FlowBinning& other) = default;
FlowBinning& FlowBinning::operator=(const FlowBinning& other) = default;
FlowBinning::~FlowBinning() = default;

// FlowProperty

FlowProperty::FlowProperty()
    : showBinning(0), type(vorn_any), value(nullptr), formula(nullptr), owner(nullptr) {}
FlowProperty::FlowProperty(const FlowProperty& other) = default;
FlowProperty& FlowProperty::operator=(const FlowProperty& other) = default;
FlowProperty::~FlowProperty() = default;

void FlowProperty::Reset() {
    if (formula) {
        formula->Reset();
    } else if (type == vorn_tavrel && value) {
        static_cast<Tavrel*>(value)->Reset();
    }
}

// Tavrel

Tavrel::Tavrel() { Reset(); }

Tavrel::~Tavrel() { parserTable::eventDestroyed(this); }

Tavrel::iterator Tavrel::begin() { return properties.begin(); }
Tavrel::iterator Tavrel::end() { return properties.end(); }
Tavrel::iterator Tavrel::find(const std::string& name) { return properties.find(name); }
FlowProperty& Tavrel::operator[](const std::string& name) {
    auto found = properties.find(name);
    if (found != properties.end()) return found->second;
    // A new name may be one that this event's formulas looked for in vain.
    FlowProperty& added = properties[name];
    parserTable::propertyAdded(this);
    return added;
}

size_t Tavrel::erase(const std::string& name) {
    auto found = properties.find(name);
    if (found == properties.end()) return 0;
    parserTable::propertyErased(this, &found->second);
    properties.erase(found);
    return 1;
}

FlowProperty* Tavrel::GetProperty(std::string path) {
    auto lookUp = [](Tavrel& event, const std::string& name) -> FlowProperty* {
        auto found = event.properties.find(name);
        return found == event.properties.end() ? nullptr : &found->second;
    };
    size_t slash = path.find('/');
    std::string part = path.substr(0, slash);
    FlowProperty* current = lookUp(*this, part);
    // Parts follow each '/'; a '/' at the very end starts none.
    while (slash != std::string::npos && slash + 1 < path.size()) {
        size_t from = slash + 1;
        slash = path.find('/', from);
        part = path.substr(from, slash == std::string::npos ? std::string::npos : slash - from);
        // Only a nested event that is there can be descended into.
        if (!current || current->type != vorn_tavrel || !current->value) return nullptr;
        current = lookUp(*static_cast<Tavrel*>(current->value), part);
    }
    if (!current) std::cout << "FlowProperty " << part << " not found." << std::endl;
    return current;
}

void Tavrel::Reset() {
    announce = false;
    for (auto& entry : properties) entry.second.Reset();
}

void Tavrel::ParseFormula(const std::string& definition) {
    formulaParser* parser = new formulaParser;
    std::string name = parser->parse(definition);
    if (name.empty()) {
        std::cout << "Tavrel: Cannot add formula property " << std::endl;
        delete parser;
        return;
    }
    parserTable::adopt(this, parser);
    FlowProperty& property = (*this)[name];
    property = FlowProperty();
    property.formula = parser;
    property.value = parser->result;
    property.type = vorn_vector_double;
    property.label = parser->Label;
    property.owner = this;
    parser->property = &property;
}

void Tavrel::SetBinnings() {
    for (auto& entry : properties) {
        if (!entry.second.formula) continue;
        entry.second.SetBinnings();
        std::cout << "Binning set for " << entry.first << ": " << entry.second.binning;
    }
}

const char* Tavrel::str() {
    std::ostringstream out;
    out << *this;
    text = out.str();
    return text.c_str();
}

// Printers

std::ostream& operator<<(std::ostream& out, Tavrel& event) {
    for (auto& entry : event.properties) {
        FlowProperty& property = entry.second;
        out << entry.first << ":\t";
        if (event.announce) {
            out << typeName(property.type);
            if (property.type == vorn_tavrel) {
                out << std::endl;
                if (property.value) out << *static_cast<Tavrel*>(property.value);
            }
        } else if (property.formula && !property.formula->eval()) {
            out << property.formula->Formula;
        } else {
            out << property;
        }
        out << std::endl;
    }
    return out;
}

std::ostream& operator<<(std::ostream& out, const FlowProperty& property) {
    if (property.showBinning) out << std::endl << "Binning: " << property.binning << "Value:\t";
    if (!property.value) return out;
    switch (property.type) {
        case vorn_uint16: return out << vorn::toText(valueAs<unsigned short>(property));
        case vorn_short: return out << vorn::toText(valueAs<short>(property));
        case vorn_uint32: return out << vorn::toText(valueAs<unsigned int>(property));
        case vorn_int: return out << vorn::toText(valueAs<int>(property));
        case vorn_bool: return out << (valueAs<bool>(property) ? "1" : "0");
        case vorn_float: return out << vorn::toText(valueAs<float>(property));
        case vorn_double: return out << vorn::toText(valueAs<double>(property));
        case vorn_uint64: return out << vorn::toText(valueAs<unsigned long>(property));
        case vorn_cstring: return out << static_cast<const char*>(property.value);
        case vorn_string: return out << valueAs<std::string>(property);
        case vorn_vector_short: VectorToStream(vectorAs<short>(property), out); return out;
        case vorn_vector_int: VectorToStream(vectorAs<int>(property), out); return out;
        case vorn_vector_uint64: VectorToStream(vectorAs<unsigned long>(property), out); return out;
        case vorn_vector_float: VectorToStream(vectorAs<float>(property), out); return out;
        case vorn_vector_double: VectorToStream(vectorAs<double>(property), out); return out;
        case vorn_vector_string: VectorToStream(vectorAs<std::string>(property), out); return out;
        case vorn_tavrel: return out << std::endl << *static_cast<Tavrel*>(property.value);
        default: return out;
    }
}

std::ostream& operator<<(std::ostream& out, const FlowBinning& binning) {
    if (!binning.values.empty()) {
        for (double value : binning.values) out << vorn::toText(value);
    } else {
        out << "Min: " << vorn::toText(binning.min) << ", Max: " << vorn::toText(binning.max)
            << ", Bins: " << vorn::toText(binning.bins);
    }
    return out << std::endl;
}

template <class T> void VectorToStream(std::vector<T>& values, std::ostream& out) {
    for (const T& value : values) {
        writeField(out, elementText(value));
        out << ' ';
    }
}

template void VectorToStream<short>(std::vector<short>&, std::ostream&);
template void VectorToStream<int>(std::vector<int>&, std::ostream&);
template void VectorToStream<unsigned long>(std::vector<unsigned long>&, std::ostream&);
template void VectorToStream<float>(std::vector<float>&, std::ostream&);
template void VectorToStream<double>(std::vector<double>&, std::ostream&);
template void VectorToStream<std::string>(std::vector<std::string>&, std::ostream&);
