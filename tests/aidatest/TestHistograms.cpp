#include "TestHistograms.h"

#include <cmath>
#include <limits>
#include <locale>
#include <sstream>

std::string lastPart(const std::string& path) {
    std::string trimmed = path.substr(0, path.find_last_not_of('/') + 1);
    std::string::size_type slash = trimmed.find_last_of('/');
    return slash == std::string::npos ? trimmed : trimmed.substr(slash + 1);
}

std::string numberText(double value) {
    std::ostringstream text;
    text.imbue(std::locale::classic());
    text << value;
    return text.str();
}

// --- TestAnnotation

int TestAnnotation::indexOf(const std::string& key) const {
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i].key == key) return static_cast<int>(i);
    return -1;
}

bool TestAnnotation::addItem(const std::string& key, const std::string& value, bool sticky) {
    if (indexOf(key) >= 0) return false;
    items.push_back({key, value, sticky});
    return true;
}

bool TestAnnotation::removeItem(const std::string& key) {
    int index = indexOf(key);
    if (index < 0) return false;
    items.erase(items.begin() + index);
    return true;
}

std::string TestAnnotation::value(const std::string& key) const {
    int index = indexOf(key);
    return index < 0 ? "" : items[index].value;
}

void TestAnnotation::setValue(const std::string& key, const std::string& value) {
    int index = indexOf(key);
    if (index < 0)
        items.push_back({key, value, false});
    else
        items[index].value = value;
}

void TestAnnotation::setSticky(const std::string& key, bool sticky) {
    int index = indexOf(key);
    if (index >= 0) items[index].sticky = sticky;
}

int TestAnnotation::size() const { return static_cast<int>(items.size()); }

std::string TestAnnotation::key(int index) const { return index >= 0 && index < size() ? items[index].key : ""; }

std::string TestAnnotation::value(int index) const { return index >= 0 && index < size() ? items[index].value : ""; }

void TestAnnotation::reset() {
    std::vector<Item> kept;
    for (const Item& item : items)
        if (item.sticky) kept.push_back(item);
    items.swap(kept);
}

void TestAnnotation::dump(std::ostream& out) const {
    for (const Item& item : items) out << "  annotation " << item.key << '=' << item.value << '\n';
}

// --- TestAxis

TestAxis::TestAxis(int bins, double lower, double upper) : fixed(true), binsPerUnit(bins / (upper - lower)) {
    for (int i = 0; i <= bins; ++i) edgeList.push_back(lower + (upper - lower) * i / bins);
}

TestAxis::TestAxis(const std::vector<double>& edges) : fixed(false), edgeList(edges) {}

bool TestAxis::valid(int bins, double lower, double upper) {
    return bins > 0 && std::isfinite(lower) && std::isfinite(upper) && lower < upper;
}

bool TestAxis::valid(const std::vector<double>& edges) {
    if (edges.size() < 2) return false;
    for (size_t i = 0; i < edges.size(); ++i)
        if (!std::isfinite(edges[i]) || (i > 0 && edges[i] <= edges[i - 1])) return false;
    return true;
}

bool TestAxis::isFixedBinning() const { return fixed; }
double TestAxis::lowerEdge() const { return edgeList.front(); }
double TestAxis::upperEdge() const { return edgeList.back(); }
int TestAxis::bins() const { return static_cast<int>(edgeList.size()) - 1; }

double TestAxis::binLowerEdge(int index) const {
    if (index == UNDERFLOW_BIN) return -std::numeric_limits<double>::infinity();
    if (index == OVERFLOW_BIN) return upperEdge();
    return index >= 0 && index < bins() ? edgeList[index] : 0;
}

double TestAxis::binUpperEdge(int index) const {
    if (index == UNDERFLOW_BIN) return lowerEdge();
    if (index == OVERFLOW_BIN) return std::numeric_limits<double>::infinity();
    return index >= 0 && index < bins() ? edgeList[index + 1] : 0;
}

double TestAxis::binWidth(int index) const {
    return index >= 0 && index < bins() ? edgeList[index + 1] - edgeList[index] : 0;
}

double TestAxis::binCenter(int index) const {
    return index >= 0 && index < bins() ? (edgeList[index] + edgeList[index + 1]) / 2 : 0;
}

bool TestAxis::sameBinning(const TestAxis& other) const { return edgeList == other.edgeList; }

