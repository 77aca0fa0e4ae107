// Evaluating formula properties once per event, and deriving their binnings.
#include <algorithm>
#include <cmath>
#include <limits>
#include <type_traits>

#include "Tavrel.h"
#include "TextNumbers.h"
#include "parserTable.h"

namespace {

// Calls `use` with the vector that a property of a numeric vector type
// points to (an empty one for a null value); false for any other type.
template <class Use> bool withNumbers(vorn_type type, void* value, Use&& use) {
    auto pass = [&](auto* typed) {
        typedef typename std::remove_pointer<decltype(typed)>::type Vector;
        static const Vector none;
        use(typed ? *typed : none);
        return true;
    };
    switch (type) {
        case vorn_vector_short: return pass(static_cast<std::vector<short>*>(value));
        case vorn_vector_int: return pass(static_cast<std::vector<int>*>(value));
        case vorn_vector_float: return pass(static_cast<std::vector<float>*>(value));
        case vorn_vector_double: return pass(static_cast<std::vector<double>*>(value));
        default: return false;
    }
}

size_t numberCount(vorn_type type, void* value) {
    size_t count = 0;
    withNumbers(type, value, [&](const auto& values) { count = values.size(); });
    return count;
}

void evaluateFormulaOf(const FlowProperty* property) {
    if (property && property->formula) property->formula->eval();
}

// Differences are taken in the wider element type: int for short and int
// (held in long long so that no difference overflows), float when a float
// meets a short, int or float, double when either is double.
template <class A, class B>
using Difference = typename std::conditional<
    std::is_integral<A>::value && std::is_integral<B>::value, long long,
    typename std::conditional<std::is_same<A, double>::value || std::is_same<B, double>::value, double,
                              float>::type>::type;

template <class A, class B>
void appendDifferences(const std::vector<A>& a, const std::vector<B>& b, std::vector<double>& out) {
    typedef Difference<A, B> W;
    const size_t n = a.size();
    if (b.size() != n) return;
    // Sizes are checked again: `out` may be one of the inputs.
    for (size_t i = 0; i < n && i < a.size() && i < b.size(); ++i) {
        out.push_back(static_cast<double>(static_cast<W>(a[i]) - static_cast<W>(b[i])));
    }
}

template <class T> int truncated(T value) { return vorn::numericCast<int>(value); }

// Sum of `count` values from `from` on, fewer at the end; negative: all.
double sumFrom(const std::vector<double>& values, size_t from, int count) {
    size_t stop = count < 0 ? values.size() : std::min(values.size(), from + static_cast<size_t>(count));
    double sum = 0;
    for (size_t i = from; i < stop; ++i) sum += values[i];
    return sum;
}

// Position `index` counted from the front, or from the back when negative.
long long positionOf(int index, size_t size) {
    return index >= 0 ? index : static_cast<long long>(size) + index;
}

// Formula properties whose binning is being derived on this thread, so that
// a chain of first arguments that leads back to itself stops. Static TLS:
// a plug-in's dynamic TLS block outlives its unloading in the leak checker's
// view, and this library is loaded and unloaded with the plug-ins.
__attribute__((tls_model("initial-exec"))) thread_local std::vector<const FlowProperty*> binningsInProgress;

struct BinningGuard {
    explicit BinningGuard(const FlowProperty* property)
        : entered(std::find(binningsInProgress.begin(), binningsInProgress.end(), property) ==
                  binningsInProgress.end()) {
        if (entered) binningsInProgress.push_back(property);
    }
    ~BinningGuard() {
        if (entered) binningsInProgress.pop_back();
    }
    bool entered;
};

}  // namespace

// The cut flags of one evaluation: one per value of the cut property, true
// where the value lies in the cut's range or holds the cut's text.
struct formulaParser::Cut {
    vorn_type type = vorn_none;
    void* values = nullptr;
    size_t count = 0;
};

