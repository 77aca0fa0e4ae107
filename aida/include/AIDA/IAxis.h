#ifndef AIDA_IAXIS_H
#define AIDA_IAXIS_H

namespace AIDA {

// The binning of one histogram axis. Bin indexes run from 0 to bins()-1;
// UNDERFLOW_BIN and OVERFLOW_BIN name the two bins outside the range.
class IAxis {
public:
    enum { UNDERFLOW_BIN = -2, OVERFLOW_BIN = -1 };

    virtual ~IAxis() {}

    // True when all bins have the same width.
    virtual bool isFixedBinning() const = 0;
    virtual double lowerEdge() const = 0;
    virtual double upperEdge() const = 0;
    virtual int bins() const = 0;
    virtual double binLowerEdge(int index) const = 0;
    virtual double binUpperEdge(int index) const = 0;
    virtual double binWidth(int index) const = 0;
    virtual double binCenter(int index) const = 0;
    // The bin that holds `coord`, UNDERFLOW_BIN or OVERFLOW_BIN outside.
    virtual int coordToIndex(double coord) const = 0;
};

}  // namespace AIDA

#endif