std::string TestAxis::describe() const {
    if (fixed)
        return "bins=" + std::to_string(bins()) + " lower=" + numberText(lowerEdge()) +
               " upper=" + numberText(upperEdge());
    std::string text = "edges=";
    for (size_t i = 0; i < edgeList.size(); ++i) text += (i ? "," : "") + numberText(edgeList[i]);
    return text;
}

// --- TestBinned

TestBinned::TestBinned(const std::string& name, const std::string& title, size_t cellCount)
    : TestObject(name), titleText(title), cells(cellCount) {}

std::string TestBinned::title() const { return titleText; }

bool TestBinned::setTitle(const std::string& title) {
    titleText = title;
    return true;
}

AIDA::IAnnotation& TestBinned::annotation() { return notes; }
const AIDA::IAnnotation& TestBinned::annotation() const { return notes; }

bool TestBinned::reset() {
    for (TestCell& cell : cells) cell = TestCell();
    sumW = sumWX = sumWX2 = sumWY = sumWY2 = 0;
    return true;
}

void* TestBinned::cast(const std::string& className) const {
    if (className == typeName()) return self();
    if (className == "IHistogram") return const_cast<AIDA::IHistogram*>(static_cast<const AIDA::IHistogram*>(this));
    if (className == "IBaseHistogram")
        return const_cast<AIDA::IBaseHistogram*>(static_cast<const AIDA::IBaseHistogram*>(this));
    if (className == "IManagedObject")
        return const_cast<AIDA::IManagedObject*>(static_cast<const AIDA::IManagedObject*>(this));
    return nullptr;
}

int TestBinned::entries() const {
    int total = 0;
    for (size_t i = 0; i < cells.size(); ++i)
        if (!isExtra(i)) total += cells[i].entries;
    return total;
}

int TestBinned::allEntries() const {
    int total = 0;
    for (const TestCell& cell : cells) total += cell.entries;
    return total;
}

int TestBinned::extraEntries() const { return allEntries() - entries(); }

double TestBinned::equivalentBinEntries() const {
    double sumW2 = 0;
    for (size_t i = 0; i < cells.size(); ++i)
        if (!isExtra(i)) sumW2 += cells[i].sumW2;
    double sum = sumBinHeights();
    return sumW2 > 0 ? sum * sum / sumW2 : 0;
}

double TestBinned::sumBinHeights() const {
    double total = 0;
    for (size_t i = 0; i < cells.size(); ++i)
        if (!isExtra(i)) total += cells[i].height;
    return total;
}

double TestBinned::sumAllBinHeights() const {
    double total = 0;
    for (const TestCell& cell : cells) total += cell.height;
    return total;
}

double TestBinned::sumExtraBinHeights() const { return sumAllBinHeights() - sumBinHeights(); }

double TestBinned::minBinHeight() const {
    double least = std::numeric_limits<double>::infinity();
    for (size_t i = 0; i < cells.size(); ++i)
        if (!isExtra(i)) least = std::min(least, cells[i].height);
    return std::isinf(least) ? 0 : least;
}

double TestBinned::maxBinHeight() const {
    double most = -std::numeric_limits<double>::infinity();
    for (size_t i = 0; i < cells.size(); ++i)
        if (!isExtra(i)) most = std::max(most, cells[i].height);
    return std::isinf(most) ? 0 : most;
}

bool TestBinned::scale(double scaleFactor) {
    if (!(scaleFactor > 0)) return false;
    for (TestCell& cell : cells) {
        cell.height *= scaleFactor;
        cell.sumW2 *= scaleFactor * scaleFactor;
        cell.sumWX *= scaleFactor;
        cell.sumWY *= scaleFactor;
    }
    sumW *= scaleFactor;
    sumWX *= scaleFactor;
    sumWX2 *= scaleFactor;
    sumWY *= scaleFactor;
    sumWY2 *= scaleFactor;
    return true;
}

void TestBinned::dumpHeader(std::ostream& out, const std::string& path, const std::string& binning) const {
    out << typeName() << ' ' << path << " title=\"" << titleText << "\" entries=" << entries()
        << " extra=" << extraEntries() << " sum=" << numberText(sumAllBinHeights()) << ' ' << binning << '\n';
    notes.dump(out);
}

// --- TestHistogram1D

TestHistogram1D::TestHistogram1D(const std::string& name, const std::string& title, const TestAxis& axis)
    : TestBinned(name, title, axis.bins() + 2), xAxisData(axis) {}