void formulaParser::setProperties() {
    if (propertiesSet) return;
    cutProperty = nullptr;
    indexProperty = nullptr;
    argumentProperties.clear();
    // The owning event, also when the property no longer holds this parser.
    Tavrel* event = parserTable::ownerOf(this);
    if (!event && property) event = property->owner;
    if (event && !CutProperty.empty()) cutProperty = event->GetProperty(CutProperty);
    if (event && !IndexVar.empty()) indexProperty = event->GetProperty(IndexVar);
    for (const std::string& argument : Arguments) {
        argumentProperties.push_back(event ? event->GetProperty(argument) : nullptr);
    }
    isSize = Function == "size";
    isDiff = Function == "diff";
    isAbs = Function == "abs";
    propertiesSet = true;
}

bool formulaParser::eval() {
    if (evaluated) return ok;
    evaluated = true;
    ok = false;
    setProperties();
    Cut cut = cutFlags();
    if (Map.empty()) {
        if (argumentProperties.size() == 2 && isDiff && argumentProperties[0] && argumentProperties[1]) {
            computeDifferences();
        } else if (!argumentProperties.empty() && argumentProperties[0]) {
            if (!computeValues(*argumentProperties[0], cut)) return false;
        }
    }
    selectValues();
    ok = true;
    return true;
}

void formulaParser::Reset() {
    if (constant) return;
    evaluated = false;
    result->clear();
}

formulaParser::Cut formulaParser::cutFlags() {
    Cut cut;
    if (CutProperty.empty() || !cutProperty) return cut;
    evaluateFormulaOf(cutProperty);
    // A cut on this formula itself would read values still being computed.
    if (!cutProperty->value || cutProperty->value == result) return cut;
    if (cutProperty->type == vorn_vector_string) {
        if (CutString.empty()) return cut;
        cut.count = static_cast<std::vector<std::string>*>(cutProperty->value)->size();
    } else {
        cut.count = numberCount(cutProperty->type, cutProperty->value);
    }
    if (cut.count) {
        cut.type = cutProperty->type;
        cut.values = cutProperty->value;
    }
    return cut;
}

void formulaParser::computeDifferences() {
    const FlowProperty& a = *argumentProperties[0];
    const FlowProperty& b = *argumentProperties[1];
    evaluateFormulaOf(&a);
    evaluateFormulaOf(&b);
    withNumbers(a.type, a.value, [&](const auto& first) {
        withNumbers(b.type, b.value, [&](const auto& second) { appendDifferences(first, second, *result); });
    });
}

bool formulaParser::computeValues(const FlowProperty& argument, const Cut& cut) {
    evaluateFormulaOf(&argument);
    if (isSize) result->push_back(0);
    return withNumbers(argument.type, argument.value, [&](const auto& values) { computeOver(values, cut); });
}

// One flag decides for all values; as many flags as values decide one by
// one; any other number of flags selects every value. The cut's values do
// not change meanwhile: the cut was evaluated first and is never this
// formula's own result.
template <class T> void formulaParser::computeOver(const std::vector<T>& values, const Cut& cut) {
    auto every = [](size_t) { return true; };
    if (cut.count != 1 && cut.count != values.size()) return appendValues(values, every);

    const double from = CutBegin, to = CutBegin + CutLength;
    bool decided;
    if (cut.type == vorn_vector_string) {
        const std::string* texts = static_cast<std::vector<std::string>*>(cut.values)->data();
        auto holds = [&](size_t i) { return texts[i].find(CutString) != std::string::npos; };
        if (cut.count > 1) return appendValues(values, holds);
        decided = holds(0);
    } else {
        decided = false;
        withNumbers(cut.type, cut.values, [&](const auto& cutValues) {
            const auto* c = cutValues.data();
            auto inRange = [c, from, to](size_t i) {
                const double v = c[i];
                return from <= v && v < to;
            };
            if (cut.count > 1) return appendValues(values, inRange);
            decided = inRange(0);
        });
        if (cut.count > 1) return;
    }
    if (decided) appendValues(values, every);
}

