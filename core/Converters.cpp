#include <mutex>
#include <sstream>

#include "Corvane.h"
#include "TextNumbers.h"

namespace {

typedef void (Corvane::*Handler)(void*);

// Picks one overload or template specialisation of a converter by its
// argument type and stores it as a port handler.
template <class Arg> Handler as(void (Corvane::*converter)(Arg*)) { return reinterpret_cast<Handler>(converter); }

char noText[1] = {'\0'};
char* textOf(char* value) { return value != nullptr ? value : noText; }
const char* textOf(const char* value) { return value != nullptr ? value : noText; }

// Pieces of a text cut at every single blank; a blank at the very end
// yields no further piece.
template <class Visit> void splitAtBlanks(const char* text, Visit visit) {
    std::string piece;
    while (*text != '\0') {
        const char* blank = text;
        while (*blank != '\0' && *blank != ' ') ++blank;
        piece.assign(text, blank);
        visit(piece.c_str());
        text = *blank == ' ' ? blank + 1 : blank;
    }
}

template <class T, class Read> std::vector<T> splitInto(const char* text, Read read) {
    std::vector<T> values;
    splitAtBlanks(text, [&](const char* piece) { values.push_back(read(piece)); });
    return values;
}

short readShort(const char* text) { return static_cast<short>(vorn::parseInt(text)); }
float readFloat(const char* text) { return static_cast<float>(vorn::parseDouble(text)); }

// Converter objects live for the rest of the process (copies of an input
// record share them); they are kept here so they stay reachable. Inputs get
// them on whichever thread connects them, so the list has a lock.
void keepConverterObject(Corvane* object) {
    static std::mutex* lock = new std::mutex;
    static std::vector<Corvane*>* kept = new std::vector<Corvane*>;
    std::lock_guard<std::mutex> held(*lock);
    kept->push_back(object);
}

Handler numericTarget(vorn_type target, vorn_type source);
Handler textTarget(vorn_type target, vorn_type source);
Handler vectorTarget(vorn_type target, vorn_type source);

}  // namespace

void Corvane::Input::SetConverterFrom(vorn_type source) {
    converter = nullptr;
    if (type == source || type == vorn_any || source == vorn_any) {
        converter = callback;
        return;
    }
    Handler chosen = numericTarget(type, source);
    if (chosen == nullptr) chosen = textTarget(type, source);
    if (chosen == nullptr) chosen = vectorTarget(type, source);
    if (chosen == nullptr) return;
    converter = chosen;
    if (converterObject == nullptr) {
        converterObject = new Corvane(nullptr, "NoName");
        converterObject->converterCallback = callback;
        keepConverterObject(converterObject);
    }
}

Corvane* Corvane::FindReceiver(Corvane* receiver, vorn_type source, Corvane::Input& input) {
    input.SetConverterFrom(source);
    if (input.converter == nullptr) return nullptr;
    if (input.converter == input.callback) return receiver;
    input.converterObject->converterTarget = receiver;
    return input.converterObject;
}