std::string TestHistogram1D::typeName() const { return "IHistogram1D"; }

void TestHistogram1D::dump(std::ostream& out, const std::string& path) const {
    dumpHeader(out, path, xAxisData.describe());
    for (size_t i = 0; i < cells.size(); ++i) {
        if (cells[i].entries == 0) continue;
        std::string index = i == 0 ? "underflow" : i == cells.size() - 1 ? "overflow" : std::to_string(i - 1);
        out << "  bin " << index << " entries=" << cells[i].entries << " height=" << numberText(cells[i].height)
            << '\n';
    }
}

int TestHistogram1D::dimension() const { return 1; }

void* TestHistogram1D::self() const {
    return const_cast<AIDA::IHistogram1D*>(static_cast<const AIDA::IHistogram1D*>(this));
}

bool TestHistogram1D::fill(double x, double weight) {
    size_t cell = static_cast<size_t>(xAxisData.cellOf(x));
    accumulate(cells[cell], x, 0, weight);
    if (!TestHistogram1D::isExtra(cell)) {
        sumW += weight;
        sumWX += weight * x;
        sumWX2 += weight * x * x;
    }
    return true;
}

const TestCell& TestHistogram1D::at(int index) const {
    static const TestCell empty;
    int cell = xAxisData.cell(index);
    return cell < 0 ? empty : cells[cell];
}

double TestHistogram1D::binMean(int index) const {
    const TestCell& cell = at(index);
    return cell.height != 0 ? cell.sumWX / cell.height : xAxisData.binCenter(index);
}

int TestHistogram1D::binEntries(int index) const { return at(index).entries; }
double TestHistogram1D::binHeight(int index) const { return at(index).height; }
double TestHistogram1D::binError(int index) const { return std::sqrt(at(index).sumW2); }
double TestHistogram1D::mean() const { return sumW != 0 ? sumWX / sumW : 0; }

double TestHistogram1D::rms() const {
    if (sumW == 0) return 0;
    double m = mean();
    return std::sqrt(std::max(0.0, sumWX2 / sumW - m * m));
}

const AIDA::IAxis& TestHistogram1D::axis() const { return xAxisData; }
int TestHistogram1D::coordToIndex(double coord) const { return xAxisData.coordToIndex(coord); }

bool TestHistogram1D::add(const AIDA::IHistogram1D& hist) {
    const TestHistogram1D* other = dynamic_cast<const TestHistogram1D*>(&hist);
    if (!other || !xAxisData.sameBinning(other->xAxisData)) return false;
    for (size_t i = 0; i < cells.size(); ++i) {
        cells[i].entries += other->cells[i].entries;
        cells[i].height += other->cells[i].height;
        cells[i].sumW2 += other->cells[i].sumW2;
        cells[i].sumWX += other->cells[i].sumWX;
    }
    sumW += other->sumW;
    sumWX += other->sumWX;
    sumWX2 += other->sumWX2;
    return true;
}

// --- TestHistogram2D

TestHistogram2D::TestHistogram2D(const std::string& name, const std::string& title, const TestAxis& x,
                                 const TestAxis& y)
    : TestBinned(name, title, static_cast<size_t>(x.bins() + 2) * (y.bins() + 2)), xAxisData(x), yAxisData(y) {}

std::string TestHistogram2D::typeName() const { return "IHistogram2D"; }

size_t TestHistogram2D::cellOf(int indexX, int indexY) const {
    int x = xAxisData.cell(indexX), y = yAxisData.cell(indexY);
    if (x < 0 || y < 0) return cells.size();
    return static_cast<size_t>(x) * (yAxisData.bins() + 2) + y;
}

bool TestHistogram2D::isExtra(size_t i) const {
    size_t rows = yAxisData.bins() + 2, columns = xAxisData.bins() + 2;
    size_t x = i / rows, y = i % rows;
    return x == 0 || x == columns - 1 || y == 0 || y == rows - 1;
}

void TestHistogram2D::dump(std::ostream& out, const std::string& path) const {
    dumpHeader(out, path, "x:" + xAxisData.describe() + " y:" + yAxisData.describe());
    size_t rows = yAxisData.bins() + 2;
    auto label = [](size_t cell, size_t count) {
        return cell == 0           ? std::string("underflow")
               : cell == count - 1 ? std::string("overflow")
                                   : std::to_string(cell - 1);
    };
    for (size_t i = 0; i < cells.size(); ++i) {
        if (cells[i].entries == 0) continue;
        out << "  bin " << label(i / rows, xAxisData.bins() + 2) << ',' << label(i % rows, rows)
            << " entries=" << cells[i].entries << " height=" << numberText(cells[i].height) << '\n';
    }
}

