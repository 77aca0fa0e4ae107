#include <algorithm>
#include <cmath>
#include <iostream>
#include <locale>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "AIDA/IAnalysisFactory.h"
#include "AIDA/IAnnotation.h"
#include "AIDA/IBaseHistogram.h"
#include "AIDA/IHistogram1D.h"
#include "AIDA/IHistogram2D.h"
#include "AIDA/IHistogramFactory.h"
#include "AIDA/ITree.h"
#include "AidaAccess.h"
#include "Corvane.h"
#include "HistoInputs.h"
#include "RecordInput.h"
#include "Tavrel.h"

// One histogram description: the properties it shows (x first), their
// binnings and bin divisors, and per cut the folder, name and histogram.
struct HistoDescriptor {
    std::vector<std::string> names;
    std::string title;
    std::vector<std::string> dirs;
    std::vector<std::string> properties;
    std::vector<FlowProperty*> propertyPointers;
    std::vector<int> divisors;
    // A bin count of 0: take the property's binning.
    std::vector<FlowBinning> binnings;
    std::vector<AIDA::IBaseHistogram*> histograms;
};

// Fills a group of 1-D and 2-D histograms from event records. Each
// description input names one or two properties; every description gets
// one histogram per cut, in a folder given per cut by a path template, and
// a record fills the histograms of the cuts whose bool property is true
// ("*": no cut). The path and description inputs follow the lists given on
// "cuts" and "histos".
//
// Threads: built on the flow's creating thread, fed on the flow thread.
class Kestaly : public Corvane {
public:
    explicit Kestaly(std::string& instanceName);
    // Moves the histograms into the trash folder and removes the folders
    // that this leaves empty.
    ~Kestaly() override;

    void Init() override;
    // Empties every histogram unless the driver is running.
    void Reset() override;

private:
    enum { kFevent = 0, kCuts = 1, kFirstPath = 2 };

    // One axis as it is handed to the histogram factory.
    struct Axis {
        int bins;
        double min;
        double max;
        bool usable() const { return bins >= 1 && std::isfinite(min) && std::isfinite(max) && max > min; }
    };

    void fillFe(void* value);
    void createCutInputs(void* value);
    void setPath(void* value);
    void createHistoInputs(void* value);
    void setHisto(void* value);

    // Removes `count` inputs from `first` on, leaving the texts remembered
    // for their names as they were.
    void removeInputs(int first, int count);
    void parseDescription(HistoDescriptor& d, const std::string& text);
    void parseProperty(HistoDescriptor& d, const std::string& word);
    std::string templateOf(size_t c) const;
    void placeHistograms(HistoDescriptor& d, const std::string& base, const std::string& histogramTitle);
    Axis axisOf(const HistoDescriptor& d, size_t i, bool divided) const;
    AIDA::IBaseHistogram* createHistogram(const HistoDescriptor& d, const std::string& histogramName,
                                          const std::string& histogramTitle, bool divided);
    void setOverlay(HistoDescriptor& d);
    void trashHistograms(HistoDescriptor& d);

    // Looks the cut and description properties up in `record`.
    void lookUp(Tavrel& record);
    // The set-up on an announcement or a changed connection: pointers,
    // adopted binnings, titles.
    void setUp(Tavrel& record);
    void adoptBinnings(HistoDescriptor& d);
    void setTitles(HistoDescriptor& d);
    // Whether some cut holds for the current record (flags per cut).
    bool cutFlags();
    void fillDescriptor(HistoDescriptor& d);
    void RemoveDirsIfEmpty(std::string folder);

    AIDA::IHistogramFactory* histogramFactory;
    AIDA::ITree* tree;
    std::vector<std::string> paths;
    std::vector<HistoDescriptor> descriptors;
    std::vector<std::string> cuts;
    std::vector<FlowProperty*> cutProperties;
    RecordInput recordInput;
    Tavrel* resolvedRecord;
    std::vector<char> flags;
    std::vector<double> xValues;
    std::vector<double> yValues;
};

