#include <algorithm>
#include <climits>
#include <cmath>
#include <iostream>
#include <string>
#include <vector>

#include "AIDA/IAnalysisFactory.h"
#include "AIDA/IAnnotation.h"
#include "AIDA/IDataPoint.h"
#include "AIDA/IDataPointSet.h"
#include "AIDA/IDataPointSetFactory.h"
#include "AIDA/IMeasurement.h"
#include "AIDA/IPlotter.h"
#include "AIDA/IPlotterRegion.h"
#include "AIDA/ITree.h"
#include "AidaAccess.h"
#include "Corvane.h"
#include "RecordInput.h"
#include "Tavrel.h"
#include "TextNumbers.h"
#include "formulaParser.h"

// Draws a two-coordinate AIDA data point set (y against x, with errors)
// from event records: "xprops" and "yprops" name the value property and
// optionally the positive and negative error properties of each
// coordinate. Lists give one point per element (optionally sorted by x),
// plain numbers one point per record, which accumulate with the option
// "append". The graph lives at its own path of the shared tree and is
// plotted in region 0 of a plotter.
//
// Threads: built on the flow's creating thread, fed on the flow thread.
class Zinnet : public Corvane {
public:
    // Reads the numbers of one property of the current record: the
    // elements of a list, or the single value of a plain number.
    class vecs {
    public:
        typedef void (vecs::*SetFunction)();
        typedef double (vecs::*ConvertFunction)(int);

        explicit vecs(Zinnet* owner);

        // Looks the property up in `event` (adding an empty one when the
        // event lacks it) and chooses its readers; false when its kind
        // (list or plain) differs from the owner's mode.
        bool make_funcs(Tavrel& event);
        // Refreshes the first element and the count from the list.
        void call_set_func();
        // Element `index` as a double; 0.0 without a reader or beyond the list.
        double call_conv_func(int index);
        // Whether a property was named when the readers were chosen.
        bool named() const { return namedAtResolution; }

        template <class T> void set();
        template <class T> double convert(int index);

        static const int TypeMap[33];
        static const std::pair<SetFunction, ConvertFunction> FuncMaps[14];

        Zinnet* owner;
        SetFunction setFunction;
        ConvertFunction convertFunction;
        void* valueSource;
        void* firstElement;
        std::string errorText;
        std::string propertyName;
        int elementCount;

    private:
        // Stand-ins for a property that is not named.
        std::vector<int> placeholderList;
        int placeholderNumber;
        formulaParser* formula;
        bool namedAtResolution;
    };

    explicit Zinnet(std::string& instanceName);
    ~Zinnet() override;

    void Init() override;
    // Removes every point and plots the empty graph.
    void Reset() override;

    void setProps(void* value);
    void processFe(void* value);
    void setPath(void* value);
    void setOpts(void* value);

private:
    void removeGraph();
    void setPointers(Tavrel* event);
    void addPoints();
    void replot();
    // The order of points 0 .. n-1 by their x values, equal ones in event order.
    std::vector<int> sortedOrder(int n);

    AIDA::IDataPointSetFactory* dataPointSetFactory;
    AIDA::IDataPointSet* dataPointSet;
    AIDA::IPlotterRegion* region;
    AIDA::ITree* tree;
    std::string path;
    bool resolvePending;
    bool sortPoints;
    bool appendPoints;
    vecs xValue;
    vecs xErrorPlus;
    vecs xErrorMinus;
    vecs yValue;
    vecs yErrorPlus;
    vecs yErrorMinus;
    bool vectorMode;
    RecordInput recordInput;
    Tavrel* resolvedRecord;
};

namespace {

const char* const kMixed = ": Error: All properties must be vectors or all properties must be plain, but not mixed!";

int countOf(size_t size) { return size > static_cast<size_t>(INT_MAX) ? INT_MAX : static_cast<int>(size); }

}  // namespace

Zinnet::vecs::vecs(Zinnet* owner)
    : owner(owner),
      setFunction(nullptr),
      convertFunction(nullptr),
      valueSource(nullptr),
      firstElement(nullptr),
      elementCount(0),
      placeholderNumber(0),
      formula(nullptr),
      namedAtResolution(false) {}

template <class T> void Zinnet::vecs::set() {
    std::vector<T>& list = *static_cast<std::vector<T>*>(valueSource);
    firstElement = list.data();
    elementCount = countOf(list.size());
}

// A list of bool packs its elements: they are read through the list.
template <> void Zinnet::vecs::set<bool>() {
    firstElement = valueSource;
    elementCount = countOf(static_cast<std::vector<bool>*>(valueSource)->size());
}