int TestHistogram2D::dimension() const { return 2; }

void* TestHistogram2D::self() const {
    return const_cast<AIDA::IHistogram2D*>(static_cast<const AIDA::IHistogram2D*>(this));
}

bool TestHistogram2D::fill(double x, double y, double weight) {
    int indexX = xAxisData.locate(x), indexY = yAxisData.locate(y);
    accumulate(cells[cellOf(indexX, indexY)], x, y, weight);
    if (indexX >= 0 && indexY >= 0) {
        sumW += weight;
        sumWX += weight * x;
        sumWX2 += weight * x * x;
        sumWY += weight * y;
        sumWY2 += weight * y * y;
    }
    return true;
}

double TestHistogram2D::binMeanX(int indexX, int indexY) const {
    size_t i = cellOf(indexX, indexY);
    if (i >= cells.size() || cells[i].height == 0) return xAxisData.binCenter(indexX);
    return cells[i].sumWX / cells[i].height;
}

double TestHistogram2D::binMeanY(int indexX, int indexY) const {
    size_t i = cellOf(indexX, indexY);
    if (i >= cells.size() || cells[i].height == 0) return yAxisData.binCenter(indexY);
    return cells[i].sumWY / cells[i].height;
}

int TestHistogram2D::binEntries(int indexX, int indexY) const {
    size_t i = cellOf(indexX, indexY);
    return i < cells.size() ? cells[i].entries : 0;
}

int TestHistogram2D::binEntriesX(int indexX) const {
    int total = 0;
    for (int y = -2; y < yAxisData.bins(); ++y) total += binEntries(indexX, y);
    return total;
}

int TestHistogram2D::binEntriesY(int indexY) const {
    int total = 0;
    for (int x = -2; x < xAxisData.bins(); ++x) total += binEntries(x, indexY);
    return total;
}

double TestHistogram2D::binHeight(int indexX, int indexY) const {
    size_t i = cellOf(indexX, indexY);
    return i < cells.size() ? cells[i].height : 0;
}

double TestHistogram2D::binHeightX(int indexX) const {
    double total = 0;
    for (int y = -2; y < yAxisData.bins(); ++y) total += binHeight(indexX, y);
    return total;
}

double TestHistogram2D::binHeightY(int indexY) const {
    double total = 0;
    for (int x = -2; x < xAxisData.bins(); ++x) total += binHeight(x, indexY);
    return total;
}

double TestHistogram2D::binError(int indexX, int indexY) const {
    size_t i = cellOf(indexX, indexY);
    return i < cells.size() ? std::sqrt(cells[i].sumW2) : 0;
}

double TestHistogram2D::meanX() const { return sumW != 0 ? sumWX / sumW : 0; }
double TestHistogram2D::meanY() const { return sumW != 0 ? sumWY / sumW : 0; }

double TestHistogram2D::rmsX() const {
    if (sumW == 0) return 0;
    double m = meanX();
    return std::sqrt(std::max(0.0, sumWX2 / sumW - m * m));
}

double TestHistogram2D::rmsY() const {
    if (sumW == 0) return 0;
    double m = meanY();
    return std::sqrt(std::max(0.0, sumWY2 / sumW - m * m));
}

const AIDA::IAxis& TestHistogram2D::xAxis() const { return xAxisData; }
const AIDA::IAxis& TestHistogram2D::yAxis() const { return yAxisData; }
int TestHistogram2D::coordToIndexX(double coord) const { return xAxisData.coordToIndex(coord); }
int TestHistogram2D::coordToIndexY(double coord) const { return yAxisData.coordToIndex(coord); }

bool TestHistogram2D::add(const AIDA::IHistogram2D& hist) {
    const TestHistogram2D* other = dynamic_cast<const TestHistogram2D*>(&hist);
    if (!other || !xAxisData.sameBinning(other->xAxisData) || !yAxisData.sameBinning(other->yAxisData)) return false;
    for (size_t i = 0; i < cells.size(); ++i) {
        cells[i].entries += other->cells[i].entries;
        cells[i].height += other->cells[i].height;
        cells[i].sumW2 += other->cells[i].sumW2;
        cells[i].sumWX += other->cells[i].sumWX;
        cells[i].sumWY += other->cells[i].sumWY;
    }
    sumW += other->sumW;
    sumWX += other->sumWX;
    sumWX2 += other->sumWX2;
    sumWY += other->sumWY;
    sumWY2 += other->sumWY2;
    return true;
}