namespace {

const char* const kDefaultFolder = "/Histograms";
const char* const kDescriptionHelp =
    "Histogram description: <FlowProperty for x>[/bin_divisor] <FlowProperty for y>[/bin_divisor] [| <title>]";

// Sets an annotation item, adding it when absent.
void setItem(AIDA::IBaseHistogram& histogram, const std::string& key, const std::string& value) {
    AIDA::IAnnotation& annotation = histogram.annotation();
    if (!annotation.addItem(key, value, false)) annotation.setValue(key, value);
}

// The property's label, or `path` when it is absent or has none.
std::string labelOf(const FlowProperty* property, const std::string& path) {
    return property != nullptr && !property->label.empty() ? property->label : path;
}

// What a cut adds to the titles: its property's label, even an empty one;
// its path only when the property is absent. "*" adds nothing.
std::string cutLabelOf(const FlowProperty* property, const std::string& path) {
    std::string label = property != nullptr ? property->label : path;
    return label == "*" ? "" : label;
}

// The values of a list property as doubles: `buffer` filled from a list of
// short, int or float, or the property's own list of double. Empty for any
// other type and for an absent property.
template <class T> const std::vector<double>& converted(void* list, std::vector<double>& buffer) {
    const std::vector<T>& values = *static_cast<const std::vector<T>*>(list);
    buffer.assign(values.begin(), values.end());
    return buffer;
}

const std::vector<double>& valuesOf(FlowProperty* property, std::vector<double>& buffer) {
    static const std::vector<double> none;
    if (property == nullptr || property->value == nullptr) return none;
    if (property->formula != nullptr) property->formula->eval();
    switch (property->type) {
        case vorn_vector_short: return converted<short>(property->value, buffer);
        case vorn_vector_int: return converted<int>(property->value, buffer);
        case vorn_vector_float: return converted<float>(property->value, buffer);
        case vorn_vector_double: return *static_cast<const std::vector<double>*>(property->value);
        default: return none;
    }
}

}  // namespace

Kestaly::Kestaly(std::string& instanceName)
    : Corvane(nullptr, "NoName"),
      histogramFactory(nullptr),
      tree(nullptr),
      paths(1),
      cuts(1, "*"),
      resolvedRecord(nullptr) {
    name = instanceName;
    description = "Generates group of histograms";
    inputs.push_back(Input("fevent", CORVANE_HANDLER(&Kestaly::fillFe), vorn_tavrel, "Tavrel to be histo'd"));
    inputs.push_back(Input("cuts", CORVANE_HANDLER(&Kestaly::createCutInputs), vorn_vector_string,
                           "Cut variables (bool) from Tavrel or \"*\" for no cut.\n"
                           "Define a histogram path for each entry."));
    inputs.push_back(Input("path", CORVANE_HANDLER(&Kestaly::setPath), vorn_string,
                           "Histogram path. No spaces. \"%s\" marks the base name."));
    inputs.push_back(Input("histos", CORVANE_HANDLER(&Kestaly::createHistoInputs), vorn_vector_string,
                           "Histogram inputs to create"));
    std::cout << name << " instantiated" << std::endl;
}

Kestaly::~Kestaly() {
    if (tree != nullptr) {
        tree->mkdirs(aidaaccess::kTrashFolder);
        for (HistoDescriptor& d : descriptors) {
            size_t count = std::min({d.histograms.size(), d.dirs.size(), d.names.size()});
            for (size_t c = 0; c < count; ++c) {
                if (d.histograms[c] == nullptr) continue;
                tree->mv(aidaaccess::joinPath(d.dirs[c], d.names[c]), aidaaccess::kTrashFolder);
                RemoveDirsIfEmpty(d.dirs[c]);
            }
        }
    }
    delete histogramFactory;
    std::cout << name << " deleted" << std::endl;
}

