#include "TestDataPoints.h"

#include <algorithm>
#include <limits>

double TestMeasurement::value() const { return centre; }
double TestMeasurement::errorPlus() const { return plus; }
double TestMeasurement::errorMinus() const { return minus; }

bool TestMeasurement::setValue(double value) {
    centre = value;
    return true;
}

bool TestMeasurement::setErrorPlus(double errorPlus) {
    plus = errorPlus;
    return true;
}

bool TestMeasurement::setErrorMinus(double errorMinus) {
    minus = errorMinus;
    return true;
}

TestDataPoint::TestDataPoint(int dimension) : measurements(std::max(dimension, 0)) {}

int TestDataPoint::dimension() const { return static_cast<int>(measurements.size()); }

AIDA::IMeasurement* TestDataPoint::coordinate(int coord) {
    return coord >= 0 && coord < dimension() ? &measurements[coord] : nullptr;
}

const AIDA::IMeasurement* TestDataPoint::coordinate(int coord) const {
    return coord >= 0 && coord < dimension() ? &measurements[coord] : nullptr;
}

TestDataPointSet::TestDataPointSet(const std::string& name, const std::string& title, int dimension)
    : TestObject(name), titleText(title), pointDimension(dimension) {}

std::string TestDataPointSet::typeName() const { return "IDataPointSet"; }

void TestDataPointSet::dump(std::ostream& out, const std::string& path) const {
    out << "IDataPointSet " << path << " title=\"" << titleText << "\" dimension=" << pointDimension
        << " size=" << points.size() << '\n';
    notes.dump(out);
    for (size_t i = 0; i < points.size(); ++i) {
        out << "  point " << i;
        for (int c = 0; c < pointDimension; ++c) {
            const AIDA::IMeasurement* m = points[i].coordinate(c);
            out << ' ' << numberText(m->value()) << '+' << numberText(m->errorPlus()) << '-'
                << numberText(m->errorMinus());
        }
        out << '\n';
    }
}

void* TestDataPointSet::cast(const std::string& className) const {
    if (className == "IDataPointSet")
        return const_cast<AIDA::IDataPointSet*>(static_cast<const AIDA::IDataPointSet*>(this));
    if (className == "IManagedObject")
        return const_cast<AIDA::IManagedObject*>(static_cast<const AIDA::IManagedObject*>(this));
    return nullptr;
}

AIDA::IAnnotation& TestDataPointSet::annotation() { return notes; }
const AIDA::IAnnotation& TestDataPointSet::annotation() const { return notes; }
std::string TestDataPointSet::title() const { return titleText; }

bool TestDataPointSet::setTitle(const std::string& title) {
    titleText = title;
    return true;
}

int TestDataPointSet::dimension() const { return pointDimension; }
void TestDataPointSet::clear() { points.clear(); }
int TestDataPointSet::size() const { return static_cast<int>(points.size()); }

AIDA::IDataPoint* TestDataPointSet::point(int index) {
    return index >= 0 && index < size() ? &points[index] : nullptr;
}

bool TestDataPointSet::setCoordinate(int coord, const std::vector<double>& values,
                                     const std::vector<double>& errors) {
    return setCoordinate(coord, values, errors, errors);
}

bool TestDataPointSet::setCoordinate(int coord, const std::vector<double>& values,
                                     const std::vector<double>& errorsPlus, const std::vector<double>& errorsMinus) {
    if (coord < 0 || coord >= pointDimension) return false;
    if (errorsPlus.size() != values.size() || errorsMinus.size() != values.size()) return false;
    if (points.empty()) points.assign(values.size(), TestDataPoint(pointDimension));
    if (points.size() != values.size()) return false;
    for (size_t i = 0; i < values.size(); ++i) {
        AIDA::IMeasurement* m = points[i].coordinate(coord);
        m->setValue(values[i]);
        m->setErrorPlus(errorsPlus[i]);
        m->setErrorMinus(errorsMinus[i]);
    }
    return true;
}

bool TestDataPointSet::addPoint() {
    points.emplace_back(pointDimension);
    return true;
}

bool TestDataPointSet::addPoint(const AIDA::IDataPoint& point) {
    if (point.dimension() != pointDimension) return false;
    TestDataPoint copy(pointDimension);
    for (int c = 0; c < pointDimension; ++c) {
        const AIDA::IMeasurement* from = point.coordinate(c);
        AIDA::IMeasurement* to = copy.coordinate(c);
        to->setValue(from->value());
        to->setErrorPlus(from->errorPlus());
        to->setErrorMinus(from->errorMinus());
    }
    points.push_back(copy);
    return true;
}

bool TestDataPointSet::removePoint(int index) {
    if (index < 0 || index >= size()) return false;
    points.erase(points.begin() + index);
    return true;
}

double TestDataPointSet::lowerExtent(int coord) const {
    if (coord < 0 || coord >= pointDimension || points.empty()) return std::numeric_limits<double>::quiet_NaN();
    double least = std::numeric_limits<double>::infinity();
    for (const TestDataPoint& p : points) least = std::min(least, p.coordinate(coord)->value());
    return least;
}

double TestDataPointSet::upperExtent(int coord) const {
    if (coord < 0 || coord >= pointDimension || points.empty()) return std::numeric_limits<double>::quiet_NaN();
    double most = -std::numeric_limits<double>::infinity();
    for (const TestDataPoint& p : points) most = std::max(most, p.coordinate(coord)->value());
    return most;
}

bool TestDataPointSet::scaleBy(double valueFactor, double errorFactor) {
    for (TestDataPoint& p : points) {
        for (int c = 0; c < pointDimension; ++c) {
            AIDA::IMeasurement* m = p.coordinate(c);
            m->setValue(m->value() * valueFactor);
            m->setErrorPlus(m->errorPlus() * errorFactor);
            m->setErrorMinus(m->errorMinus() * errorFactor);
        }
    }
    return true;
}

bool TestDataPointSet::scale(double scaleFactor) { return scaleBy(scaleFactor, scaleFactor); }
bool TestDataPointSet::scaleValues(double scaleFactor) { return scaleBy(scaleFactor, 1); }
bool TestDataPointSet::scaleErrors(double scaleFactor) { return scaleBy(1, scaleFactor); }

TestDataPointSetFactory::TestDataPointSetFactory(TestTree& tree) : tree(tree) {}

AIDA::IDataPointSet* TestDataPointSetFactory::create(const std::string& path, const std::string& title,
                                                     int dimOfPoints) {
    if (dimOfPoints <= 0) return nullptr;
    TestObject* made = tree.insert(path, std::make_unique<TestDataPointSet>(lastPart(path), title, dimOfPoints));
    return dynamic_cast<AIDA::IDataPointSet*>(made);
}

AIDA::IDataPointSet* TestDataPointSetFactory::create(const std::string& pathAndTitle, int dimOfPoints) {
    return create(pathAndTitle, lastPart(pathAndTitle), dimOfPoints);
}

AIDA::IDataPointSet* TestDataPointSetFactory::createCopy(const std::string& path,
                                                         const AIDA::IDataPointSet& dataPointSet) {
    const TestDataPointSet* from = dynamic_cast<const TestDataPointSet*>(&dataPointSet);
    if (!from) return nullptr;
    auto copy = std::make_unique<TestDataPointSet>(*from);
    copy->objectName = lastPart(path);
    return dynamic_cast<AIDA::IDataPointSet*>(tree.insert(path, std::move(copy)));
}

bool TestDataPointSetFactory::destroy(AIDA::IDataPointSet* dataPointSet) {
    return tree.destroy(dynamic_cast<AIDA::IManagedObject*>(dataPointSet));
}
