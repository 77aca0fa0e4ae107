#ifndef ZARN_TESTS_EVENT_EVENTFIXTURES_H
#define ZARN_TESTS_EVENT_EVENTFIXTURES_H

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "Captured.h"
#include "Tavrel.h"

// The type code of a stored value type.
template <class T> struct TypeCode;
template <> struct TypeCode<double> { static constexpr vorn_type code = vorn_double; };
template <> struct TypeCode<std::vector<short>> { static constexpr vorn_type code = vorn_vector_short; };
template <> struct TypeCode<std::vector<int>> { static constexpr vorn_type code = vorn_vector_int; };
template <> struct TypeCode<std::vector<float>> { static constexpr vorn_type code = vorn_vector_float; };
template <> struct TypeCode<std::vector<double>> { static constexpr vorn_type code = vorn_vector_double; };
template <> struct TypeCode<std::vector<std::string>> { static constexpr vorn_type code = vorn_vector_string; };
template <> struct TypeCode<Tavrel> { static constexpr vorn_type code = vorn_tavrel; };

// An event record together with the storage its properties point to, as a
// producer module keeps it.
class ProducedEvent {
public:
    // Adds property `name` holding `value` in storage of its own.
    template <class T> T& add(const std::string& name, T value, FlowBinning binning = FlowBinning()) {
        auto stored = std::make_shared<T>(std::move(value));
        storage.push_back(stored);
        event[name] = FlowProperty(TypeCode<T>::code, binning, stored.get());
        return *stored;
    }
    // Adds a nested event record.
    Tavrel& nest(const std::string& name) {
        auto nested = std::make_shared<Tavrel>();
        storage.push_back(nested);
        event[name] = FlowProperty(vorn_tavrel, FlowBinning(), nested.get());
        return *nested;
    }
    // The formula property defined by `definition`, parsed quietly.
    FlowProperty& formula(const std::string& definition);

    std::vector<std::shared_ptr<void>> storage;
    Tavrel event;
};

// The test definitions name their property with their first word.
inline FlowProperty& ProducedEvent::formula(const std::string& definition) {
    captured::stdoutOf([&] { event.ParseFormula(definition); });
    return event.properties.at(definition.substr(0, definition.find_first_of(" (=")));
}

#endif