template <class T> double Zinnet::vecs::convert(int index) {
    return static_cast<double>(static_cast<T*>(firstElement)[index]);
}

template <> double Zinnet::vecs::convert<bool>(int index) {
    if (owner->vectorMode) return (*static_cast<std::vector<bool>*>(firstElement))[index] ? 1.0 : 0.0;
    // A plain bool is read as its byte, so any byte other than 0 counts as 1.
    return *static_cast<unsigned char*>(firstElement) != 0 ? 1.0 : 0.0;
}

template <> double Zinnet::vecs::convert<std::string>(int index) {
    return vorn::parseDouble(static_cast<std::string*>(firstElement)[index].c_str());
}

// Row of FuncMaps for each type code 0 .. 32.
const int Zinnet::vecs::TypeMap[33] = {
    0,  1,  2,  11, 3,  4,  5,  6,  12, 9,  10,  // 0 .. 10
    7,  1,  0,  0,  0,  0,  0,  0,  13,          // 11 .. 19
    4,  6,  7,  12, 9,  10, 13,                  // 20 .. 26
    0,  0,  0,  0,  0,  0};                      // 27 .. 32

const std::pair<Zinnet::vecs::SetFunction, Zinnet::vecs::ConvertFunction> Zinnet::vecs::FuncMaps[14] = {
    {nullptr, nullptr},
    {&vecs::set<unsigned char>, &vecs::convert<unsigned char>},
    {&vecs::set<signed char>, &vecs::convert<signed char>},
    {&vecs::set<unsigned short>, &vecs::convert<unsigned short>},
    {&vecs::set<short>, &vecs::convert<short>},
    {&vecs::set<unsigned int>, &vecs::convert<unsigned int>},
    {&vecs::set<int>, &vecs::convert<int>},
    {&vecs::set<unsigned long>, &vecs::convert<unsigned long>},
    {&vecs::set<long>, &vecs::convert<long>},
    {&vecs::set<float>, &vecs::convert<float>},
    {&vecs::set<double>, &vecs::convert<double>},
    {&vecs::set<char>, &vecs::convert<char>},
    {&vecs::set<bool>, &vecs::convert<bool>},
    {&vecs::set<std::string>, &vecs::convert<std::string>},
};

bool Zinnet::vecs::make_funcs(Tavrel& event) {
    setFunction = nullptr;
    convertFunction = nullptr;
    errorText.clear();
    formula = nullptr;
    elementCount = 0;
    namedAtResolution = !propertyName.empty();
    int type;
    if (namedAtResolution) {
        FlowProperty& property = event[propertyName];
        type = property.type;
        valueSource = firstElement = property.value;
        formula = property.formula;
    } else if (owner->vectorMode) {
        placeholderList.clear();
        valueSource = firstElement = &placeholderList;
        type = vorn_vector_int;
    } else {
        placeholderNumber = 0;
        valueSource = firstElement = &placeholderNumber;
        type = vorn_int;
    }
    if ((type <= vorn_string) == owner->vectorMode) {
        errorText = kMixed;
        return false;
    }
    // A property without a value (one just added, say) reads nothing.
    if (valueSource == nullptr || type < 0 || type > 32) return true;
    setFunction = FuncMaps[TypeMap[type]].first;
    convertFunction = FuncMaps[TypeMap[type]].second;
    return true;
}

void Zinnet::vecs::call_set_func() {
    if (setFunction == nullptr) return;
    if (formula != nullptr) formula->eval();
    (this->*setFunction)();
}

double Zinnet::vecs::call_conv_func(int index) {
    if (convertFunction == nullptr) return 0.0;
    if (owner->vectorMode ? index < 0 || index >= elementCount : index != 0) return 0.0;
    return (this->*convertFunction)(index);
}

