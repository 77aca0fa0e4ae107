#include <algorithm>
#include <cmath>
#include <iostream>
#include <locale>
#include <sstream>
#include <string>
#include <type_traits>
#include <vector>

#include "Corvane.h"
#include "RecordInput.h"
#include "Tavrel.h"

// Gates event records by a cut on one property: each record goes on,
// unchanged, to "pass" when the cut holds and to "fail" when it does not.
// Announcements go to both outputs, so every module behind either sets
// itself up.
//
// Threads: built on the flow's creating thread, fed on the flow thread.
class Drovin : public Corvane {
public:
    explicit Drovin(std::string& instanceName);
    ~Drovin() override;

    void Init() override;
    void Reset() override;

private:
    enum Operation {
        kBlock = 0, kEqual, kLess, kGreater, kGrep,
        kDistinctEqual, kDistinctLess, kDistinctGreater,
        kSpreadEqual, kSpreadLess, kSpreadGreater,
        kSizeEqual, kSizeLess, kSizeGreater
    };

    void setCut(void* value);
    void processFe(void* value);

    // Looks the cut property up in `event`; a missing one blocks. Without a
    // cut the path is empty and is looked up (and reported) all the same.
    void resolve(Tavrel& event);
    bool check();
    template <class T> bool checkVector(std::vector<T>& values);
    bool checkVector(std::vector<std::string>& values);
    // Whether `quantity` compares with some cut value as the operation's
    // kind (equal, less, greater) asks.
    bool compareQuantity(double quantity, int kind) const;

    std::vector<double> cutValues;
    std::vector<std::string> cutWords;
    std::string cutProperty;
    int cutOperation;
    Tavrel* resolvedEvent;
    void* cutValue;
    vorn_type cutType;
    formulaParser* cutFormula;
    RecordInput recordInput;
};

namespace {

const char* const kOperators[] = {"=", "<", ">", "grep", "m=", "m<", "m>", "d=", "d<", "d>", "s=", "s<", "s>"};

int operationOf(const std::string& word) {
    for (size_t i = 0; i < sizeof kOperators / sizeof kOperators[0]; ++i)
        if (word == kOperators[i]) return static_cast<int>(i) + 1;
    return 0;
}

// 0 equal, 1 less, 2 greater: the comparison of codes 1-3, 5-7, 8-10, 11-13.
int kindOf(int operation) { return operation <= 3 ? operation - 1 : (operation - 5) % 3; }

template <class T> bool isNan(T value) {
    if constexpr (std::is_floating_point<T>::value)
        return std::isnan(value);
    else
        return false;
}

// Number of distinct values; all NaNs count as one value.
template <class T> size_t distinctCount(const std::vector<T>& values) {
    std::vector<T> sorted;
    sorted.reserve(values.size());
    bool nan = false;
    for (const T& value : values) {
        if (isNan(value))
            nan = true;
        else
            sorted.push_back(value);
    }
    std::sort(sorted.begin(), sorted.end());
    return static_cast<size_t>(std::unique(sorted.begin(), sorted.end()) - sorted.begin()) + (nan ? 1 : 0);
}

// Largest minus smallest element as a double, computed so that no integer
// type overflows; NaN elements are left out. An empty list has spread 0.
template <class T> double spreadOf(const std::vector<T>& values) {
    if (values.empty()) return 0;
    bool found = false;
    T low = T(), high = T();
    for (const T& value : values) {
        if (isNan(value)) continue;
        if (!found || value < low) low = value;
        if (!found || value > high) high = value;
        found = true;
    }
    if (!found) return std::nan("");
    if constexpr (std::is_unsigned<T>::value)
        return static_cast<double>(high - low);
    else
        return static_cast<double>(high) - static_cast<double>(low);
}

}  // namespace

Drovin::Drovin(std::string& instanceName)
    : Corvane(nullptr, "NoName"),
      cutOperation(kBlock),
      resolvedEvent(nullptr),
      cutValue(nullptr),
      cutType(vorn_none),
      cutFormula(nullptr) {
    name = instanceName;
    description = "Lets through Tavrels that satisfy condition, does not break up Tavrels";
    inputs.push_back(Input("fevent", CORVANE_HANDLER(&Drovin::processFe), vorn_tavrel, "Tavrel to be analysed"));
    inputs.push_back(Input("cut", CORVANE_HANDLER(&Drovin::setCut), vorn_string,
                           "Cut string (e.g. 'bla > 7', 'bla = 1 3 6', 'bla s< 3') spaces are needed."));
    outputs.push_back(Output("pass", vorn_tavrel, "Tavrel satisfying cut."));
    outputs.push_back(Output("fail", vorn_tavrel, "Tavrel failing cut."));
}

