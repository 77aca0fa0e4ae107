#include <iostream>
#include <string>
#include <vector>

#include "AIDA/IAnalysisFactory.h"
#include "AIDA/IDataPointSet.h"
#include "AIDA/IDataPointSetFactory.h"
#include "AIDA/ITree.h"
#include "AIDA/ITreeFactory.h"
#include "Corvane.h"
#include "Mesgrave.h"

// Test helper on the shared AIDA tree: "points" makes a data point set of
// two 1-D points (1 and 2) at the path given; any value on "cd" makes the
// folder given on "folder" the current one; any value on "pwd" prints
// "<name>: pwd <current folder>".
class MbTree : public Corvane {
public:
    explicit MbTree(std::string& instanceName) : Corvane(nullptr, instanceName), tree(nullptr) {
        inputs.push_back(Input("points", CORVANE_HANDLER(&MbTree::makePoints), vorn_string, "path"));
        inputs.push_back(Input("folder", CORVANE_HANDLER(&MbTree::setFolder), vorn_string, "folder"));
        inputs.push_back(Input("cd", CORVANE_HANDLER(&MbTree::changeFolder), vorn_any, "cd now"));
        inputs.push_back(Input("pwd", CORVANE_HANDLER(&MbTree::printFolder), vorn_any, "pwd now"));
    }

    void Init() override {
        AIDA::IAnalysisFactory* factory = analysisFactory();
        if (factory == nullptr) return;
        AIDA::ITreeFactory* treeFactory = factory->createTreeFactory();
        if (treeFactory == nullptr) return;
        tree = treeFactory->create();
        delete treeFactory;
    }

private:
    AIDA::IAnalysisFactory* analysisFactory() {
        return GetManager() != nullptr ? GetManager()->analysisFactory : nullptr;
    }

    void makePoints(void* value) {
        std::string path = *static_cast<std::string*>(value);
        AIDA::IAnalysisFactory* factory = analysisFactory();
        if (tree == nullptr || factory == nullptr) return;
        AIDA::IDataPointSetFactory* points = factory->createDataPointSetFactory(*tree);
        if (points == nullptr) return;
        tree->mkdirs(path.substr(0, path.rfind('/')));
        AIDA::IDataPointSet* set = points->create(path, "points", 1);
        if (set != nullptr) set->setCoordinate(0, {1, 2}, {0.5, 0.5});
        delete points;
    }

    void setFolder(void* value) { folder = *static_cast<std::string*>(value); }

    void changeFolder(void*) {
        if (tree != nullptr) tree->cd(folder);
    }

    void printFolder(void*) {
        if (tree != nullptr) std::cout << name << ": pwd " << tree->pwd() << std::endl;
    }

    AIDA::ITree* tree;
    std::string folder;
};

CORVANE_MODULE(MbTree)
