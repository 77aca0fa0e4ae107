#include "HistoInputs.h"

#include <cmath>
#include <iostream>

#include "TextNumbers.h"

namespace histoinputs {

bool cellsAllowed(const std::string& module, const std::string& histogram, long long cells) {
    if (cells <= kMaxCells) return true;
    std::cout << module << ": Cannot create histogram " << histogram << " with more than " << kMaxCells << " bins"
              << std::endl;
    return false;
}

bool takeDivisor(const std::string& module, const char* text, double& divisor) {
    double value = vorn::parseDouble(text + 1);
    if (!std::isfinite(value) || value <= 0) {
        std::cout << module << ": Bin divisor " << text << " refused." << std::endl;
        return false;
    }
    divisor = value;
    return true;
}

int dividedBins(const FlowBinning& binning, double divisor) { return vorn::numericCast<int>(binning.bins / divisor); }

bool takeInputBinning(const std::vector<double>& list, FlowBinning& inputBinning, FlowBinning*& binning,
                      bool& byInput) {
    if (list.size() != 3) return false;
    inputBinning.bins = vorn::numericCast<int>(list[0]);
    inputBinning.min = list[1];
    inputBinning.max = list[2];
    byInput = inputBinning.bins != 0;
    if (!byInput) return false;
    binning = &inputBinning;
    return true;
}

FlowBinning* adoptBinning(const FlowBinning& offered, bool byInput, FlowBinning& propertyBinning,
                          FlowBinning& inputBinning) {
    if ((offered.bins >= 1 || !offered.values.empty()) && !byInput) {
        propertyBinning = offered;
        return &propertyBinning;
    }
    return &inputBinning;
}

void addSetInputs(std::vector<Corvane::Input>& inputs, const SetHandlers& handlers, vorn_type channelType) {
    typedef Corvane::Input Input;
    inputs.push_back(Input("title", handlers.title, vorn_string, "Default: name of module"));
    inputs.push_back(Input("labels", handlers.labels, vorn_vector_string,
                           "Labels for Histo numbering, i.e. \"Module Channel\""));
    inputs.push_back(Input("dimension", handlers.dimension, vorn_vector_int,
                           "Number of histos, i.e. \"3 4 2\" for 24 histos in 3 folders, each containing 4 "
                           "folders, each containing 2 histos"));
    inputs.push_back(Input("address", handlers.address, vorn_vector_int,
                           "Address of histo the current data belongs to, i.e. \"1 3 0\" (numbering starts "
                           "with 0!)"));
    inputs.push_back(Input("channel", handlers.channel, channelType, "Same as address but as plain channel index"));
    inputs.push_back(Input("path", handlers.path, vorn_string, "Path in the AIDA memory tree. Default is /Histograms."));
}

bool takeText(void* value, std::string& field) {
    const std::string& text = *static_cast<std::string*>(value);
    if (text.empty()) return false;
    field = text;
    return true;
}

}  // namespace histoinputs
