#ifndef ZARN_CORE_TEXTNUMBERS_H
#define ZARN_CORE_TEXTNUMBERS_H

#include <cmath>
#include <limits>
#include <string>
#include <type_traits>

// Text to number and number to text, independent of the process locale.
// Reading follows atoi/atof: leading white space is skipped, reading stops
// at the first character that does not fit, text without a number gives 0.
// Any thread may call these.
namespace vorn {

// atoi: optional sign and decimal digits; out-of-range values saturate.
int parseInt(const char* text);
// A 64-bit reading: "-1" gives 2^64-1, as strtoull reads it.
unsigned long parseUInt64(const char* text);
// atof: a floating-point number as strtod reads it in the C locale.
double parseDouble(const char* text);

// Writes `value` as the default stream formatting would (integers in
// decimal, floating point as %g with six significant digits) into `buffer`
// of at least `kNumberTextSize` bytes, NUL-terminated; returns the length.
constexpr int kNumberTextSize = 32;
int formatNumber(char* buffer, double value);
int formatNumber(char* buffer, long value);
int formatNumber(char* buffer, unsigned long value);
inline int formatNumber(char* buffer, float value) { return formatNumber(buffer, static_cast<double>(value)); }
inline int formatNumber(char* buffer, int value) { return formatNumber(buffer, static_cast<long>(value)); }
inline int formatNumber(char* buffer, short value) { return formatNumber(buffer, static_cast<long>(value)); }
inline int formatNumber(char* buffer, unsigned int value) { return formatNumber(buffer, static_cast<unsigned long>(value)); }
inline int formatNumber(char* buffer, unsigned short value) { return formatNumber(buffer, static_cast<unsigned long>(value)); }

template <class T> std::string toText(T value) {
    char buffer[kNumberTextSize];
    int length = formatNumber(buffer, value);
    return std::string(buffer, length);
}

// Converts to an integer type; floating-point values are truncated toward
// zero and saturate at the type's limits (NaN gives 0). Integer sources are
// cut to the target's width as C++ does.
template <class To, class From> To numericCast(From value) {
    if constexpr (std::is_floating_point<From>::value && std::is_integral<To>::value) {
        if (std::isnan(value)) return 0;
        if (value <= static_cast<From>(std::numeric_limits<To>::min())) return std::numeric_limits<To>::min();
        if (value >= static_cast<From>(std::numeric_limits<To>::max())) return std::numeric_limits<To>::max();
        return static_cast<To>(value);
    } else {
        return static_cast<To>(value);
    }
}

}  // namespace vorn

#endif