template <class T, class Selected>
void formulaParser::appendValues(const std::vector<T>& values, Selected selected) {
    // This formula's own values as its argument: read a copy, since the
    // result grows below.
    if (static_cast<const void*>(&values) == result) {
        const std::vector<T> copy(values);
        return appendValues(copy, selected);
    }
    std::vector<double>& out = *result;
    const size_t n = values.size();
    const T* x = values.data();
    if (isSize) {
        size_t count = 0;
        for (size_t i = 0; i < n; ++i) count += selected(i) ? 1 : 0;
        out.back() += static_cast<double>(count);
        return;
    }
    const double scale = Factor / Divider;
    const double offset = Offset;
    const long long modulus = Modulus;
    const size_t start = out.size();
    out.resize(start + n);
    double* o = out.data() + start;
    size_t k = 0;
    if (isAbs) {
        for (size_t i = 0; i < n; ++i) {
            if (selected(i)) o[k++] = offset + std::fabs(x[i] * scale);
        }
    } else if (modulus != 0) {
        // The remainder of the value as an int, with the sign of that int.
        for (size_t i = 0; i < n; ++i) {
            if (selected(i)) o[k++] = static_cast<double>(truncated(x[i]) % modulus) * scale + offset;
        }
    } else {
        for (size_t i = 0; i < n; ++i) {
            if (selected(i)) o[k++] = x[i] * scale + offset;
        }
    }
    out.resize(start + k);
}

void formulaParser::selectValues() {
    std::vector<double>& values = *result;
    if (indexProperty) {
        // Each index value picks a map value, or reduces the result to one.
        withNumbers(indexProperty->type, indexProperty->value, [&](const auto& indices) {
            const size_t n = indices.size();
            for (size_t i = 0; i < n && i < indices.size(); ++i) {
                const double v = indices[i];
                if (0 <= v && v < static_cast<double>(Map.size())) {
                    values.push_back(Map[static_cast<size_t>(v)]);
                } else if (0 <= v && v < static_cast<double>(values.size())) {
                    double kept = values[static_cast<size_t>(v)];
                    values.assign(1, kept);
                }
            }
        });
        return;
    }
    if (Map.empty()) {
        if (all) return;
        long long k = positionOf(Index, values.size());
        if (k < 0 || k >= static_cast<long long>(values.size())) {
            values.clear();
            return;
        }
        double kept = hasSum ? sumFrom(values, static_cast<size_t>(k), Sum) : values[static_cast<size_t>(k)];
        values.assign(1, kept);
        return;
    }
    if (all) {
        values = Map;
        return;
    }
    long long k = positionOf(Index, Map.size());
    if (k < 0 || k >= static_cast<long long>(Map.size())) return;
    values.push_back(hasSum ? sumFrom(Map, static_cast<size_t>(k), Sum) : Map[static_cast<size_t>(k)]);
}

void FlowProperty::SetBinnings() {
    if (!formula) return;
    BinningGuard guard(this);
    if (!guard.entered) return;
    const formulaParser& f = *formula;
    const double scale = f.Factor / f.Divider;
    if (!f.Arguments.empty() && f.Arguments[0] == f.CutProperty) {
        binning.min = scale * f.CutBegin + f.Offset;
        binning.max = scale * (f.CutBegin + f.CutLength) + f.Offset;
        binning.bins = vorn::numericCast<int>(f.CutLength);
    } else if (!f.Arguments.empty()) {
        FlowProperty* source = owner ? owner->GetProperty(f.Arguments[0]) : nullptr;
        if (!source) return;
        if (source->formula) source->SetBinnings();
        binning.min = scale * source->binning.min + f.Offset;
        binning.max = scale * source->binning.max + f.Offset;
        binning.bins = source->binning.bins;
    } else if (!f.Map.empty()) {
        auto range = std::minmax_element(f.Map.begin(), f.Map.end());
        binning.min = *range.first;
        binning.max = *range.second;
        binning.bins = static_cast<int>(std::min<size_t>(f.Map.size(), std::numeric_limits<int>::max()));
        // Each map value starts a bin of equal width; a lone value gets width 1.
        binning.max += binning.bins > 1 ? (binning.max - binning.min) / (binning.bins - 1) : 1;
    }
}
