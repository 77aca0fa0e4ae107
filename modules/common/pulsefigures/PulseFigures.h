#ifndef ZARN_MODULES_COMMON_PULSEFIGURES_PULSEFIGURES_H
#define ZARN_MODULES_COMMON_PULSEFIGURES_PULSEFIGURES_H

#include <cstddef>
#include <string>
#include <vector>

// The figures of one digitised pulse (sample i at index i) that a pulse
// plot shows beside it as fit parameters.
//
// Threads: any; nothing is shared.
struct PulseFigures {
    // Running halving average over the first 30 samples: each sample
    // weighs as much as all before it together.
    double pedestal = 0.0;
    // The highest sample above 0 (0 when none is), and the index where it
    // first occurs (0 when none is).
    double height = 0.0;
    size_t maxPos = 0;
};

// The figures of `samples`; NaN samples never count as a maximum.
PulseFigures measurePulse(const std::vector<double>& samples);

// A fit parameter's text "<value> <error>" for a figure: the integer part
// of `value` (truncated toward zero, saturating, NaN as 0) and error 0.
std::string figureText(double value);
std::string figureText(size_t value);

// The text of a value shown in the info box: six significant digits as
// the stream prints them, then error 0.
std::string infoValueText(double value);

// Splits info labels such as "FW-Max=0, FW-Time=2" at ',' (no trailing
// empty piece): each piece, without its leading ' ', '.' and ';', gives the
// annotation key "fit.param." + its text up to the first '=' and, read as
// atoi reads the text after that '=' (the whole piece without one), the
// index of the value the key shows.
void parseInfoLabels(const char* text, std::vector<std::string>& keys, std::vector<int>& indices);

#endif