// --- TestHistogramFactory

TestHistogramFactory::TestHistogramFactory(TestTree& tree) : tree(tree) {}

AIDA::IHistogram1D* TestHistogramFactory::make1D(const std::string& path, const std::string& title,
                                                 const TestAxis& axis) {
    TestObject* made = tree.insert(path, std::make_unique<TestHistogram1D>(lastPart(path), title, axis));
    return dynamic_cast<AIDA::IHistogram1D*>(made);
}

AIDA::IHistogram2D* TestHistogramFactory::make2D(const std::string& path, const std::string& title, const TestAxis& x,
                                                 const TestAxis& y) {
    TestObject* made = tree.insert(path, std::make_unique<TestHistogram2D>(lastPart(path), title, x, y));
    return dynamic_cast<AIDA::IHistogram2D*>(made);
}

bool TestHistogramFactory::destroy(AIDA::IBaseHistogram* hist) {
    return tree.destroy(dynamic_cast<AIDA::IManagedObject*>(hist));
}

AIDA::IHistogram1D* TestHistogramFactory::createHistogram1D(const std::string& path, const std::string& title,
                                                            int nBins, double lowerEdge, double upperEdge,
                                                            const std::string&) {
    if (!TestAxis::valid(nBins, lowerEdge, upperEdge)) return nullptr;
    return make1D(path, title, TestAxis(nBins, lowerEdge, upperEdge));
}

AIDA::IHistogram1D* TestHistogramFactory::createHistogram1D(const std::string& pathAndTitle, int nBins,
                                                            double lowerEdge, double upperEdge) {
    return createHistogram1D(pathAndTitle, lastPart(pathAndTitle), nBins, lowerEdge, upperEdge, "");
}

AIDA::IHistogram1D* TestHistogramFactory::createHistogram1D(const std::string& path, const std::string& title,
                                                            const std::vector<double>& binEdges, const std::string&) {
    if (!TestAxis::valid(binEdges)) return nullptr;
    return make1D(path, title, TestAxis(binEdges));
}

AIDA::IHistogram2D* TestHistogramFactory::createHistogram2D(const std::string& path, const std::string& title,
                                                            int nBinsX, double lowerEdgeX, double upperEdgeX,
                                                            int nBinsY, double lowerEdgeY, double upperEdgeY,
                                                            const std::string&) {
    if (!TestAxis::valid(nBinsX, lowerEdgeX, upperEdgeX) || !TestAxis::valid(nBinsY, lowerEdgeY, upperEdgeY))
        return nullptr;
    return make2D(path, title, TestAxis(nBinsX, lowerEdgeX, upperEdgeX), TestAxis(nBinsY, lowerEdgeY, upperEdgeY));
}

AIDA::IHistogram2D* TestHistogramFactory::createHistogram2D(const std::string& pathAndTitle, int nBinsX,
                                                            double lowerEdgeX, double upperEdgeX, int nBinsY,
                                                            double lowerEdgeY, double upperEdgeY) {
    return createHistogram2D(pathAndTitle, lastPart(pathAndTitle), nBinsX, lowerEdgeX, upperEdgeX, nBinsY, lowerEdgeY,
                             upperEdgeY, "");
}

AIDA::IHistogram2D* TestHistogramFactory::createHistogram2D(const std::string& path, const std::string& title,
                                                            const std::vector<double>& binEdgesX,
                                                            const std::vector<double>& binEdgesY, const std::string&) {
    if (!TestAxis::valid(binEdgesX) || !TestAxis::valid(binEdgesY)) return nullptr;
    return make2D(path, title, TestAxis(binEdgesX), TestAxis(binEdgesY));
}

