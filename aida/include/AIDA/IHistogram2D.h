#ifndef AIDA_IHISTOGRAM2D_H
#define AIDA_IHISTOGRAM2D_H

#include "AIDA/IHistogram.h"

namespace AIDA {

class IAxis;

// A 2-D histogram. Bin index arguments take IAxis::UNDERFLOW_BIN and
// IAxis::OVERFLOW_BIN as well as 0 .. bins-1 of their axis.
class IHistogram2D : virtual public IHistogram {
public:
    virtual ~IHistogram2D() {}

    // Adds `weight` to the bin of (x, y).
    virtual bool fill(double x, double y, double weight = 1.) = 0;
    virtual double binMeanX(int indexX, int indexY) const = 0;
    virtual double binMeanY(int indexX, int indexY) const = 0;
    virtual int binEntries(int indexX, int indexY) const = 0;
    // Entries of a column (all y) or a row (all x).
    virtual int binEntriesX(int indexX) const = 0;
    virtual int binEntriesY(int indexY) const = 0;
    virtual double binHeight(int indexX, int indexY) const = 0;
    virtual double binHeightX(int indexX) const = 0;
    virtual double binHeightY(int indexY) const = 0;
    virtual double binError(int indexX, int indexY) const = 0;
    virtual double meanX() const = 0;
    virtual double meanY() const = 0;
    virtual double rmsX() const = 0;
    virtual double rmsY() const = 0;
    virtual const IAxis& xAxis() const = 0;
    virtual const IAxis& yAxis() const = 0;
    virtual int coordToIndexX(double coord) const = 0;
    virtual int coordToIndexY(double coord) const = 0;
    // Adds the bins of a histogram of the same binning.
    virtual bool add(const IHistogram2D& hist) = 0;
};

}  // namespace AIDA

#endif