void Kestaly::Init() {
    AIDA::IAnalysisFactory* factory = aidaaccess::openMemoryTree(*this, tree);
    if (factory == nullptr) return;
    histogramFactory = factory->createHistogramFactory(*tree);
    if (histogramFactory == nullptr || !aidaaccess::showPlotter(*factory, "HistogramViewer")) return;
    Reset();
    std::cout << name << " initialized." << std::endl;
}

void Kestaly::Reset() {
    if (aidaaccess::driverRunning(*this)) return;
    for (HistoDescriptor& d : descriptors)
        for (AIDA::IBaseHistogram* histogram : d.histograms)
            if (histogram != nullptr) histogram->reset();
}

void Kestaly::removeInputs(int first, int count) {
    std::vector<std::pair<std::string, const std::string*> > kept;
    std::map<std::string, std::string> before = rememberedValues;
    for (int i = first; i < first + count; ++i) {
        auto found = before.find(inputs[i].name);
        kept.emplace_back(inputs[i].name, found != before.end() ? &found->second : nullptr);
    }
    std::vector<std::string> none;
    replaceInputs(inputs[first], none, first, static_cast<int>(inputs.size()) - first - count);
    for (const auto& entry : kept) {
        if (entry.second != nullptr)
            rememberedValues[entry.first] = *entry.second;
        else
            rememberedValues.erase(entry.first);
    }
}

void Kestaly::createCutInputs(void* value) {
    const std::vector<std::string>& list = *static_cast<std::vector<std::string>*>(value);
    const int histoInputs = static_cast<int>(descriptors.size()) + 1;
    if (cuts.size() > 1) removeInputs(kFirstPath + 1, static_cast<int>(cuts.size()) - 1);
    cuts = list.empty() ? std::vector<std::string>(1, "*") : list;
    paths.resize(cuts.size());
    std::vector<std::string> names;
    if (list.size() < 2) {
        names.push_back("path");
    } else {
        for (size_t i = 1; i <= list.size(); ++i) names.push_back("path" + std::to_string(i));
    }
    Input prototype = inputs[kFirstPath];
    prototype.sender = nullptr;
    prototype.senderOutput = 0;
    replaceInputs(prototype, names, kFirstPath, histoInputs);
    connectionChanged = true;
}

void Kestaly::setPath(void* value) {
    int k = currentInput - kFirstPath;
    if (k < 0 || static_cast<size_t>(k) >= paths.size() || static_cast<size_t>(k) >= cuts.size()) return;
    const std::string& text = *static_cast<std::string*>(value);
    paths[k] = text.empty() ? std::string(kDefaultFolder) + "/%s_" + cuts[k] : text;
}

void Kestaly::createHistoInputs(void* value) {
    std::vector<std::string> list = *static_cast<std::vector<std::string>*>(value);
    // Descriptions that the list no longer holds leave their histograms to the trash.
    for (size_t k = list.size(); k < descriptors.size(); ++k) trashHistograms(descriptors[k]);
    descriptors.resize(list.size());
    Input prototype("dummy", CORVANE_HANDLER(&Kestaly::setHisto), vorn_string, kDescriptionHelp);
    replaceInputs(prototype, list, static_cast<int>(cuts.size()) + 3, 0);
    connectionChanged = true;
}

void Kestaly::setHisto(void* value) {
    int k = currentInput - static_cast<int>(cuts.size()) - 3;
    if (k < 0 || static_cast<size_t>(k) >= descriptors.size()) return;
    HistoDescriptor& d = descriptors[k];
    const std::string base = inputs[currentInput].name;
    // A new description replaces the one the input had.
    trashHistograms(d);
    d = HistoDescriptor();
    parseDescription(d, *static_cast<std::string*>(value));
    std::string histogramTitle = d.title;
    if (histogramTitle.empty() && d.properties.size() == 1) histogramTitle = d.properties[0];
    if (histogramTitle.empty() && d.properties.size() >= 2) histogramTitle = d.properties[1] + " vs " + d.properties[0];
    placeHistograms(d, base, histogramTitle);
    setOverlay(d);
    connectionChanged = true;
}

