#include "Selectable.h"

#include <iostream>
#include <vector>

namespace {

template <class T> void viewOf(void* list, ListView& view) {
    std::vector<T>& values = *static_cast<std::vector<T>*>(list);
    view.first = reinterpret_cast<char*>(values.data());
    view.count = values.size();
    view.stride = sizeof(T);
}

bool viewList(void* list, vorn_type type, ListView& view) {
    if (list == nullptr) return false;
    switch (type) {
        case vorn_vector_short: viewOf<short>(list, view); return true;
        case vorn_vector_int: viewOf<int>(list, view); return true;
        case vorn_vector_uint64: viewOf<unsigned long>(list, view); return true;
        case vorn_vector_float: viewOf<float>(list, view); return true;
        case vorn_vector_double: viewOf<double>(list, view); return true;
        case vorn_vector_vector_short: viewOf<std::vector<short> >(list, view); return true;
        case vorn_vector_vector_int: viewOf<std::vector<int> >(list, view); return true;
        case vorn_vector_vector_float: viewOf<std::vector<float> >(list, view); return true;
        case vorn_vector_vector_double: viewOf<std::vector<double> >(list, view); return true;
        default: return false;
    }
}

void unwire(Corvane::Output& out) {
    out.receivers.clear();
    out.receiverInputs.clear();
    out.targets.clear();
    out.methods.clear();
}

std::string inputName(Corvane& module, int index) {
    std::vector<Corvane::Input>& inputs = *module.GetInputs();
    return index >= 0 && static_cast<size_t>(index) < inputs.size() ? inputs[index].name : std::string();
}

}  // namespace

void selectFlowInput(Corvane& module, const char* text, std::string& path, bool printSelected) {
    path = text != nullptr ? text : "";
    module.connectionChanged = true;
    if (printSelected) std::cout << path << " selected." << std::endl;
}

bool ConnectInternal(Corvane& module, Corvane::Output& out, int inputIndex) {
    unwire(out);
    std::vector<Corvane::Input>& inputs = *module.GetInputs();
    if (inputIndex < 0 || static_cast<size_t>(inputIndex) >= inputs.size()) return false;
    // An untyped signal carries no value: it would reach the handler as it is.
    if (out.type == vorn_none || out.type == vorn_any) return false;
    Corvane::Input& input = inputs[inputIndex];
    Corvane* target = module.FindReceiver(&module, out.type, input);
    if (target == nullptr) return false;
    out.receivers.push_back(&module);
    out.receiverInputs.push_back(static_cast<unsigned int>(inputIndex));
    out.targets.push_back(target);
    out.methods.push_back(input.converter);
    return true;
}

SelectedValue::SelectedValue(int inputIndex, Unit unit)
    : value(nullptr),
      propertyType(vorn_none),
      formula(nullptr),
      vectorMode(false),
      inputIndex(inputIndex),
      unit(unit) {}

void SelectedValue::select(Corvane& module, const char* text, bool printSelected) {
    selectFlowInput(module, text, path, printSelected);
    clear();
}

void SelectedValue::clear() {
    value = nullptr;
    propertyType = vorn_none;
    formula = nullptr;
    vectorMode = false;
    output.type = vorn_none;
    unwire(output);
}

vorn_type SelectedValue::unitType(vorn_type type, bool& list) const {
    list = true;
    if (unit == kElements) {
        switch (type) {
            case vorn_vector_short: return vorn_short;
            case vorn_vector_int: return vorn_int;
            case vorn_vector_uint64: return vorn_uint64;
            case vorn_vector_float: return vorn_float;
            case vorn_vector_double: return vorn_double;
            default: break;
        }
    } else if (unit == kInnerLists) {
        switch (type) {
            case vorn_vector_vector_short: return vorn_vector_short;
            case vorn_vector_vector_int: return vorn_vector_int;
            case vorn_vector_vector_float: return vorn_vector_float;
            case vorn_vector_vector_double: return vorn_vector_double;
            default: break;
        }
    }
    list = false;
    return type;
}

FlowProperty* SelectedValue::resolve(Corvane& module, Tavrel& record) {
    if (path.empty()) {
        clear();
        return nullptr;
    }
    FlowProperty* property = record.GetProperty(path);
    if (property == nullptr || property->value == nullptr) {
        clear();
        return nullptr;
    }
    bool list = false;
    vorn_type delivered = unitType(property->type, list);
    if (delivered != output.type || output.receivers.empty()) {
        output.type = delivered;
        if (!ConnectInternal(module, output, inputIndex)) {
            std::cout << module.GetName() << ": Property " << path << " of type " << static_cast<int>(property->type)
                      << " cannot reach input " << inputName(module, inputIndex) << "." << std::endl;
            clear();
            return nullptr;
        }
    }
    value = property->value;
    propertyType = property->type;
    formula = property->formula;
    vectorMode = list;
    return property;
}

bool SelectedValue::units(ListView& view) {
    if (!vectorMode || value == nullptr) return false;
    if (formula != nullptr) formula->eval();
    return viewList(value, propertyType, view);
}
