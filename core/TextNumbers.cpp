#include "TextNumbers.h"

#include <charconv>
#include <clocale>
#include <cstdlib>
#include <locale.h>

namespace vorn {
namespace {

bool isSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

const char* skipSpace(const char* text) {
    while (isSpace(*text)) ++text;
    return text;
}

locale_t cLocale() {
    static locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    return locale;
}

// Reads sign and digits; returns the magnitude saturated at `limit`.
unsigned long readDigits(const char*& text, bool& negative, unsigned long limit) {
    text = skipSpace(text);
    negative = false;
    if (*text == '+' || *text == '-') negative = *text++ == '-';
    unsigned long magnitude = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        unsigned digit = static_cast<unsigned>(*text - '0');
        magnitude = magnitude > (limit - digit) / 10 ? limit : magnitude * 10 + digit;
    }
    return magnitude;
}

}  // namespace

int parseInt(const char* text) {
    bool negative;
    const unsigned long limit = static_cast<unsigned long>(std::numeric_limits<int>::max()) + 1;
    unsigned long magnitude = readDigits(text, negative, limit);
    if (negative) return magnitude >= limit ? std::numeric_limits<int>::min() : -static_cast<int>(magnitude);
    return magnitude >= limit ? std::numeric_limits<int>::max() : static_cast<int>(magnitude);
}

unsigned long parseUInt64(const char* text) {
    bool negative;
    unsigned long magnitude = readDigits(text, negative, std::numeric_limits<unsigned long>::max());
    return negative ? 0 - magnitude : magnitude;
}

double parseDouble(const char* text) { return strtod_l(text, nullptr, cLocale()); }

int formatNumber(char* buffer, double value) {
    auto result = std::to_chars(buffer, buffer + kNumberTextSize - 1, value, std::chars_format::general, 6);
    *result.ptr = '\0';
    return static_cast<int>(result.ptr - buffer);
}

int formatNumber(char* buffer, long value) {
    auto result = std::to_chars(buffer, buffer + kNumberTextSize - 1, value);
    *result.ptr = '\0';
    return static_cast<int>(result.ptr - buffer);
}

int formatNumber(char* buffer, unsigned long value) {
    auto result = std::to_chars(buffer, buffer + kNumberTextSize - 1, value);
    *result.ptr = '\0';
    return static_cast<int>(result.ptr - buffer);
}

}  // namespace vorn
