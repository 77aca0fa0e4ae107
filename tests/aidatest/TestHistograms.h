#ifndef ZARN_TESTS_AIDATEST_TESTHISTOGRAMS_H
#define ZARN_TESTS_AIDATEST_TESTHISTOGRAMS_H

#include <cmath>
#include <ostream>
#include <string>
#include <vector>

#include "AIDA/IAnnotation.h"
#include "AIDA/IAxis.h"
#include "AIDA/IHistogram1D.h"
#include "AIDA/IHistogram2D.h"
#include "AIDA/IHistogramFactory.h"
#include "TestTree.h"

// Items in insertion order.
// Threads: one thread at a time.
class TestAnnotation : public AIDA::IAnnotation {
public:
    bool addItem(const std::string& key, const std::string& value, bool sticky) override;
    bool removeItem(const std::string& key) override;
    std::string value(const std::string& key) const override;
    void setValue(const std::string& key, const std::string& value) override;
    void setSticky(const std::string& key, bool sticky) override;
    int size() const override;
    std::string key(int index) const override;
    std::string value(int index) const override;
    void reset() override;

    // One line "  annotation <key>=<value>" per item.
    void dump(std::ostream& out) const;

private:
    struct Item {
        std::string key;
        std::string value;
        bool sticky;
    };
    int indexOf(const std::string& key) const;
    std::vector<Item> items;
};

// Fixed bins (all of one width) or variable bins between given edges.
class TestAxis : public AIDA::IAxis {
public:
    TestAxis(int bins, double lower, double upper);
    explicit TestAxis(const std::vector<double>& edges);

    bool isFixedBinning() const override;
    double lowerEdge() const override;
    double upperEdge() const override;
    int bins() const override;
    double binLowerEdge(int index) const override;
    double binUpperEdge(int index) const override;
    double binWidth(int index) const override;
    double binCenter(int index) const override;
    // NaN counts as overflow.
    int coordToIndex(double coord) const override { return locate(coord); }
    // What coordToIndex gives.
    int locate(double coord) const;
    // The cell of a coordinate in a cell array of bins()+2 entries
    // (underflow first, overflow and NaN last), inlined where histograms fill.
    int cellOf(double coord) const;

    // Whether a binning can be made from these arguments.
    static bool valid(int bins, double lower, double upper);
    static bool valid(const std::vector<double>& edges);
    bool sameBinning(const TestAxis& other) const;
    // Index into a cell array of bins()+2 entries: underflow first.
    int cell(int index) const {
        int count = static_cast<int>(edgeList.size()) - 1;
        if (index == UNDERFLOW_BIN) return 0;
        if (index == OVERFLOW_BIN) return count + 1;
        return index >= 0 && index < count ? index + 1 : -1;
    }
    // "bins=<n> lower=<x> upper=<x>" or "edges=<x>,<x>,...".
    std::string describe() const;

private:
    bool fixed;
    std::vector<double> edgeList;
    // Bins per unit of a fixed binning: a first guess of a bin index, so
    // that filling costs no search.
    double binsPerUnit = 0;
};

inline int TestAxis::cellOf(double coord) const {
    int last = static_cast<int>(edgeList.size()) - 2;
    if (!(coord < edgeList.back())) return last + 2;
    if (coord < edgeList.front()) return 0;
    if (fixed) {
        // The guess is off by at most one bin through rounding; the edges
        // decide, as the search below would.
        double guess = (coord - edgeList.front()) * binsPerUnit;
        int index = guess < last ? static_cast<int>(guess) : last;
        while (index > 0 && edgeList[index] > coord) --index;
        while (index < last && edgeList[index + 1] <= coord) ++index;
        return index + 1;
    }
    int low = 0, high = last;
    while (low < high) {
        int middle = (low + high + 1) / 2;
        if (edgeList[middle] <= coord)
            low = middle;
        else
            high = middle - 1;
    }
    return low + 1;
}

inline int TestAxis::locate(double coord) const {
    int found = cellOf(coord);
    if (found == 0) return UNDERFLOW_BIN;
    return found == static_cast<int>(edgeList.size()) ? OVERFLOW_BIN : found - 1;
}

// One bin's sums.
struct TestCell {
    int entries = 0;
    double height = 0;
    double sumW2 = 0;
    double sumWX = 0;
    double sumWY = 0;
};

// What 1-D and 2-D histograms share: title, annotation, cells, totals.
class TestBinned : public TestObject, public virtual AIDA::IHistogram {
public:
    TestBinned(const std::string& name, const std::string& title, size_t cellCount);

