#ifndef AIDA_IDATAPOINT_H
#define AIDA_IDATAPOINT_H

namespace AIDA {

class IMeasurement;

// One point of a data point set: dimension() measurements.
class IDataPoint {
public:
    virtual ~IDataPoint() {}

    virtual int dimension() const = 0;
    // Measurement `coord` (0 .. dimension()-1), null outside.
    virtual IMeasurement* coordinate(int coord) = 0;
    virtual const IMeasurement* coordinate(int coord) const = 0;
};

}  // namespace AIDA

#endif