void Kestaly::parseDescription(HistoDescriptor& d, const std::string& text) {
    size_t bar = text.find('|');
    std::istringstream words(text.substr(0, bar));
    std::string word;
    while (words >> word) parseProperty(d, word);
    if (bar == std::string::npos) return;
    size_t start = text.find_first_not_of(" \t", bar + 1);
    if (start != std::string::npos) d.title = text.substr(start);
}

void Kestaly::parseProperty(HistoDescriptor& d, const std::string& word) {
    d.properties.push_back(word.substr(0, word.find_first_of("/,")));
    d.binnings.push_back(FlowBinning());
    d.divisors.push_back(1);
    size_t comma = word.find(',');
    if (comma != std::string::npos) {
        // "<bins>,<min>,<max>", each separator any one character.
        std::istringstream in(word.substr(comma + 1));
        in.imbue(std::locale::classic());
        FlowBinning& binning = d.binnings.back();
        char separator;
        if (in >> binning.bins && in.get(separator) && in >> binning.min && in.get(separator)) in >> binning.max;
    }
    size_t slash = word.find('/');
    if (slash != std::string::npos) {
        std::istringstream in(word.substr(slash + 1));
        in.imbue(std::locale::classic());
        int divisor = 0;
        if (in >> divisor && divisor >= 1)
            d.divisors.back() = divisor;
        else
            std::cout << name << ": Bin divisor " << word.substr(slash) << " refused." << std::endl;
    }
}

std::string Kestaly::templateOf(size_t c) const {
    if (c < paths.size() && !paths[c].empty()) return paths[c];
    return std::string(kDefaultFolder) + "/%s_" + cuts[c];
}

void Kestaly::placeHistograms(HistoDescriptor& d, const std::string& base, const std::string& histogramTitle) {
    const size_t count = cuts.size();
    d.dirs.assign(count, "");
    d.names.assign(count, "");
    d.histograms.assign(count, nullptr);
    for (size_t c = 0; c < count; ++c) {
        std::string full = templateOf(c);
        size_t mark = full.find("%s");
        if (mark != std::string::npos) full.replace(mark, 2, base);
        size_t slash = full.rfind('/');
        std::string folder = slash == std::string::npos ? "" : full.substr(0, slash);
        std::string histogramName = slash == std::string::npos ? full : full.substr(slash + 1);
        if (folder.empty())
            folder = kDefaultFolder;
        else if (folder[0] != '/')
            folder = std::string(kDefaultFolder) + "/" + folder;
        d.dirs[c] = folder;
        d.names[c] = histogramName;
        if (tree != nullptr && histogramFactory != nullptr) aidaaccess::enterFolder(*tree, folder);
        if (d.properties.empty()) {
            if (!replacingInputs)
                std::cout << name << ": Cannot create histogram " << histogramName << " with no parameters"
                          << std::endl;
        } else if (d.properties.size() > 2) {
            std::cout << name << ": Cannot create histogram " << histogramName << " with dimension > 2" << std::endl;
        } else {
            d.histograms[c] = createHistogram(d, histogramName, histogramTitle, false);
        }
    }
}

Kestaly::Axis Kestaly::axisOf(const HistoDescriptor& d, size_t i, bool divided) const {
    const FlowBinning& binning = d.binnings[i];
    if (binning.bins == 0) return Axis{100, 0, 100};
    return Axis{divided ? binning.bins / d.divisors[i] : binning.bins, binning.min, binning.max};
}

