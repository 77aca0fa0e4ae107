#ifndef AIDA_IHISTOGRAM_H
#define AIDA_IHISTOGRAM_H

#include "AIDA/IBaseHistogram.h"

namespace AIDA {

// A binned histogram of any dimension: totals over its bins.
class IHistogram : virtual public IBaseHistogram {
public:
    virtual ~IHistogram() {}

    // Entries inside and outside the range.
    virtual int allEntries() const = 0;
    // Entries in the underflow and overflow bins.
    virtual int extraEntries() const = 0;
    virtual double equivalentBinEntries() const = 0;
    // Sum of the heights of the in-range bins.
    virtual double sumBinHeights() const = 0;
    virtual double sumAllBinHeights() const = 0;
    virtual double sumExtraBinHeights() const = 0;
    virtual double minBinHeight() const = 0;
    virtual double maxBinHeight() const = 0;
    // Multiplies every bin by a positive factor.
    virtual bool scale(double scaleFactor) = 0;
};

}  // namespace AIDA

#endif