    std::string title() const override;
    bool setTitle(const std::string& title) override;
    AIDA::IAnnotation& annotation() override;
    const AIDA::IAnnotation& annotation() const override;
    bool reset() override;
    int entries() const override;
    void* cast(const std::string& className) const override;
    int allEntries() const override;
    int extraEntries() const override;
    double equivalentBinEntries() const override;
    double sumBinHeights() const override;
    double sumAllBinHeights() const override;
    double sumExtraBinHeights() const override;
    double minBinHeight() const override;
    double maxBinHeight() const override;
    bool scale(double scaleFactor) override;

protected:
    // Whether cell i lies outside the range on some axis.
    virtual bool isExtra(size_t i) const = 0;
    // This object as its most derived AIDA interface.
    virtual void* self() const = 0;
    void accumulate(TestCell& target, double x, double y, double weight) {
        target.entries += 1;
        target.height += weight;
        target.sumW2 += weight * weight;
        target.sumWX += weight * x;
        target.sumWY += weight * y;
    }
    // The dump line of the object and its non-empty cells and annotation.
    void dumpHeader(std::ostream& out, const std::string& path, const std::string& binning) const;

    std::string titleText;
    TestAnnotation notes;
    std::vector<TestCell> cells;
    // Sums over the in-range fills, for means and spreads.
    double sumW = 0, sumWX = 0, sumWX2 = 0, sumWY = 0, sumWY2 = 0;
};

class TestHistogram1D : public TestBinned, public AIDA::IHistogram1D {
public:
    TestHistogram1D(const std::string& name, const std::string& title, const TestAxis& axis);

    std::string typeName() const override;
    void dump(std::ostream& out, const std::string& path) const override;
    int dimension() const override;
    bool fill(double x, double weight) override;
    double binMean(int index) const override;
    int binEntries(int index) const override;
    double binHeight(int index) const override;
    double binError(int index) const override;
    double mean() const override;
    double rms() const override;
    const AIDA::IAxis& axis() const override;
    int coordToIndex(double coord) const override;
    bool add(const AIDA::IHistogram1D& hist) override;

private:
    bool isExtra(size_t i) const override { return i == 0 || i == cells.size() - 1; }
    void* self() const override;
    const TestCell& at(int index) const;
    TestAxis xAxisData;
};

class TestHistogram2D : public TestBinned, public AIDA::IHistogram2D {
public:
    TestHistogram2D(const std::string& name, const std::string& title, const TestAxis& x, const TestAxis& y);

    std::string typeName() const override;
    void dump(std::ostream& out, const std::string& path) const override;
    int dimension() const override;
    bool fill(double x, double y, double weight) override;
    double binMeanX(int indexX, int indexY) const override;
    double binMeanY(int indexX, int indexY) const override;
    int binEntries(int indexX, int indexY) const override;
    int binEntriesX(int indexX) const override;
    int binEntriesY(int indexY) const override;
    double binHeight(int indexX, int indexY) const override;
    double binHeightX(int indexX) const override;
    double binHeightY(int indexY) const override;
    double binError(int indexX, int indexY) const override;
    double meanX() const override;
    double meanY() const override;
    double rmsX() const override;
    double rmsY() const override;
    const AIDA::IAxis& xAxis() const override;
    const AIDA::IAxis& yAxis() const override;
    int coordToIndexX(double coord) const override;
    int coordToIndexY(double coord) const override;
    bool add(const AIDA::IHistogram2D& hist) override;

private:
    bool isExtra(size_t i) const override;
    void* self() const override;
    size_t cellOf(int indexX, int indexY) const;
    TestAxis xAxisData;
    TestAxis yAxisData;
};

// Creates 1-D and 2-D histograms in its tree; every other creator
// returns null.
// Threads: one thread at a time.
class TestHistogramFactory : public AIDA::IHistogramFactory {
public:
    explicit TestHistogramFactory(TestTree& tree);

