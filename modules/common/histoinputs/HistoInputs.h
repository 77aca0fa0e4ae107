#ifndef ZARN_MODULES_COMMON_HISTOINPUTS_HISTOINPUTS_H
#define ZARN_MODULES_COMMON_HISTOINPUTS_HISTOINPUTS_H

#include <string>
#include <vector>

#include "Corvane.h"
#include "Tavrel.h"

// What the histogram modules do alike with their inputs. An axis has a
// binning from its input and one adopted from a property; `binning` points
// at the one in force, and a bin divisor divides the fixed bin count.
//
// Threads: the module's (one thread at a time).
namespace histoinputs {

// Cells (the bins of all axes together) that one histogram may have, so
// that a mistyped bin count cannot exhaust the memory.
const long long kMaxCells = 4194304;

// Whether a histogram of `cells` cells may be created. Prints
// "<module>: Cannot create histogram <histogram> with more than 4194304
// bins" when it may not.
bool cellsAllowed(const std::string& module, const std::string& histogram, long long cells);

// Takes the divisor of a literal "/<n>"; a divisor that is not a positive
// finite number is refused with "<module>: Bin divisor <text> refused.".
bool takeDivisor(const std::string& module, const char* text, double& divisor);

// The fixed bin count of `binning` after `divisor`, saturated to an int.
int dividedBins(const FlowBinning& binning, double divisor);

// Takes "bins, min, max" from a binning input (a list of any other size
// is ignored). A bin count of 0 leaves the axis to the property's binning;
// any other count puts the input's binning in force. True when the set
// must be recreated.
bool takeInputBinning(const std::vector<double>& list, FlowBinning& inputBinning, FlowBinning*& binning,
                      bool& byInput);

// The binning in force once a property offers `offered`: the property's
// (copied into `propertyBinning`) when it has bins or edges and the input
// gave none, else the input's.
FlowBinning* adoptBinning(const FlowBinning& offered, bool byInput, FlowBinning& propertyBinning,
                          FlowBinning& inputBinning);

// The handlers of the inputs that title, number and place a histogram set.
struct SetHandlers {
    Corvane::Handler title;
    Corvane::Handler labels;
    Corvane::Handler dimension;
    Corvane::Handler address;
    Corvane::Handler channel;
    Corvane::Handler path;
};

// Appends the inputs "title", "labels", "dimension", "address", "channel"
// (of type `channelType`) and "path" to `inputs`.
void addSetInputs(std::vector<Corvane::Input>& inputs, const SetHandlers& handlers, vorn_type channelType);

// Takes the text of a string input into `field` unless it is empty; true
// when taken.
bool takeText(void* value, std::string& field);

}  // namespace histoinputs

#endif
