#ifndef AIDA_ITREE_H
#define AIDA_ITREE_H

#include <iostream>
#include <ostream>
#include <string>
#include <vector>

namespace AIDA {

class IManagedObject;

// A hierarchy of folders holding managed objects, with a current folder.
// Paths are '/'-separated, absolute when they begin with '/', else relative
// to the current folder; "." and ".." name the current and the parent
// folder. A tree may be backed by a store (a file) that commit writes.
class ITree {
public:
    virtual ~ITree() {}

    // The name of the store behind the tree, "" for a memory tree.
    virtual std::string storeName() const = 0;
    // The object at `path`, null when there is none.
    virtual IManagedObject* find(const std::string& path) = 0;
    // The tree mounted at `path`, null when none is.
    virtual ITree* findTree(const std::string& path) = 0;
    // Makes `path` the current folder; false when it is no folder.
    virtual bool cd(const std::string& path) = 0;
    // The absolute path of the current folder.
    virtual std::string pwd() const = 0;
    // Writes the entries of a folder to `os`.
    virtual bool ls(const std::string& path = ".", bool recursive = false, std::ostream& os = std::cout) const = 0;
    // Names of the entries of a folder (folders end with '/') and, in the
    // same order, their types ("dir" for a folder, else the interface name
    // such as "IHistogram1D").
    virtual std::vector<std::string> listObjectNames(const std::string& path = ".", bool recursive = false) const = 0;
    virtual std::vector<std::string> listObjectTypes(const std::string& path = ".", bool recursive = false) const = 0;
    // Makes one folder whose parent exists; mkdirs makes the missing
    // parents too and succeeds when the folder exists already.
    virtual bool mkdir(const std::string& path) = 0;
    virtual bool mkdirs(const std::string& path) = 0;
    // Removes an empty folder.
    virtual bool rmdir(const std::string& path) = 0;
    // Removes and deletes an object.
    virtual bool rm(const std::string& path) = 0;
    // The absolute path of an object of this tree, "" when it is not in it.
    virtual std::string findPath(const IManagedObject& object) const = 0;
    // Moves an object or a folder; a `newPath` that is a folder receives it
    // under its own name.
    virtual bool mv(const std::string& oldPath, const std::string& newPath) = 0;
    // Writes the tree to its store.
    virtual bool commit() = 0;
    // Whether creating an object at a taken path replaces the old one.
    virtual void setOverwrite(bool overwrite = true) = 0;
    virtual bool cp(const std::string& oldPath, const std::string& newPath, bool recursive = false) = 0;
    virtual bool symlink(const std::string& path, const std::string& alias) = 0;
    // Shows folder `treePath` of `tree` as folder `path` of this tree.
    virtual bool mount(const std::string& path, ITree& tree, const std::string& treePath) = 0;
    virtual bool unmount(const std::string& path) = 0;
    // Commits if needed and releases the store.
    virtual bool close() = 0;
    // This tree seen as the named interface, or null when it is none.
    virtual void* cast(const std::string& className) const = 0;
};

}  // namespace AIDA

#endif