    bool destroy(AIDA::IBaseHistogram* hist) override;
    AIDA::ICloud1D* createCloud1D(const std::string& path, const std::string& title, int nMax,
                                  const std::string& options) override;
    AIDA::ICloud1D* createCloud1D(const std::string& pathAndTitle) override;
    AIDA::ICloud1D* createCopy(const std::string& path, const AIDA::ICloud1D& cloud) override;
    AIDA::ICloud2D* createCloud2D(const std::string& path, const std::string& title, int nMax,
                                  const std::string& options) override;
    AIDA::ICloud2D* createCloud2D(const std::string& pathAndTitle) override;
    AIDA::ICloud2D* createCopy(const std::string& path, const AIDA::ICloud2D& cloud) override;
    AIDA::ICloud3D* createCloud3D(const std::string& path, const std::string& title, int nMax,
                                  const std::string& options) override;
    AIDA::ICloud3D* createCloud3D(const std::string& pathAndTitle) override;
    AIDA::ICloud3D* createCopy(const std::string& path, const AIDA::ICloud3D& cloud) override;
    AIDA::IHistogram1D* createHistogram1D(const std::string& path, const std::string& title, int nBins,
                                          double lowerEdge, double upperEdge, const std::string& options) override;
    AIDA::IHistogram1D* createHistogram1D(const std::string& pathAndTitle, int nBins, double lowerEdge,
                                          double upperEdge) override;
    AIDA::IHistogram1D* createHistogram1D(const std::string& path, const std::string& title,
                                          const std::vector<double>& binEdges, const std::string& options) override;
    AIDA::IHistogram1D* createCopy(const std::string& path, const AIDA::IHistogram1D& hist) override;
    AIDA::IHistogram2D* createHistogram2D(const std::string& path, const std::string& title, int nBinsX,
                                          double lowerEdgeX, double upperEdgeX, int nBinsY, double lowerEdgeY,
                                          double upperEdgeY, const std::string& options) override;
    AIDA::IHistogram2D* createHistogram2D(const std::string& pathAndTitle, int nBinsX, double lowerEdgeX,
                                          double upperEdgeX, int nBinsY, double lowerEdgeY,
                                          double upperEdgeY) override;
    AIDA::IHistogram2D* createHistogram2D(const std::string& path, const std::string& title,
                                          const std::vector<double>& binEdgesX, const std::vector<double>& binEdgesY,
                                          const std::string& options) override;
    AIDA::IHistogram2D* createCopy(const std::string& path, const AIDA::IHistogram2D& hist) override;
    AIDA::IHistogram3D* createHistogram3D(const std::string& path, const std::string& title, int nBinsX,
                                          double lowerEdgeX, double upperEdgeX, int nBinsY, double lowerEdgeY,
                                          double upperEdgeY, int nBinsZ, double lowerEdgeZ, double upperEdgeZ,
                                          const std::string& options) override;
    AIDA::IHistogram3D* createHistogram3D(const std::string& pathAndTitle, int nBinsX, double lowerEdgeX,
                                          double upperEdgeX, int nBinsY, double lowerEdgeY, double upperEdgeY,
                                          int nBinsZ, double lowerEdgeZ, double upperEdgeZ) override;
    AIDA::IHistogram3D* createHistogram3D(const std::string& path, const std::string& title,
                                          const std::vector<double>& binEdgesX, const std::vector<double>& binEdgesY,
                                          const std::vector<double>& binEdgesZ, const std::string& options) override;
    AIDA::IHistogram3D* createCopy(const std::string& path, const AIDA::IHistogram3D& hist) override;
    AIDA::IProfile1D* createProfile1D(const std::string& path, const std::string& title, int nBins,
                                      double lowerEdge, double upperEdge, const std::string& options) override;
    AIDA::IProfile1D* createProfile1D(const std::string& path, const std::string& title, int nBins,
                                      double lowerEdge, double upperEdge, double lowerValue, double upperValue,
                                      const std::string& options) override;
    AIDA::IProfile1D* createProfile1D(const std::string& path, const std::string& title,
                                      const std::vector<double>& binEdges, const std::string& options) override;
    AIDA::IProfile1D* createProfile1D(const std::string& path, const std::string& title,
                                      const std::vector<double>& binEdges, double lowerValue, double upperValue,
                                      const std::string& options) override;
    AIDA::IProfile1D* createProfile1D(const std::string& pathAndTitle, int nBins, double lowerEdge,
                                      double upperEdge) override;
    AIDA::IProfile1D* createProfile1D(const std::string& pathAndTitle, int nBins, double lowerEdge,
                                      double upperEdge, double lowerValue, double upperValue) override;
    AIDA::IProfile1D* createCopy(const std::string& path, const AIDA::IProfile1D& profile) override;
    AIDA::IProfile2D* createProfile2D(const std::string& path, const std::string& title, int nBinsX,
                                      double lowerEdgeX, double upperEdgeX, int nBinsY, double lowerEdgeY,
                                      double upperEdgeY, const std::string& options) override;
    AIDA::IProfile2D* createProfile2D(const std::string& path, const std::string& title, int nBinsX,
                                      double lowerEdgeX, double upperEdgeX, int nBinsY, double lowerEdgeY,
                                      double upperEdgeY, double lowerValue, double upperValue,
                                      const std::string& options) override;
    AIDA::IProfile2D* createProfile2D(const std::string& path, const std::string& title,
                                      const std::vector<double>& binEdgesX, const std::vector<double>& binEdgesY,
                                      const std::string& options) override;
    AIDA::IProfile2D* createProfile2D(const std::string& path, const std::string& title,
                                      const std::vector<double>& binEdgesX, const std::vector<double>& binEdgesY,
                                      double lowerValue, double upperValue, const std::string& options) override;
    AIDA::IProfile2D* createProfile2D(const std::string& pathAndTitle, int nBinsX, double lowerEdgeX,
                                      double upperEdgeX, int nBinsY, double lowerEdgeY, double upperEdgeY) override;
    AIDA::IProfile2D* createProfile2D(const std::string& pathAndTitle, int nBinsX, double lowerEdgeX,
                                      double upperEdgeX, int nBinsY, double lowerEdgeY, double upperEdgeY,
                                      double lowerValue, double upperValue) override;
    AIDA::IProfile2D* createCopy(const std::string& path, const AIDA::IProfile2D& profile) override;
    AIDA::IHistogram1D* add(const std::string& path, const AIDA::IHistogram1D& hist1,
                            const AIDA::IHistogram1D& hist2) override;
    AIDA::IHistogram1D* subtract(const std::string& path, const AIDA::IHistogram1D& hist1,
                                 const AIDA::IHistogram1D& hist2) override;
    AIDA::IHistogram1D* multiply(const std::string& path, const AIDA::IHistogram1D& hist1,
                                 const AIDA::IHistogram1D& hist2) override;
    AIDA::IHistogram1D* divide(const std::string& path, const AIDA::IHistogram1D& hist1,
                               const AIDA::IHistogram1D& hist2) override;
    AIDA::IHistogram2D* add(const std::string& path, const AIDA::IHistogram2D& hist1,
                            const AIDA::IHistogram2D& hist2) override;
    AIDA::IHistogram2D* subtract(const std::string& path, const AIDA::IHistogram2D& hist1,
                                 const AIDA::IHistogram2D& hist2) override;
    AIDA::IHistogram2D* multiply(const std::string& path, const AIDA::IHistogram2D& hist1,
                                 const AIDA::IHistogram2D& hist2) override;
    AIDA::IHistogram2D* divide(const std::string& path, const AIDA::IHistogram2D& hist1,
                               const AIDA::IHistogram2D& hist2) override;
    AIDA::IHistogram3D* add(const std::string& path, const AIDA::IHistogram3D& hist1,
                            const AIDA::IHistogram3D& hist2) override;
    AIDA::IHistogram3D* subtract(const std::string& path, const AIDA::IHistogram3D& hist1,
                                 const AIDA::IHistogram3D& hist2) override;
    AIDA::IHistogram3D* multiply(const std::string& path, const AIDA::IHistogram3D& hist1,
                                 const AIDA::IHistogram3D& hist2) override;
    AIDA::IHistogram3D* divide(const std::string& path, const AIDA::IHistogram3D& hist1,
                               const AIDA::IHistogram3D& hist2) override;
    AIDA::IHistogram1D* projectionX(const std::string& path, const AIDA::IHistogram2D& hist) override;
    AIDA::IHistogram1D* projectionY(const std::string& path, const AIDA::IHistogram2D& hist) override;
    AIDA::IHistogram1D* sliceX(const std::string& path, const AIDA::IHistogram2D& hist, int indexY) override;
    AIDA::IHistogram1D* sliceY(const std::string& path, const AIDA::IHistogram2D& hist, int indexX) override;
    AIDA::IHistogram1D* sliceX(const std::string& path, const AIDA::IHistogram2D& hist, int indexY1,
                               int indexY2) override;
    AIDA::IHistogram1D* sliceY(const std::string& path, const AIDA::IHistogram2D& hist, int indexX1,
                               int indexX2) override;
    AIDA::IHistogram2D* projectionXY(const std::string& path, const AIDA::IHistogram3D& hist) override;
    AIDA::IHistogram2D* projectionXZ(const std::string& path, const AIDA::IHistogram3D& hist) override;
    AIDA::IHistogram2D* projectionYZ(const std::string& path, const AIDA::IHistogram3D& hist) override;
    AIDA::IHistogram2D* sliceXY(const std::string& path, const AIDA::IHistogram3D& hist, int lowIndexZ,
                                int highIndexZ) override;
    AIDA::IHistogram2D* sliceXZ(const std::string& path, const AIDA::IHistogram3D& hist, int lowIndexY,
                                int highIndexY) override;
    AIDA::IHistogram2D* sliceYZ(const std::string& path, const AIDA::IHistogram3D& hist, int lowIndexX,
                                int highIndexX) override;

private:
    AIDA::IHistogram1D* make1D(const std::string& path, const std::string& title, const TestAxis& axis);
    AIDA::IHistogram2D* make2D(const std::string& path, const std::string& title, const TestAxis& x,
                               const TestAxis& y);
    TestTree& tree;
};

// The text of the last part of a path, used as a title.
std::string lastPart(const std::string& path);

// A number as %g would print it, independent of the locale.
std::string numberText(double value);

#endif