namespace {

Handler numericTarget(vorn_type target, vorn_type source) {
    switch (target) {
        case vorn_short:
            switch (source) {
                case vorn_uint32: return as<unsigned int>(&Corvane::convertToShort);
                case vorn_int: return as<int>(&Corvane::convertToShort);
                case vorn_float: return as<float>(&Corvane::convertToShort);
                case vorn_double: return as<double>(&Corvane::convertToShort);
                case vorn_uint64: return as<unsigned long>(&Corvane::convertToShort);
                case vorn_cstring: return as<char>(&Corvane::convertToShort);
                case vorn_string: return as<std::string>(&Corvane::convertToShort);
                default: return nullptr;
            }
        case vorn_int:
            switch (source) {
                case vorn_short: return as<short>(&Corvane::convertToInt);
                case vorn_uint32: return as<unsigned int>(&Corvane::convertToInt);
                case vorn_float: return as<float>(&Corvane::convertToInt);
                case vorn_double: return as<double>(&Corvane::convertToInt);
                case vorn_uint64: return as<unsigned long>(&Corvane::convertToInt);
                case vorn_cstring: return as<char>(&Corvane::convertToInt);
                case vorn_string: return as<std::string>(&Corvane::convertToInt);
                default: return nullptr;
            }
        case vorn_float:
            switch (source) {
                case vorn_short: return as<short>(&Corvane::convertToFloat);
                case vorn_uint32: return as<unsigned int>(&Corvane::convertToFloat);
                case vorn_int: return as<int>(&Corvane::convertToFloat);
                case vorn_double: return as<double>(&Corvane::convertToFloat);
                case vorn_uint64: return as<unsigned long>(&Corvane::convertToFloat);
                case vorn_cstring: return as<char>(&Corvane::convertToFloat);
                case vorn_string: return as<std::string>(&Corvane::convertToFloat);
                default: return nullptr;
            }
        case vorn_double:
            switch (source) {
                case vorn_uint16: return as<unsigned short>(&Corvane::convertToDouble);
                case vorn_short: return as<short>(&Corvane::convertToDouble);
                case vorn_uint32: return as<unsigned int>(&Corvane::convertToDouble);
                case vorn_int: return as<int>(&Corvane::convertToDouble);
                case vorn_float: return as<float>(&Corvane::convertToDouble);
                case vorn_uint64: return as<unsigned long>(&Corvane::convertToDouble);
                case vorn_cstring: return as<char>(&Corvane::convertToDouble);
                case vorn_string: return as<std::string>(&Corvane::convertToDouble);
                default: return nullptr;
            }
        case vorn_uint64:
            switch (source) {
                case vorn_short: return as<short>(&Corvane::convertToInt64);
                case vorn_uint32: return as<unsigned int>(&Corvane::convertToInt64);
                case vorn_float: return as<float>(&Corvane::convertToInt64);
                case vorn_double: return as<double>(&Corvane::convertToInt64);
                case vorn_cstring: return as<char>(&Corvane::convertToInt64);
                case vorn_string: return as<std::string>(&Corvane::convertToInt64);
                default: return nullptr;
            }
        default: return nullptr;
    }
}

Handler textTarget(vorn_type target, vorn_type source) {
    if (target == vorn_cstring) {
        switch (source) {
            case vorn_uint16: return as<unsigned short>(&Corvane::convertToCString);
            case vorn_short: return as<short>(&Corvane::convertToCString);
            case vorn_uint32: return as<unsigned int>(&Corvane::convertToCString);
            case vorn_int: return as<int>(&Corvane::convertToCString);
            case vorn_float: return as<float>(&Corvane::convertToCString);
            case vorn_double: return as<double>(&Corvane::convertToCString);
            case vorn_uint64: return as<unsigned long>(&Corvane::convertToCString);
            case vorn_bool: return as<bool>(&Corvane::convertToCString);
            case vorn_string: return as<std::string>(&Corvane::convertToCString);
            case vorn_vector_short: return as<std::vector<short> >(&Corvane::convertToCString);
            case vorn_vector_int: return as<std::vector<int> >(&Corvane::convertToCString);
            case vorn_vector_uint64: return as<std::vector<unsigned long> >(&Corvane::convertToCString);
            case vorn_vector_float: return as<std::vector<float> >(&Corvane::convertToCString);
            case vorn_vector_double: return as<std::vector<double> >(&Corvane::convertToCString);
            case vorn_vector_string: return as<std::vector<std::string> >(&Corvane::convertToCString);
            case vorn_tavrel: return as<stringstore>(&Corvane::convertToCString);
            default: return nullptr;
        }
    }
    if (target == vorn_string) {
        switch (source) {
            case vorn_uint16: return as<unsigned short>(&Corvane::convertToString);
            case vorn_short: return as<short>(&Corvane::convertToString);
            case vorn_uint32: return as<unsigned int>(&Corvane::convertToString);
            case vorn_int: return as<int>(&Corvane::convertToString);
            case vorn_float: return as<float>(&Corvane::convertToString);
            case vorn_double: return as<double>(&Corvane::convertToString);
            case vorn_uint64: return as<unsigned long>(&Corvane::convertToString);
            case vorn_bool: return as<bool>(&Corvane::convertToString);
            case vorn_cstring: return as<char>(&Corvane::convertToString);
            case vorn_vector_short: return as<std::vector<short> >(&Corvane::convertToString);
            case vorn_vector_int: return as<std::vector<int> >(&Corvane::convertToString);
            case vorn_vector_uint64: return as<std::vector<unsigned long> >(&Corvane::convertToString);
            case vorn_vector_float: return as<std::vector<float> >(&Corvane::convertToString);
            case vorn_vector_double: return as<std::vector<double> >(&Corvane::convertToString);
            case vorn_tavrel: return as<stringstore>(&Corvane::convertToString);
            default: return nullptr;
        }
    }
    return nullptr;
}

Handler vectorTarget(vorn_type target, vorn_type source) {
    bool fromText = source == vorn_cstring || source == vorn_string;
    bool fromCString = source == vorn_cstring;
    switch (target) {
        case vorn_vector_short:
            if (!fromText) return nullptr;
            return fromCString ? as<char>(&Corvane::convertToShortV) : as<std::string>(&Corvane::convertToShortV);
        case vorn_vector_int:
            if (!fromText) return nullptr;
            return fromCString ? as<char>(&Corvane::convertToIntV) : as<std::string>(&Corvane::convertToIntV);
        case vorn_vector_float:
            if (!fromText) return nullptr;
            return fromCString ? as<char>(&Corvane::convertToFloatV) : as<std::string>(&Corvane::convertToFloatV);
        case vorn_vector_string:
            if (!fromText) return nullptr;
            return fromCString ? as<char>(&Corvane::convertToStringV) : as<std::string>(&Corvane::convertToStringV);
        case vorn_vector_double:
            switch (source) {
                case vorn_cstring: return as<char>(&Corvane::convertToDoubleV);
                case vorn_string: return as<std::string>(&Corvane::convertToDoubleV);
                case vorn_vector_short: return as<std::vector<short> >(&Corvane::convertToDoubleV);
                case vorn_vector_int: return as<std::vector<int> >(&Corvane::convertToDoubleV);
                case vorn_vector_uint64: return as<std::vector<unsigned long> >(&Corvane::convertToDoubleV);
                case vorn_vector_float: return as<std::vector<float> >(&Corvane::convertToDoubleV);
                default: return nullptr;
            }
        default: return nullptr;
    }
}

}  // namespace