AIDA::IBaseHistogram* Kestaly::createHistogram(const HistoDescriptor& d, const std::string& histogramName,
                                               const std::string& histogramTitle, bool divided) {
    if (tree == nullptr || histogramFactory == nullptr) return nullptr;
    const bool twoD = d.properties.size() == 2;
    Axis x = axisOf(d, 0, divided);
    Axis y = twoD ? axisOf(d, 1, divided) : x;
    if (!x.usable() || !y.usable()) {
        std::cout << name << ": Not enough binning information for " << histogramName << "." << std::endl;
        return nullptr;
    }
    if (!histoinputs::cellsAllowed(name, histogramName, static_cast<long long>(x.bins) * (twoD ? y.bins : 1)))
        return nullptr;
    AIDA::IBaseHistogram* histogram = nullptr;
    if (twoD)
        histogram = histogramFactory->createHistogram2D(histogramName, histogramTitle, x.bins, x.min, x.max, y.bins,
                                                        y.min, y.max, "");
    else
        histogram = histogramFactory->createHistogram1D(histogramName, histogramTitle, x.bins, x.min, x.max, "");
    if (histogram != nullptr) aidaaccess::addAxisTitles(*histogram, d.properties[0], twoD ? d.properties[1] : "Counts");
    return histogram;
}

void Kestaly::setOverlay(HistoDescriptor& d) {
    if (d.histograms.empty() || d.histograms[0] == nullptr) return;
    std::string overlay;
    size_t count = std::min(d.dirs.size(), d.names.size());
    for (size_t c = 1; c < count; ++c) overlay += d.dirs[c] + "/" + d.names[c] + "\n";
    setItem(*d.histograms[0], "Overlay", overlay);
}

void Kestaly::trashHistograms(HistoDescriptor& d) {
    if (tree == nullptr) return;
    size_t count = std::min({d.histograms.size(), d.dirs.size(), d.names.size()});
    for (size_t c = 0; c < count; ++c) {
        if (d.histograms[c] != nullptr) aidaaccess::moveToTrash(*tree, aidaaccess::joinPath(d.dirs[c], d.names[c]));
        d.histograms[c] = nullptr;
    }
}

void Kestaly::fillFe(void* value) {
    Tavrel* record = recordInput.accept(*this, value);
    if (record == nullptr) return;
    if (connectionChanged || record->announce) {
        connectionChanged = false;
        resolvedRecord = record;
        setUp(*record);
        if (record->announce) return;
    } else if (record != resolvedRecord) {
        resolvedRecord = record;
        lookUp(*record);
    }
    if (!cutFlags()) return;
    for (HistoDescriptor& d : descriptors) fillDescriptor(d);
}

void Kestaly::lookUp(Tavrel& record) {
    cutProperties.assign(cuts.size(), nullptr);
    for (size_t c = 0; c < cuts.size(); ++c) {
        FlowProperty* property = record.GetProperty(cuts[c]);
        if (property != nullptr && property->type != vorn_bool)
            std::cout << name << ": Cut property " << cuts[c] << " is not a bool." << std::endl;
        cutProperties[c] = property;
    }
    for (HistoDescriptor& d : descriptors) {
        d.propertyPointers.assign(d.properties.size(), nullptr);
        for (size_t i = 0; i < d.properties.size(); ++i) d.propertyPointers[i] = record.GetProperty(d.properties[i]);
    }
}

void Kestaly::setUp(Tavrel& record) {
    lookUp(record);
    for (HistoDescriptor& d : descriptors) {
        adoptBinnings(d);
        setTitles(d);
        setOverlay(d);
    }
}

void Kestaly::adoptBinnings(HistoDescriptor& d) {
    bool changed = false;
    for (size_t i = 0; i < d.propertyPointers.size() && i < d.binnings.size(); ++i) {
        const FlowProperty* property = d.propertyPointers[i];
        FlowBinning& binning = d.binnings[i];
        if (property == nullptr || binning.bins != 0) continue;
        const FlowBinning& offered = property->binning;
        if (offered.bins != binning.bins || offered.min != binning.min || offered.max != binning.max) {
            binning.bins = offered.bins;
            binning.min = offered.min;
            binning.max = offered.max;
            changed = true;
        }
    }
    if (!changed || d.properties.empty() || d.properties.size() > 2) return;
    if (tree == nullptr || histogramFactory == nullptr) return;
    size_t count = std::min({d.histograms.size(), d.dirs.size(), d.names.size()});
    for (size_t c = 0; c < count; ++c) {
        if (d.histograms[c] != nullptr) aidaaccess::moveToTrash(*tree, aidaaccess::joinPath(d.dirs[c], d.names[c]));
        aidaaccess::enterFolder(*tree, d.dirs[c]);
        d.histograms[c] = createHistogram(d, d.names[c], d.names[c], true);
    }
}