Zinnet::Zinnet(std::string& instanceName)
    : Corvane(nullptr, "NoName"),
      dataPointSetFactory(nullptr),
      dataPointSet(nullptr),
      region(nullptr),
      tree(nullptr),
      resolvePending(true),
      sortPoints(false),
      appendPoints(false),
      xValue(this),
      xErrorPlus(this),
      xErrorMinus(this),
      yValue(this),
      yErrorPlus(this),
      yErrorMinus(this),
      vectorMode(false),
      resolvedRecord(nullptr) {
    name = instanceName;
    description =
        "Generates a 2-coordinate AIDA Data Point Set from vectors of numbers or just numbers.\n"
        "In the latter case, data will be accummulated until the graph is reset.";
    inputs.push_back(Input("xprops", CORVANE_HANDLER(&Zinnet::setProps), vorn_vector_string,
                           "FlowProperties to pick x, the positive (or total) error (optional), and the negative "
                           "error (optional)"));
    inputs.push_back(Input("yprops", CORVANE_HANDLER(&Zinnet::setProps), vorn_vector_string,
                           "FlowProperties to pick y, the positive (or total) error (optional), and the negative "
                           "error (optional)"));
    inputs.push_back(
        Input("fevent", CORVANE_HANDLER(&Zinnet::processFe), vorn_tavrel, "The Tavrel that triggers the plot"));
    inputs.push_back(Input("path", CORVANE_HANDLER(&Zinnet::setPath), vorn_string,
                           "The AIDA tree pathname of the plot. Default is /Graphs/<name>"));
    inputs.push_back(Input("options", CORVANE_HANDLER(&Zinnet::setOpts), vorn_vector_string, "Plot and sort options"));
}

Zinnet::~Zinnet() {
    removeGraph();
    delete dataPointSetFactory;
    std::cout << name << " deleted" << std::endl;
}

void Zinnet::Init() {
    AIDA::IAnalysisFactory* factory = aidaaccess::analysisFactoryOf(*this);
    if (factory == nullptr) return;
    tree = aidaaccess::createMemoryTree(*factory);
    if (tree == nullptr) return;
    dataPointSetFactory = factory->createDataPointSetFactory(*tree);
    if (dataPointSetFactory == nullptr) return;
    std::string initial = "/Graphs/" + name;
    setPath(&initial);
    AIDA::IPlotter* plotter = aidaaccess::createPlotter(*factory, "HistogramViewer");
    if (plotter == nullptr) return;
    region = plotter->region(0);
    if (region != nullptr) region->clear();
    replot();
    plotter->show();
    std::cout << name << " initialized." << std::endl;
}

void Zinnet::Reset() {
    if (dataPointSet == nullptr) return;
    dataPointSet->clear();
    replot();
}

void Zinnet::replot() {
    if (region != nullptr && dataPointSet != nullptr) region->plot(*dataPointSet, "");
}

void Zinnet::setPath(void* value) {
    const std::string& text = *static_cast<std::string*>(value);
    size_t cut = text.rfind('/');
    std::string folder = cut == std::string::npos ? text : text.substr(0, cut);
    std::string leaf = cut == std::string::npos ? text : text.substr(cut + 1);
    // The graph needs a name; the one in place stays.
    if (leaf.empty()) {
        std::cout << name << ": Path \"" << text << "\" names no graph; keeping " << path << "." << std::endl;
        return;
    }
    if (folder.empty() || folder[0] != '/') folder = "/" + folder;
    removeGraph();
    path = aidaaccess::joinPath(folder, leaf);
    if (tree == nullptr || dataPointSetFactory == nullptr) return;
    tree->cd("/");
    tree->mkdirs(folder);
    tree->cd(folder);
    dataPointSet = dataPointSetFactory->create(leaf, leaf, 2);
    if (dataPointSet != nullptr) dataPointSet->annotation().setValue("RootOpt", "AL*");
}

// Moves the graph into the trash folder and removes its folder when that
// left it empty. The walk up stops at the first folder that still holds
// something (the parent of an emptied folder still lists it) and at the root.
void Zinnet::removeGraph() {
    if (dataPointSet == nullptr) return;
    dataPointSet = nullptr;
    if (tree == nullptr) return;
    aidaaccess::moveToTrash(*tree, path);
    std::string folder = path.substr(0, path.rfind('/'));
    if (folder.empty()) folder = "/";
    // A folder that is gone leaves the current folder elsewhere: nothing to tidy.
    if (!tree->cd(folder)) return;
    std::string last;
    while (tree->listObjectNames(".", false).empty()) {
        std::string here = tree->pwd();
        if (here.empty() || here == "/" || !tree->cd("..")) break;
        last = here;
    }
    if (!last.empty()) tree->rmdir(last);
}

void Zinnet::setProps(void* value) {
    std::vector<std::string>& names = *static_cast<std::vector<std::string>*>(value);
    vecs* accessors[3];
    if (currentInput == 0) {
        accessors[0] = &xValue, accessors[1] = &xErrorPlus, accessors[2] = &xErrorMinus;
    } else {
        accessors[0] = &yValue, accessors[1] = &yErrorPlus, accessors[2] = &yErrorMinus;
    }
    for (vecs* accessor : accessors) accessor->propertyName.clear();
    if (names.empty()) return;
    accessors[0]->propertyName = names[0];
    if (names.size() == 2) {
        accessors[1]->propertyName = accessors[2]->propertyName = names[1];
    } else if (names.size() >= 3) {
        accessors[1]->propertyName = names[1];
        accessors[2]->propertyName = names[2];
    }
}

