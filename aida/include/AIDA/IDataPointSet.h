#ifndef AIDA_IDATAPOINTSET_H
#define AIDA_IDATAPOINTSET_H

#include <string>
#include <vector>

namespace AIDA {

class IAnnotation;
class IDataPoint;

// An ordered list of points that all have the same number of coordinates.
class IDataPointSet {
public:
    virtual ~IDataPointSet() {}

    virtual IAnnotation& annotation() = 0;
    virtual const IAnnotation& annotation() const = 0;
    virtual std::string title() const = 0;
    virtual bool setTitle(const std::string& title) = 0;
    // Number of coordinates of each point.
    virtual int dimension() const = 0;
    // Removes every point.
    virtual void clear() = 0;
    // Number of points.
    virtual int size() const = 0;
    // Point `index` (0 .. size()-1), null outside.
    virtual IDataPoint* point(int index) = 0;
    // Sets coordinate `coord` of every point from the lists (a symmetric
    // error, or a positive and a negative one). An empty set first gets one
    // point per value; otherwise the lists must have size() entries.
    virtual bool setCoordinate(int coord, const std::vector<double>& values,
                               const std::vector<double>& errors) = 0;
    virtual bool setCoordinate(int coord, const std::vector<double>& values,
                               const std::vector<double>& errorsPlus,
                               const std::vector<double>& errorsMinus) = 0;
    // Appends a point whose coordinates are all 0.
    virtual bool addPoint() = 0;
    // Appends a copy of a point of the same dimension.
    virtual bool addPoint(const IDataPoint& point) = 0;
    virtual bool removePoint(int index) = 0;
    // Smallest and largest value of a coordinate over all points.
    virtual double lowerExtent(int coord) const = 0;
    virtual double upperExtent(int coord) const = 0;
    // Multiplies values and errors, only values, or only errors.
    virtual bool scale(double scaleFactor) = 0;
    virtual bool scaleValues(double scaleFactor) = 0;
    virtual bool scaleErrors(double scaleFactor) = 0;
};

}  // namespace AIDA

#endif
