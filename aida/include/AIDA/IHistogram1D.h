#ifndef AIDA_IHISTOGRAM1D_H
#define AIDA_IHISTOGRAM1D_H

#include "AIDA/IHistogram.h"

namespace AIDA {

class IAxis;

// A 1-D histogram. Bin index arguments take IAxis::UNDERFLOW_BIN and
// IAxis::OVERFLOW_BIN as well as 0 .. bins-1.
class IHistogram1D : virtual public IHistogram {
public:
    virtual ~IHistogram1D() {}

    // Adds `weight` to the bin of `x`.
    virtual bool fill(double x, double weight = 1.) = 0;
    virtual double binMean(int index) const = 0;
    virtual int binEntries(int index) const = 0;
    virtual double binHeight(int index) const = 0;
    virtual double binError(int index) const = 0;
    virtual double mean() const = 0;
    virtual double rms() const = 0;
    virtual const IAxis& axis() const = 0;
    virtual int coordToIndex(double coord) const = 0;
    // Adds the bins of a histogram of the same binning.
    virtual bool add(const IHistogram1D& hist) = 0;
};

}  // namespace AIDA

#endif