void Kestaly::setTitles(HistoDescriptor& d) {
    const size_t dimension = d.properties.size();
    if (dimension == 0 || dimension > 2 || d.propertyPointers.size() != dimension) return;
    std::string text = d.title;
    if (text.empty()) {
        std::string x = labelOf(d.propertyPointers[0], d.properties[0]);
        std::string y = dimension == 2 ? labelOf(d.propertyPointers[1], d.properties[1]) : "";
        for (AIDA::IBaseHistogram* histogram : d.histograms) {
            if (histogram == nullptr) continue;
            setItem(*histogram, "Title-X", x);
            if (dimension == 2) setItem(*histogram, "Title-Y", y);
        }
        text = dimension == 2 ? y + " vs " + x : x;
    }
    size_t count = std::min({d.histograms.size(), cuts.size(), cutProperties.size()});
    for (size_t c = 0; c < count; ++c) {
        if (d.histograms[c] == nullptr) continue;
        std::string label = cutLabelOf(cutProperties[c], cuts[c]);
        d.histograms[c]->setTitle(label.empty() ? text : text + " [" + label + "]");
    }
}

bool Kestaly::cutFlags() {
    flags.assign(cuts.size(), 0);
    bool any = false;
    for (size_t c = 0; c < cuts.size(); ++c) {
        const FlowProperty* property = c < cutProperties.size() ? cutProperties[c] : nullptr;
        bool holds;
        if (property == nullptr)
            holds = cuts[c] == "*";
        else
            // Read as a byte: storage that holds no valid bool still gives a flag.
            holds = property->type == vorn_bool && property->value != nullptr &&
                    *static_cast<const unsigned char*>(property->value) != 0;
        flags[c] = holds;
        any = any || holds;
    }
    return any;
}

void Kestaly::fillDescriptor(HistoDescriptor& d) {
    const size_t dimension = d.properties.size();
    if (dimension == 0 || dimension > 2 || d.propertyPointers.size() != dimension) return;
    const size_t count = std::min(d.histograms.size(), flags.size());
    const std::vector<double>& x = valuesOf(d.propertyPointers[0], xValues);
    if (dimension == 1) {
        for (size_t c = 0; c < count; ++c) {
            AIDA::IHistogram1D* histogram = flags[c] ? dynamic_cast<AIDA::IHistogram1D*>(d.histograms[c]) : nullptr;
            if (histogram == nullptr) continue;
            for (double v : x) histogram->fill(v, 1.0);
        }
        return;
    }
    const std::vector<double>& y = valuesOf(d.propertyPointers[1], yValues);
    if (x.size() != y.size()) return;
    for (size_t c = 0; c < count; ++c) {
        AIDA::IHistogram2D* histogram = flags[c] ? dynamic_cast<AIDA::IHistogram2D*>(d.histograms[c]) : nullptr;
        if (histogram == nullptr) continue;
        for (size_t i = 0; i < x.size(); ++i) histogram->fill(x[i], y[i], 1.0);
    }
}

void Kestaly::RemoveDirsIfEmpty(std::string folder) {
    while (!folder.empty() && folder != "/") {
        if (!tree->cd(folder) || !tree->listObjectNames(".", false).empty()) return;
        tree->cd("..");
        if (!tree->rmdir(folder)) return;
        folder = tree->pwd();
    }
}

CORVANE_MODULE(Kestaly)
