#ifndef ZARN_TESTS_AIDATEST_TESTDATAPOINTS_H
#define ZARN_TESTS_AIDATEST_TESTDATAPOINTS_H

#include <ostream>
#include <string>
#include <vector>

#include "AIDA/IDataPoint.h"
#include "AIDA/IDataPointSet.h"
#include "AIDA/IDataPointSetFactory.h"
#include "AIDA/IMeasurement.h"
#include "TestHistograms.h"
#include "TestTree.h"

class TestMeasurement : public AIDA::IMeasurement {
public:
    double value() const override;
    double errorPlus() const override;
    double errorMinus() const override;
    bool setValue(double value) override;
    bool setErrorPlus(double errorPlus) override;
    bool setErrorMinus(double errorMinus) override;

private:
    double centre = 0;
    double plus = 0;
    double minus = 0;
};

class TestDataPoint : public AIDA::IDataPoint {
public:
    explicit TestDataPoint(int dimension);

    int dimension() const override;
    AIDA::IMeasurement* coordinate(int coord) override;
    const AIDA::IMeasurement* coordinate(int coord) const override;

private:
    std::vector<TestMeasurement> measurements;
};

// Points of one dimension in insertion order.
// Threads: one thread at a time.
class TestDataPointSet : public TestObject, public AIDA::IDataPointSet {
public:
    TestDataPointSet(const std::string& name, const std::string& title, int dimension);

    std::string typeName() const override;
    // The header line, the annotation and one line per point:
    // "  point <i> <value>+<errorPlus>-<errorMinus> ..." per coordinate.
    void dump(std::ostream& out, const std::string& path) const override;
    void* cast(const std::string& className) const override;
    AIDA::IAnnotation& annotation() override;
    const AIDA::IAnnotation& annotation() const override;
    std::string title() const override;
    bool setTitle(const std::string& title) override;
    int dimension() const override;
    void clear() override;
    int size() const override;
    AIDA::IDataPoint* point(int index) override;
    bool setCoordinate(int coord, const std::vector<double>& values, const std::vector<double>& errors) override;
    bool setCoordinate(int coord, const std::vector<double>& values, const std::vector<double>& errorsPlus,
                       const std::vector<double>& errorsMinus) override;
    bool addPoint() override;
    bool addPoint(const AIDA::IDataPoint& point) override;
    bool removePoint(int index) override;
    double lowerExtent(int coord) const override;
    double upperExtent(int coord) const override;
    bool scale(double scaleFactor) override;
    bool scaleValues(double scaleFactor) override;
    bool scaleErrors(double scaleFactor) override;

private:
    bool scaleBy(double valueFactor, double errorFactor);
    std::string titleText;
    int pointDimension;
    TestAnnotation notes;
    std::vector<TestDataPoint> points;
};

// Creates data point sets in its tree.
// Threads: one thread at a time.
class TestDataPointSetFactory : public AIDA::IDataPointSetFactory {
public:
    explicit TestDataPointSetFactory(TestTree& tree);

    AIDA::IDataPointSet* create(const std::string& path, const std::string& title, int dimOfPoints) override;
    AIDA::IDataPointSet* create(const std::string& pathAndTitle, int dimOfPoints) override;
    AIDA::IDataPointSet* createCopy(const std::string& path, const AIDA::IDataPointSet& dataPointSet) override;
    bool destroy(AIDA::IDataPointSet* dataPointSet) override;

private:
    TestTree& tree;
};

#endif
