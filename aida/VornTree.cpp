#include "VornTree.h"

#include <algorithm>
#include <new>

#include "CastrineLog.h"

std::vector<VornTree*> treeList;

namespace {

// The list after treeList, built in storage of its own and never
// destroyed, so the trees it keeps stay reachable until the process ends.
alignas(std::vector<VornTree*>) unsigned char laterListStorage[sizeof(std::vector<VornTree*>)];
std::vector<VornTree*>* laterList = nullptr;

// Destroyed right before treeList, since the objects of one file are
// destroyed in the reverse order of their definition. It starts the later
// list and hands it treeList's entries while a tree is alive; treeList is
// left empty without storage, so code that reads it afterwards sees no trees.
struct TreeListHandover {
    ~TreeListHandover() {
        laterList = new (laterListStorage) std::vector<VornTree*>;
        if (std::any_of(treeList.begin(), treeList.end(), [](VornTree* tree) { return tree != nullptr; }))
            laterList->swap(treeList);
    }
} treeListHandover;

}  // namespace

std::vector<VornTree*>& liveTreeList() { return laterList != nullptr ? *laterList : treeList; }

VornTreeFactory::VornTreeFactory() { castrineSay("VornTreeFactory::VornTreeFactory"); }

VornTreeFactory::~VornTreeFactory() { castrineSay("VornTreeFactory::~VornTreeFactory"); }

AIDA::ITree* VornTreeFactory::create() { return create("DefaultTree", "", false, false, ""); }

AIDA::ITree* VornTreeFactory::create(const std::string&, const std::string&, bool, bool, const std::string&) {
    castrineSay("creating tree");
    return new VornTree;
}

VornTree::VornTree() : index(static_cast<int>(liveTreeList().size())) {
    castrineSay("VornTree::VornTree()");
    liveTreeList().push_back(this);
}

VornTree::~VornTree() {
    castrineSay("VornTree:~::VornTree()");
    liveTreeList()[index] = nullptr;
}

std::string VornTree::storeName() const { return ""; }
AIDA::IManagedObject* VornTree::find(const std::string&) { return nullptr; }
AIDA::ITree* VornTree::findTree(const std::string&) { return nullptr; }
bool VornTree::cd(const std::string&) { return false; }
std::string VornTree::pwd() const { return ""; }
bool VornTree::ls(const std::string&, bool, std::ostream&) const { return false; }
std::vector<std::string> VornTree::listObjectNames(const std::string&, bool) const { return {}; }
std::vector<std::string> VornTree::listObjectTypes(const std::string&, bool) const { return {}; }
bool VornTree::mkdir(const std::string&) { return false; }
bool VornTree::mkdirs(const std::string&) { return false; }
bool VornTree::rmdir(const std::string&) { return false; }
bool VornTree::rm(const std::string&) { return false; }
std::string VornTree::findPath(const AIDA::IManagedObject&) const { return ""; }
bool VornTree::mv(const std::string&, const std::string&) { return false; }
bool VornTree::commit() { return false; }
void VornTree::setOverwrite(bool) {}
bool VornTree::cp(const std::string&, const std::string&, bool) { return false; }
bool VornTree::symlink(const std::string&, const std::string&) { return false; }
bool VornTree::mount(const std::string&, AIDA::ITree&, const std::string&) { return false; }
bool VornTree::unmount(const std::string&) { return false; }
bool VornTree::close() { return false; }
void* VornTree::cast(const std::string&) const { return nullptr; }