Drovin::~Drovin() { std::cout << name << " deleted" << std::endl; }

void Drovin::Init() { std::cout << name << " initialized." << std::endl; }

void Drovin::Reset() {}

void Drovin::setCut(void* value) {
    std::istringstream in(*static_cast<std::string*>(value));
    in.imbue(std::locale::classic());
    std::string word;
    cutProperty.clear();
    in >> cutProperty >> word;
    cutOperation = operationOf(word);
    if (cutOperation == kBlock) std::cout << name << ": I don't understand '" << word << "'. Blocking." << std::endl;
    cutValues.clear();
    cutWords.clear();
    resolvedEvent = nullptr;
    cutValue = nullptr;
    cutFormula = nullptr;
    if (cutOperation == kGrep) {
        while (in >> word) cutWords.push_back(word);
    } else {
        double number;
        while (in >> number) cutValues.push_back(number);
    }
}

void Drovin::resolve(Tavrel& event) {
    resolvedEvent = &event;
    cutValue = nullptr;
    cutFormula = nullptr;
    cutType = vorn_none;
    FlowProperty* property = event.GetProperty(cutProperty);
    if (property == nullptr) {
        std::cout << name << ": Cut property " << cutProperty << " not found. Blocking." << std::endl;
        return;
    }
    cutValue = property->value;
    cutType = property->type;
    cutFormula = property->formula;
}

void Drovin::processFe(void* value) {
    Tavrel* event = recordInput.accept(*this, value);
    if (event == nullptr) return;
    if (event != resolvedEvent || event->announce) resolve(*event);
    if (event->announce) {
        SendOutput(0u, value);
        SendOutput(1u, value);
        return;
    }
    if (cutFormula != nullptr) cutFormula->eval();
    SendOutput(check() ? 0u : 1u, value);
}

bool Drovin::check() {
    if (cutValue == nullptr) return false;
    switch (cutType) {
        case vorn_vector_short: return checkVector(*static_cast<std::vector<short>*>(cutValue));
        case vorn_vector_int: return checkVector(*static_cast<std::vector<int>*>(cutValue));
        case vorn_vector_uint64: return checkVector(*static_cast<std::vector<unsigned long>*>(cutValue));
        case vorn_vector_float: return checkVector(*static_cast<std::vector<float>*>(cutValue));
        case vorn_vector_double: return checkVector(*static_cast<std::vector<double>*>(cutValue));
        case vorn_vector_string: return checkVector(*static_cast<std::vector<std::string>*>(cutValue));
        default: return false;
    }
}

bool Drovin::compareQuantity(double quantity, int kind) const {
    for (double cut : cutValues) {
        if (kind == 0 && quantity == cut) return true;
        if (kind == 1 && quantity < cut) return true;
        if (kind == 2 && quantity > cut) return true;
    }
    return false;
}

template <class T> bool Drovin::checkVector(std::vector<T>& values) {
    switch (cutOperation) {
        case kEqual: case kLess: case kGreater:
            for (const T& element : values)
                if (compareQuantity(static_cast<double>(element), kindOf(cutOperation))) return true;
            return false;
        case kGrep:
            std::cout << name << ": grep not applicable for non-strings" << std::endl;
            return false;
        case kDistinctEqual: case kDistinctLess: case kDistinctGreater:
            return compareQuantity(static_cast<double>(distinctCount(values)), kindOf(cutOperation));
        case kSpreadEqual: case kSpreadLess: case kSpreadGreater:
            return compareQuantity(spreadOf(values), kindOf(cutOperation));
        case kSizeEqual: case kSizeLess: case kSizeGreater:
            return compareQuantity(static_cast<double>(values.size()), kindOf(cutOperation));
        default:
            return false;
    }
}

bool Drovin::checkVector(std::vector<std::string>& values) {
    switch (cutOperation) {
        case kEqual: case kLess: case kGreater:
            std::cout << name << ": operation not valid for strings." << std::endl;
            return false;
        case kGrep:
            for (const std::string& element : values)
                for (const std::string& word : cutWords)
                    if (element.find(word) != std::string::npos) return true;
            return false;
        case kDistinctEqual: case kDistinctLess: case kDistinctGreater:
            return compareQuantity(static_cast<double>(distinctCount(values)), kindOf(cutOperation));
        case kSpreadEqual: case kSpreadLess: case kSpreadGreater:
            for (size_t i = 0; i < cutValues.size(); ++i)
                std::cout << name << ": operation not valid for strings." << std::endl;
            return false;
        case kSizeEqual: case kSizeLess: case kSizeGreater:
            return compareQuantity(static_cast<double>(values.size()), kindOf(cutOperation));
        default:
            return false;
    }
}

CORVANE_MODULE(Drovin)
