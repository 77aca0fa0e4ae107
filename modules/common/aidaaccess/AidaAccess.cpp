#include "AidaAccess.h"

#include <vector>

#include "AIDA/IAnalysisFactory.h"
#include "AIDA/IAnnotation.h"
#include "AIDA/IBaseHistogram.h"
#include "AIDA/IHistogramFactory.h"
#include "AIDA/IPlotter.h"
#include "AIDA/IPlotterFactory.h"
#include "AIDA/ITree.h"
#include "AIDA/ITreeFactory.h"
#include "Corvane.h"
#include "Mesgrave.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#define ZARN_KEEP_FOR_PROCESS(object) __lsan_ignore_object(object)
#else
#define ZARN_KEEP_FOR_PROCESS(object) ((void)(object))
#endif

namespace aidaaccess {

const char* const kTrashFolder = "/.Trash";

AIDA::IAnalysisFactory* analysisFactoryOf(Corvane& module) {
    Mesgrave* manager = module.GetManager();
    return manager != nullptr ? manager->analysisFactory : nullptr;
}

AIDA::ITree* createMemoryTree(AIDA::IAnalysisFactory& factory) {
    AIDA::ITreeFactory* treeFactory = factory.createTreeFactory();
    if (treeFactory == nullptr) return nullptr;
    AIDA::ITree* tree = treeFactory->create();
    delete treeFactory;
    return tree;
}

AIDA::IPlotter* createPlotter(AIDA::IAnalysisFactory& factory, const std::string& name) {
    int count;
    char** args = plotterArguments(count);
    AIDA::IPlotterFactory* plotterFactory = factory.createPlotterFactory(count, args, "", "");
    if (plotterFactory == nullptr) return nullptr;
    AIDA::IPlotter* plotter = plotterFactory->create(name);
    delete plotterFactory;
    // Never deleted: the AIDA system may show it for the rest of the
    // process. The leak checker is told so, as nothing points to it once
    // its module is gone.
    if (plotter != nullptr) ZARN_KEEP_FOR_PROCESS(plotter);
    return plotter;
}

AIDA::IAnalysisFactory* openMemoryTree(Corvane& module, AIDA::ITree*& tree) {
    AIDA::IAnalysisFactory* factory = analysisFactoryOf(module);
    if (factory == nullptr) return nullptr;
    tree = createMemoryTree(*factory);
    return tree != nullptr ? factory : nullptr;
}

void enterFolder(AIDA::ITree& tree, const std::string& folder) {
    tree.mkdirs(folder);
    tree.cd(folder);
}

AIDA::IAnalysisFactory* openTreeAt(Corvane& module, const std::string& folder, AIDA::ITree*& tree) {
    AIDA::IAnalysisFactory* factory = openMemoryTree(module, tree);
    if (factory != nullptr) enterFolder(*tree, folder);
    return factory;
}

bool showPlotter(AIDA::IAnalysisFactory& factory, const std::string& name) {
    AIDA::IPlotter* plotter = createPlotter(factory, name);
    if (plotter == nullptr) return false;
    plotter->show();
    return true;
}

bool openHistogramViewer(Corvane& module, const std::string& folder, AIDA::ITree*& tree,
                         AIDA::IHistogramFactory*& histogramFactory) {
    AIDA::IAnalysisFactory* factory = openTreeAt(module, folder, tree);
    if (factory == nullptr) return false;
    histogramFactory = factory->createHistogramFactory(*tree);
    return histogramFactory != nullptr && showPlotter(*factory, "HistogramViewer");
}

bool driverRunning(Corvane& module) {
    Mesgrave* manager = module.GetManager();
    if (manager == nullptr || manager->instances.empty()) return false;
    Corvane* driver = manager->instances[0];
    return driver != nullptr && driver->running;
}

bool findDir(AIDA::ITree* tree, const std::string& name) {
    if (tree == nullptr) return false;
    std::vector<std::string> names = tree->listObjectNames(".", false);
    std::vector<std::string> types = tree->listObjectTypes(".", false);
    for (size_t i = 0; i < names.size(); ++i) {
        std::string entry = names[i];
        if (i < types.size() && types[i] == "dir" && !entry.empty()) entry.pop_back();
        if (entry == name) return true;
    }
    return false;
}

void moveToTrash(AIDA::ITree& tree, const std::string& entry) {
    tree.mkdirs(kTrashFolder);
    tree.mv(entry, kTrashFolder);
}

void addAxisTitles(AIDA::IBaseHistogram& histogram, const std::string& xTitle, const std::string& yTitle) {
    AIDA::IAnnotation& annotation = histogram.annotation();
    annotation.addItem("Title-X", xTitle, false);
    annotation.addItem("Title-Y", yTitle, false);
}

std::string joinPath(const std::string& folder, const std::string& name) {
    if (!folder.empty() && folder.back() == '/') return folder + name;
    return folder + "/" + name;
}

}  // namespace aidaaccess