void Zinnet::setOpts(void* value) {
    for (const std::string& word : *static_cast<std::vector<std::string>*>(value)) {
        if (word == "sort") sortPoints = true;
        if (word == "append") appendPoints = true;
    }
}

void Zinnet::setPointers(Tavrel* event) {
    const std::string& modeName = !xValue.propertyName.empty() ? xValue.propertyName : yValue.propertyName;
    vectorMode = !modeName.empty() && (*event)[modeName].type > vorn_string;
    bool mixed = false;
    for (vecs* accessor : {&xValue, &xErrorPlus, &xErrorMinus, &yValue, &yErrorPlus, &yErrorMinus})
        mixed = !accessor->make_funcs(*event) || mixed;
    if (mixed) std::cout << name << kMixed << std::endl;
}

void Zinnet::processFe(void* value) {
    Tavrel* record = recordInput.accept(*this, value);
    // Without a graph nothing is looked up, so the record stays untouched.
    if (record == nullptr || dataPointSet == nullptr) return;
    if (record->announce || resolvePending || record != resolvedRecord) {
        setPointers(record);
        resolvePending = false;
        resolvedRecord = record;
        if (record->announce) return;
    }
    addPoints();
    replot();
}

std::vector<int> Zinnet::sortedOrder(int n) {
    std::vector<double> xs(n);
    for (int i = 0; i < n; ++i) xs[i] = xValue.call_conv_func(i);
    std::vector<int> order(n);
    for (int i = 0; i < n; ++i) order[i] = i;
    // Points without a number for x go last.
    std::stable_sort(order.begin(), order.end(), [&xs](int a, int b) {
        return !std::isnan(xs[a]) && (std::isnan(xs[b]) || xs[a] < xs[b]);
    });
    return order;
}

void Zinnet::addPoints() {
    int n = 1;
    std::vector<int> order;
    if (vectorMode) {
        for (vecs* accessor : {&xValue, &xErrorPlus, &xErrorMinus, &yValue, &yErrorPlus, &yErrorMinus})
            accessor->call_set_func();
        if (xValue.named()) {
            n = std::min(xValue.elementCount, yValue.elementCount);
            if (sortPoints) order = sortedOrder(n);
        } else {
            n = yValue.elementCount;
        }
    }
    // Points without a named x are numbered on from the last one kept.
    double first = 0;
    if (!appendPoints) {
        dataPointSet->clear();
    } else if (dataPointSet->size() != 0) {
        AIDA::IDataPoint* lastPoint = dataPointSet->point(dataPointSet->size() - 1);
        AIDA::IMeasurement* lastX = lastPoint != nullptr ? lastPoint->coordinate(0) : nullptr;
        if (lastX != nullptr) first = vorn::numericCast<int>(lastX->value()) + 1.0;
    }
    for (int k = 0; k < n; ++k) {
        int idx = order.empty() ? k : order[k];
        if (!dataPointSet->addPoint()) return;
        AIDA::IDataPoint* point = dataPointSet->point(dataPointSet->size() - 1);
        AIDA::IMeasurement* px = point != nullptr ? point->coordinate(0) : nullptr;
        AIDA::IMeasurement* py = point != nullptr ? point->coordinate(1) : nullptr;
        if (px == nullptr || py == nullptr) return;
        if (xValue.named()) {
            px->setValue(xValue.call_conv_func(idx));
            // Error lists shorter than the values give the last points no error.
            if (xErrorPlus.named() && (!vectorMode || idx < xErrorPlus.elementCount))
                px->setErrorPlus(xErrorPlus.call_conv_func(idx));
            if (xErrorMinus.named() && (!vectorMode || idx < xErrorMinus.elementCount))
                px->setErrorMinus(xErrorMinus.call_conv_func(idx));
        } else {
            px->setValue(first + k);
        }
        py->setValue(yValue.call_conv_func(idx));
        if (yErrorPlus.named() && (!vectorMode || idx < yErrorPlus.elementCount))
            py->setErrorPlus(yErrorPlus.call_conv_func(idx));
        if (yErrorMinus.named() && (!vectorMode || idx < yErrorMinus.elementCount))
            py->setErrorMinus(yErrorMinus.call_conv_func(idx));
    }
}

CORVANE_MODULE(Zinnet)
