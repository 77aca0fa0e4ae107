#ifndef ZARN_AIDA_VORNTREE_H
#define ZARN_AIDA_VORNTREE_H

#include <ostream>
#include <string>
#include <vector>

#include "AIDA/ITree.h"
#include "AIDA/ITreeFactory.h"

class VornTree;

// Every tree of the built-in AIDA system ever created, by index; the entry
// of a destroyed tree is null. The list only grows. Destroyed at exit, it is
// left empty, holding no storage; its entries carry on in liveTreeList().
extern std::vector<VornTree*> treeList;

// The list that trees enter and leave: treeList, and once treeList has been
// destroyed at exit (or the system is unloaded), a list that is never
// destroyed and keeps treeList's entries. So a tree may still be created or
// deleted, and the analysis factory deleted, by code that runs later.
std::vector<VornTree*>& liveTreeList();

// Makes a new, separate tree at every create.
// Threads: one thread at a time.
class VornTreeFactory : public AIDA::ITreeFactory {
public:
    VornTreeFactory();
    ~VornTreeFactory() override;

    // A tree named "DefaultTree".
    AIDA::ITree* create() override;
    // A new tree; the arguments are not used.
    AIDA::ITree* create(const std::string& storeName, const std::string& storeType, bool readOnly,
                        bool createNew, const std::string& options) override;
};

// A tree that holds nothing: every operation does nothing and returns an
// empty text, an empty list, false or null.
// Threads: one thread at a time.
class VornTree : public AIDA::ITree {
public:
    // Appends itself to liveTreeList().
    VornTree();
    // Clears its liveTreeList() entry.
    ~VornTree() override;

    std::string storeName() const override;
    AIDA::IManagedObject* find(const std::string& path) override;
    AIDA::ITree* findTree(const std::string& path) override;
    bool cd(const std::string& path) override;
    std::string pwd() const override;
    bool ls(const std::string& path, bool recursive, std::ostream& os) const override;
    std::vector<std::string> listObjectNames(const std::string& path, bool recursive) const override;
    std::vector<std::string> listObjectTypes(const std::string& path, bool recursive) const override;
    bool mkdir(const std::string& path) override;
    bool mkdirs(const std::string& path) override;
    bool rmdir(const std::string& path) override;
    bool rm(const std::string& path) override;
    std::string findPath(const AIDA::IManagedObject& object) const override;
    bool mv(const std::string& oldPath, const std::string& newPath) override;
    bool commit() override;
    void setOverwrite(bool overwrite) override;
    bool cp(const std::string& oldPath, const std::string& newPath, bool recursive) override;
    bool symlink(const std::string& path, const std::string& alias) override;
    bool mount(const std::string& path, AIDA::ITree& tree, const std::string& treePath) override;
    bool unmount(const std::string& path) override;
    bool close() override;
    void* cast(const std::string& className) const override;

    // This tree's position in liveTreeList().
    int index;
};

#endif