// Numbers from numbers.

template <class T> void Corvane::convertToShort(T* value) {
    short converted = vorn::numericCast<short>(*value);
    deliverToConverter(&converted);
}

template <class T> void Corvane::convertToInt(T* value) {
    int converted = vorn::numericCast<int>(*value);
    deliverToConverter(&converted);
}

template <class T> void Corvane::convertToFloat(T* value) {
    float converted = static_cast<float>(*value);
    deliverToConverter(&converted);
}

template <class T> void Corvane::convertToDouble(T* value) {
    double converted = static_cast<double>(*value);
    deliverToConverter(&converted);
}

template <class T> void Corvane::convertToInt64(T* value) {
    unsigned long converted = vorn::numericCast<unsigned long>(*value);
    deliverToConverter(&converted);
}

// Numbers from text.

void Corvane::convertToShort(char* value) {
    short converted = static_cast<short>(vorn::parseInt(textOf(value)));
    deliverToConverter(&converted);
}
void Corvane::convertToShort(std::string* value) { convertToShort(const_cast<char*>(value->c_str())); }

void Corvane::convertToInt(char* value) {
    int converted = vorn::parseInt(textOf(value));
    deliverToConverter(&converted);
}
void Corvane::convertToInt(std::string* value) { convertToInt(const_cast<char*>(value->c_str())); }

void Corvane::convertToInt64(char* value) {
    unsigned long converted = vorn::parseUInt64(textOf(value));
    deliverToConverter(&converted);
}
void Corvane::convertToInt64(std::string* value) { convertToInt64(const_cast<char*>(value->c_str())); }

void Corvane::convertToFloat(char* value) {
    float converted = static_cast<float>(vorn::parseDouble(textOf(value)));
    deliverToConverter(&converted);
}
void Corvane::convertToFloat(std::string* value) { convertToFloat(const_cast<char*>(value->c_str())); }

