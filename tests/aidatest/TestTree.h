#ifndef ZARN_TESTS_AIDATEST_TESTTREE_H
#define ZARN_TESTS_AIDATEST_TESTTREE_H

#include <fstream>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "AIDA/IManagedObject.h"
#include "AIDA/ITree.h"
#include "AIDA/ITreeFactory.h"

// Base of every object that a TestTree holds.
class TestObject : public virtual AIDA::IManagedObject {
public:
    explicit TestObject(const std::string& name) : objectName(name) {}

    std::string name() const override { return objectName; }
    // The type that listObjectTypes reports, e.g. "IHistogram1D".
    virtual std::string typeName() const = 0;
    // Writes the object's dump lines; `path` is its absolute path.
    virtual void dump(std::ostream& out, const std::string& path) const = 0;

    // Kept up to date by the tree when the object is moved or renamed.
    std::string objectName;
};

// One entry of a tree: a folder (no object) or an object.
struct TestNode {
    std::string name;
    TestNode* parent = nullptr;
    std::unique_ptr<TestObject> object;
    std::vector<std::unique_ptr<TestNode>> children;

    bool isFolder() const { return !object; }
};

// A tree of folders and objects with a current folder, kept in memory.
// Entries keep the order in which they were added. A move into a folder
// that already holds the name gives the entry the name "<name>~<n>" (n from
// 1), so nothing moved to a trash folder is lost. Creating an object at a
// taken path retires the old object: it leaves the tree but stays alive, so
// a pointer that a caller still holds never dangles.
// A file tree (storeName not empty, store type "dump") writes the dump of
// the folder mounted at its "/" to its store file at commit, buffered;
// close flushes the file, so a failed flush (a store on /dev/full) fails
// the close.
// Threads: one thread at a time.
class TestTree : public AIDA::ITree {
public:
    TestTree(const std::string& storeName = "", const std::string& storeType = "");
    ~TestTree() override;

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
    // Refuses the root and any folder that holds the current folder.
    bool rmdir(const std::string& path) override;
    bool rm(const std::string& path) override;
    std::string findPath(const AIDA::IManagedObject& object) const override;
    bool mv(const std::string& oldPath, const std::string& newPath) override;
    bool commit() override;
    void setOverwrite(bool overwrite) override;
    bool cp(const std::string& oldPath, const std::string& newPath, bool recursive) override;
    bool symlink(const std::string& path, const std::string& alias) override;
    // Only a whole tree at "/": the file tree then stands for folder
    // `treePath` of `tree`.
    bool mount(const std::string& path, AIDA::ITree& tree, const std::string& treePath) override;
    bool unmount(const std::string& path) override;
    bool close() override;
    void* cast(const std::string& className) const override;

    // Puts `object` at `path` (its folder must exist) and returns it; null
    // when the path is no place for an object.
    TestObject* insert(const std::string& path, std::unique_ptr<TestObject> object);
    // Removes an object of this tree and deletes it.
    bool destroy(const AIDA::IManagedObject* object);
    // Every folder and object below `path`, one or more lines each.
    void dump(std::ostream& out, const std::string& path = "/") const;

private:
    TestNode* resolve(const std::string& path) const;
    // The folder that would hold `path` and the last part of the path.
    TestNode* parentOf(const std::string& path, std::string& leaf) const;
    TestNode* nodeOf(const AIDA::IManagedObject& object) const;
    std::string pathOf(const TestNode* node) const;
    void list(const TestNode* folder, const std::string& prefix, bool recursive, std::vector<std::string>* names,
              std::vector<std::string>* types) const;
    void dumpNode(std::ostream& out, const TestNode* node) const;

    TestNode root;
    TestNode* current;
    std::vector<std::unique_ptr<TestObject>> retired;
    std::string store;
    std::string type;
    std::ofstream output;
    TestTree* mounted = nullptr;
    std::string mountedPath;
};

// Hands every caller of create() the one shared memory tree of the process
// (never deleted); create(store, type, ...) logs its arguments, makes a
// file tree of the store type "dump" and returns null for any other type.
// Threads: one thread at a time.
class TestTreeFactory : public AIDA::ITreeFactory {
public:
    AIDA::ITree* create() override;
    AIDA::ITree* create(const std::string& storeName, const std::string& storeType, bool readOnly, bool createNew,
                        const std::string& options) override;
};

// The shared memory tree of the process, created on first use.
TestTree& sharedTestTree();

#endif
