#include "PulseFigures.h"

#include "TextNumbers.h"

namespace {

// Samples from this index on no longer move the pedestal.
const size_t kPedestalSamples = 30;

}  // namespace

PulseFigures measurePulse(const std::vector<double>& samples) {
    PulseFigures figures;
    for (size_t i = 0; i < samples.size(); ++i) {
        double sample = samples[i];
        if (i == 0)
            figures.pedestal = sample;
        else if (i < kPedestalSamples)
            figures.pedestal = (sample + figures.pedestal) / 2.0;
        if (sample > figures.height) {
            figures.height = sample;
            figures.maxPos = i;
        }
    }
    return figures;
}

std::string figureText(double value) { return vorn::toText(vorn::numericCast<long>(value)) + " 0"; }

std::string figureText(size_t value) { return vorn::toText(static_cast<unsigned long>(value)) + " 0"; }

std::string infoValueText(double value) { return vorn::toText(value) + " 0"; }

void parseInfoLabels(const char* text, std::vector<std::string>& keys, std::vector<int>& indices) {
    keys.clear();
    indices.clear();
    std::string labels = text != nullptr ? text : "";
    size_t start = 0;
    while (start < labels.size()) {
        size_t comma = labels.find(',', start);
        if (comma == std::string::npos) comma = labels.size();
        std::string piece = labels.substr(start, comma - start);
        start = comma + 1;
        size_t first = piece.find_first_not_of(" .;");
        piece.erase(0, first == std::string::npos ? piece.size() : first);
        size_t equals = piece.find('=');
        keys.push_back("fit.param." + piece.substr(0, equals));
        indices.push_back(vorn::parseInt(equals == std::string::npos ? piece.c_str() : piece.c_str() + equals + 1));
    }
}