// Not offered by the test system.
AIDA::ICloud1D* TestHistogramFactory::createCloud1D(const std::string&, const std::string&, int, const std::string&) {
    return nullptr;
}
AIDA::ICloud1D* TestHistogramFactory::createCloud1D(const std::string&) { return nullptr; }
AIDA::ICloud1D* TestHistogramFactory::createCopy(const std::string&, const AIDA::ICloud1D&) { return nullptr; }
AIDA::ICloud2D* TestHistogramFactory::createCloud2D(const std::string&, const std::string&, int, const std::string&) {
    return nullptr;
}
AIDA::ICloud2D* TestHistogramFactory::createCloud2D(const std::string&) { return nullptr; }
AIDA::ICloud2D* TestHistogramFactory::createCopy(const std::string&, const AIDA::ICloud2D&) { return nullptr; }
AIDA::ICloud3D* TestHistogramFactory::createCloud3D(const std::string&, const std::string&, int, const std::string&) {
    return nullptr;
}
AIDA::ICloud3D* TestHistogramFactory::createCloud3D(const std::string&) { return nullptr; }
AIDA::ICloud3D* TestHistogramFactory::createCopy(const std::string&, const AIDA::ICloud3D&) { return nullptr; }
AIDA::IHistogram1D* TestHistogramFactory::createCopy(const std::string&, const AIDA::IHistogram1D&) { return nullptr; }
AIDA::IHistogram2D* TestHistogramFactory::createCopy(const std::string&, const AIDA::IHistogram2D&) { return nullptr; }
AIDA::IHistogram3D* TestHistogramFactory::createHistogram3D(const std::string&, const std::string&, int, double, double,
                                                            int, double, double, int, double, double,
                                                            const std::string&) {
    return nullptr;
}
AIDA::IHistogram3D* TestHistogramFactory::createHistogram3D(const std::string&, int, double, double, int, double,
                                                            double, int, double, double) {
    return nullptr;
}
AIDA::IHistogram3D* TestHistogramFactory::createHistogram3D(const std::string&, const std::string&,
                                                            const std::vector<double>&, const std::vector<double>&,
                                                            const std::vector<double>&, const std::string&) {
    return nullptr;
}
AIDA::IHistogram3D* TestHistogramFactory::createCopy(const std::string&, const AIDA::IHistogram3D&) { return nullptr; }
AIDA::IProfile1D* TestHistogramFactory::createProfile1D(const std::string&, const std::string&, int, double, double,
                                                        const std::string&) {
    return nullptr;
}
AIDA::IProfile1D* TestHistogramFactory::createProfile1D(const std::string&, const std::string&, int, double, double,
                                                        double, double, const std::string&) {
    return nullptr;
}
AIDA::IProfile1D* TestHistogramFactory::createProfile1D(const std::string&, const std::string&,
                                                        const std::vector<double>&, const std::string&) {
    return nullptr;
}
AIDA::IProfile1D* TestHistogramFactory::createProfile1D(const std::string&, const std::string&,
                                                        const std::vector<double>&, double, double,
                                                        const std::string&) {
    return nullptr;
}
AIDA::IProfile1D* TestHistogramFactory::createProfile1D(const std::string&, int, double, double) { return nullptr; }
AIDA::IProfile1D* TestHistogramFactory::createProfile1D(const std::string&, int, double, double, double, double) {
    return nullptr;
}
AIDA::IProfile1D* TestHistogramFactory::createCopy(const std::string&, const AIDA::IProfile1D&) { return nullptr; }
AIDA::IProfile2D* TestHistogramFactory::createProfile2D(const std::string&, const std::string&, int, double, double,
                                                        int, double, double, const std::string&) {
    return nullptr;
}
AIDA::IProfile2D* TestHistogramFactory::createProfile2D(const std::string&, const std::string&, int, double, double,
                                                        int, double, double, double, double, const std::string&) {
    return nullptr;
}
AIDA::IProfile2D* TestHistogramFactory::createProfile2D(const std::string&, const std::string&,
                                                        const std::vector<double>&, const std::vector<double>&,
                                                        const std::string&) {
    return nullptr;
}
AIDA::IProfile2D* TestHistogramFactory::createProfile2D(const std::string&, const std::string&,
                                                        const std::vector<double>&, const std::vector<double>&, double,
                                                        double, const std::string&) {
    return nullptr;
}
AIDA::IProfile2D* TestHistogramFactory::createProfile2D(const std::string&, int, double, double, int, double, double) {
    return nullptr;
}
AIDA::IProfile2D* TestHistogramFactory::createProfile2D(const std::string&, int, double, double, int, double, double,
                                                        double, double) {
    return nullptr;
}
AIDA::IProfile2D* TestHistogramFactory::createCopy(const std::string&, const AIDA::IProfile2D&) { return nullptr; }
AIDA::IHistogram1D* TestHistogramFactory::add(const std::string&, const AIDA::IHistogram1D&,
                                              const AIDA::IHistogram1D&) {
    return nullptr;
}
AIDA::IHistogram1D* TestHistogramFactory::subtract(const std::string&, const AIDA::IHistogram1D&,
                                                   const AIDA::IHistogram1D&) {
    return nullptr;
}
AIDA::IHistogram1D* TestHistogramFactory::multiply(const std::string&, const AIDA::IHistogram1D&,
                                                   const AIDA::IHistogram1D&) {
    return nullptr;
}
AIDA::IHistogram1D* TestHistogramFactory::divide(const std::string&, const AIDA::IHistogram1D&,
                                                 const AIDA::IHistogram1D&) {
    return nullptr;
}
AIDA::IHistogram2D* TestHistogramFactory::add(const std::string&, const AIDA::IHistogram2D&,
                                              const AIDA::IHistogram2D&) {
    return nullptr;
}
AIDA::IHistogram2D* TestHistogramFactory::subtract(const std::string&, const AIDA::IHistogram2D&,
                                                   const AIDA::IHistogram2D&) {
    return nullptr;
}
AIDA::IHistogram2D* TestHistogramFactory::multiply(const std::string&, const AIDA::IHistogram2D&,
                                                   const AIDA::IHistogram2D&) {
    return nullptr;
}
AIDA::IHistogram2D* TestHistogramFactory::divide(const std::string&, const AIDA::IHistogram2D&,
                                                 const AIDA::IHistogram2D&) {
    return nullptr;
}
AIDA::IHistogram3D* TestHistogramFactory::add(const std::string&, const AIDA::IHistogram3D&,
                                              const AIDA::IHistogram3D&) {
    return nullptr;
}
AIDA::IHistogram3D* TestHistogramFactory::subtract(const std::string&, const AIDA::IHistogram3D&,
                                                   const AIDA::IHistogram3D&) {
    return nullptr;
}
AIDA::IHistogram3D* TestHistogramFactory::multiply(const std::string&, const AIDA::IHistogram3D&,
                                                   const AIDA::IHistogram3D&) {
    return nullptr;
}
AIDA::IHistogram3D* TestHistogramFactory::divide(const std::string&, const AIDA::IHistogram3D&,
                                                 const AIDA::IHistogram3D&) {
    return nullptr;
}
AIDA::IHistogram1D* TestHistogramFactory::projectionX(const std::string&, const AIDA::IHistogram2D&) { return nullptr; }
AIDA::IHistogram1D* TestHistogramFactory::projectionY(const std::string&, const AIDA::IHistogram2D&) { return nullptr; }
AIDA::IHistogram1D* TestHistogramFactory::sliceX(const std::string&, const AIDA::IHistogram2D&, int) { return nullptr; }
AIDA::IHistogram1D* TestHistogramFactory::sliceY(const std::string&, const AIDA::IHistogram2D&, int) { return nullptr; }
AIDA::IHistogram1D* TestHistogramFactory::sliceX(const std::string&, const AIDA::IHistogram2D&, int, int) {
    return nullptr;
}
AIDA::IHistogram1D* TestHistogramFactory::sliceY(const std::string&, const AIDA::IHistogram2D&, int, int) {
    return nullptr;
}
AIDA::IHistogram2D* TestHistogramFactory::projectionXY(const std::string&, const AIDA::IHistogram3D&) {
    return nullptr;
}
AIDA::IHistogram2D* TestHistogramFactory::projectionXZ(const std::string&, const AIDA::IHistogram3D&) {
    return nullptr;
}
AIDA::IHistogram2D* TestHistogramFactory::projectionYZ(const std::string&, const AIDA::IHistogram3D&) {
    return nullptr;
}
AIDA::IHistogram2D* TestHistogramFactory::sliceXY(const std::string&, const AIDA::IHistogram3D&, int, int) {
    return nullptr;
}
AIDA::IHistogram2D* TestHistogramFactory::sliceXZ(const std::string&, const AIDA::IHistogram3D&, int, int) {
    return nullptr;
}
AIDA::IHistogram2D* TestHistogramFactory::sliceYZ(const std::string&, const AIDA::IHistogram3D&, int, int) {
    return nullptr;
}