void Corvane::convertToDouble(char* value) {
    double converted = vorn::parseDouble(textOf(value));
    deliverToConverter(&converted);
}
void Corvane::convertToDouble(std::string* value) { convertToDouble(const_cast<char*>(value->c_str())); }

// Text from numbers and other values.

template <class T> void Corvane::convertToCString(T* value) {
    char text[vorn::kNumberTextSize];
    vorn::formatNumber(text, *value);
    deliverToConverter(text);
}

template <class T> void Corvane::convertToString(T* value) {
    std::string text = vorn::toText(*value);
    deliverToConverter(&text);
}

void Corvane::convertToCString(bool* value) {
    char text[2] = {*value ? '1' : '0', '\0'};
    deliverToConverter(text);
}

void Corvane::convertToString(bool* value) {
    std::string text(1, *value ? '1' : '0');
    deliverToConverter(&text);
}

void Corvane::convertToCString(std::string* value) { deliverToConverter(&(*value)[0]); }

void Corvane::convertToString(char* value) {
    std::string text(textOf(value));
    deliverToConverter(&text);
}

void Corvane::convertToCString(stringstore* value) {
    std::string text(textOf(value->str()));
    deliverToConverter(&text[0]);
}

void Corvane::convertToString(stringstore* value) {
    std::string text(textOf(value->str()));
    deliverToConverter(&text);
}

template <class T> void Corvane::VectorToStream(std::vector<T>& values, std::ostream& out) {
    for (const T& value : values) out << vorn::toText(value) << ' ';
}

template <> void Corvane::VectorToStream<std::string>(std::vector<std::string>& values, std::ostream& out) {
    for (const std::string& value : values) out << value << ' ';
}

template <class T> void Corvane::convertToCString(std::vector<T>* value) {
    std::ostringstream out;
    VectorToStream(*value, out);
    std::string text = out.str();
    deliverToConverter(&text[0]);
}

template <class T> void Corvane::convertToString(std::vector<T>* value) {
    std::ostringstream out;
    VectorToStream(*value, out);
    std::string text = out.str();
    deliverToConverter(&text);
}

// Vectors.

template <class T> void Corvane::convertToDoubleV(std::vector<T>* value) {
    std::vector<double> converted(value->begin(), value->end());
    deliverToConverter(&converted);
}

void Corvane::convertToShortV(char* value) {
    std::vector<short> converted = splitInto<short>(textOf(value), readShort);
    deliverToConverter(&converted);
}
void Corvane::convertToShortV(std::string* value) { convertToShortV(const_cast<char*>(value->c_str())); }

void Corvane::convertToIntV(char* value) {
    std::vector<int> converted = splitInto<int>(textOf(value), vorn::parseInt);
    deliverToConverter(&converted);
}
void Corvane::convertToIntV(std::string* value) { convertToIntV(const_cast<char*>(value->c_str())); }

void Corvane::convertToFloatV(char* value) {
    std::vector<float> converted = splitInto<float>(textOf(value), readFloat);
    deliverToConverter(&converted);
}
void Corvane::convertToFloatV(std::string* value) { convertToFloatV(const_cast<char*>(value->c_str())); }

void Corvane::convertToDoubleV(char* value) {
    std::vector<double> converted = splitInto<double>(textOf(value), vorn::parseDouble);
    deliverToConverter(&converted);
}
void Corvane::convertToDoubleV(std::string* value) { convertToDoubleV(const_cast<char*>(value->c_str())); }

void Corvane::convertToStringV(char* value) {
    std::vector<std::string> converted =
        splitInto<std::string>(textOf(value), [](const char* piece) { return std::string(piece); });
    deliverToConverter(&converted);
}
void Corvane::convertToStringV(std::string* value) { convertToStringV(const_cast<char*>(value->c_str())); }

template void Corvane::VectorToStream<short>(std::vector<short>&, std::ostream&);
template void Corvane::VectorToStream<int>(std::vector<int>&, std::ostream&);
template void Corvane::VectorToStream<unsigned long>(std::vector<unsigned long>&, std::ostream&);
template void Corvane::VectorToStream<float>(std::vector<float>&, std::ostream&);
template void Corvane::VectorToStream<double>(std::vector<double>&, std::ostream&);
