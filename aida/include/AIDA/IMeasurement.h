#ifndef AIDA_IMEASUREMENT_H
#define AIDA_IMEASUREMENT_H

namespace AIDA {

// One coordinate of a data point: a value with a positive and a negative
// error.
class IMeasurement {
public:
    virtual ~IMeasurement() {}

    virtual double value() const = 0;
    virtual double errorPlus() const = 0;
    virtual double errorMinus() const = 0;
    virtual bool setValue(double value) = 0;
    virtual bool setErrorPlus(double errorPlus) = 0;
    virtual bool setErrorMinus(double errorMinus) = 0;
};

}  // namespace AIDA

#endif
