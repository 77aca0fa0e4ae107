#include <iostream>
#include <string>
#include <vector>

#include "AIDA/IAnalysisFactory.h"
#include "AIDA/IBaseHistogram.h"
#include "AIDA/IDataPointSet.h"
#include "AIDA/IManagedObject.h"
#include "AIDA/ITree.h"
#include "AidaAccess.h"
#include "Corvane.h"

// Empties every histogram and data point set of the shared AIDA tree from
// its current folder down whenever a trigger arrives. Objects are emptied,
// never removed, and the current folder ends where it started.
//
// Threads: built on the flow's creating thread, triggered on the flow thread.
class Ellomir : public Corvane {
public:
    explicit Ellomir(std::string& instanceName);
    ~Ellomir() override;

    void Init() override;
    void Reset() override;

private:
    void clear(void* signal);
    // Empties the objects of the current folder and of its subfolders.
    void clearHistos();

    AIDA::ITree* tree;
};

namespace {

bool beginsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

}  // namespace

Ellomir::Ellomir(std::string& instanceName) : Corvane(nullptr, "NoName"), tree(nullptr) {
    name = instanceName;
    description = "Clear AIDA histograms";
    inputs.push_back(
        Input("clear", CORVANE_HANDLER(&Ellomir::clear), vorn_any, "Clear trigger. All histograms will be cleared."));
    std::cout << name << " instantiated" << std::endl;
}

Ellomir::~Ellomir() { std::cout << name << " deleted" << std::endl; }

void Ellomir::Init() {
    AIDA::IAnalysisFactory* factory = aidaaccess::analysisFactoryOf(*this);
    if (factory == nullptr) return;
    tree = aidaaccess::createMemoryTree(*factory);
    if (tree != nullptr) tree->cd("/");
    if (aidaaccess::createPlotter(*factory, "HistogramViewer") != nullptr)
        std::cout << name << " initialized." << std::endl;
}

void Ellomir::Reset() {}

void Ellomir::clear(void*) {
    if (tree != nullptr) clearHistos();
}

void Ellomir::clearHistos() {
    std::vector<std::string> names = tree->listObjectNames(".", false);
    std::vector<std::string> types = tree->listObjectTypes(".", false);
    for (size_t i = 0; i < names.size() && i < types.size(); ++i) {
        const std::string& type = types[i];
        if (type == "dir") {
            std::string folder = names[i];
            if (!folder.empty() && folder.back() == '/') folder.pop_back();
            // Only a folder that was entered is left again.
            if (folder.empty() || !tree->cd(folder)) continue;
            clearHistos();
            tree->cd("..");
        } else if (beginsWith(type, "IHistogram")) {
            if (auto* histogram = dynamic_cast<AIDA::IBaseHistogram*>(tree->find(names[i]))) histogram->reset();
        } else if (beginsWith(type, "IDataPointSet")) {
            if (auto* points = dynamic_cast<AIDA::IDataPointSet*>(tree->find(names[i]))) points->clear();
        }
    }
}

CORVANE_MODULE(Ellomir)
