#include "pluginHandle.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <iostream>
#include <memory>
#include <unordered_map>

namespace {

// A library opened by one Load, shared by the copies of that handle.
struct LibraryShare {
    void* lib;
};

// Which share each loaded handle holds; kept outside the class so its
// layout stays as plug-ins expect. Never destroyed: handles in static
// catalogues are destroyed at process exit.
typedef std::unordered_map<const pluginHandle*, std::shared_ptr<LibraryShare> > ShareTable;

ShareTable& shares() {
    static ShareTable* table = new ShareTable;
    return *table;
}

void writeLoaderError(const char* text) {
    if (text != nullptr) std::cerr << text << std::endl;
}

// The current working directory, held open so it can be restored even when
// its path cannot be read back.
class WorkingDirectory {
public:
    WorkingDirectory() : fd_(open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {}
    ~WorkingDirectory() {
        if (fd_ >= 0) {
            if (fchdir(fd_) != 0) std::cerr << "Cannot return to the working directory" << std::endl;
            close(fd_);
        }
    }
    WorkingDirectory(const WorkingDirectory&) = delete;
    WorkingDirectory& operator=(const WorkingDirectory&) = delete;

private:
    int fd_;
};

// The file to open: by absolute path, so the loader never searches for a
// bare name. `entered` tells whether the process is now inside `dir`.
std::string libraryPath(const std::string& dir, const std::string& file, bool entered) {
    if (dir.empty()) return file;
    if (!entered || dir[0] == '/') return dir + (dir[dir.size() - 1] == '/' ? "" : "/") + file;
    char cwd[4096];
    if (getcwd(cwd, sizeof cwd) != nullptr) return std::string(cwd) + "/" + file;
    return "./" + file;
}

}  // namespace

std::string mangledFunctionName(const std::string& className, const std::string& function,
                                const std::string& signature) {
    std::string symbol = "_Z";
    if (!className.empty()) symbol += "N" + std::to_string(className.size()) + className;
    symbol += function.empty() ? std::string("C2") : std::to_string(function.size()) + function;
    if (!className.empty()) symbol += "E";
    return symbol + signature;
}

pluginHandle::pluginHandle(const std::string& name, void* lib, Corvane* (*newObject)(std::string&),
                           void (*delObject)(void*))
    : name(name), lib(lib), newObject(newObject), delObject(delObject) {
    if (lib != nullptr) shares()[this] = std::make_shared<LibraryShare>(LibraryShare{lib});
}

pluginHandle::pluginHandle(const pluginHandle& other)
    : superdir(other.superdir),
      path(other.path),
      dir(other.dir),
      name(other.name),
      lib(other.lib),
      newObject(other.newObject),
      delObject(other.delObject) {
    if (lib != nullptr) shares()[this] = shares()[&other];
}

pluginHandle& pluginHandle::operator=(const pluginHandle& other) {
    if (this == &other) return *this;
    std::shared_ptr<LibraryShare> share = other.lib != nullptr ? shares()[&other] : nullptr;
    releaseLibrary();
    superdir = other.superdir;
    path = other.path;
    dir = other.dir;
    name = other.name;
    lib = other.lib;
    newObject = other.newObject;
    delObject = other.delObject;
    if (lib != nullptr) shares()[this] = share;
    return *this;
}

pluginHandle::~pluginHandle() { releaseLibrary(); }

void pluginHandle::releaseLibrary() {
    if (lib == nullptr) return;
    ShareTable& table = shares();
    std::shared_ptr<LibraryShare> share = table[this];
    table.erase(this);
    lib = nullptr;
    if (share && share.use_count() == 1) {
        std::cout << "Unloading: " << name << std::endl;
        dlclose(share->lib);
    }
}

void* pluginHandle::findSymbol(const std::string& className, const std::string& function,
                               const std::string& signature) {
    if (lib == nullptr) return nullptr;
    dlerror();
    void* address = dlsym(lib, mangledFunctionName(className, function, signature).c_str());
    writeLoaderError(dlerror());
    return address;
}

void pluginHandle::Load() {
    if (lib != nullptr) return;
    std::cout << "Loading: " << name << std::endl;
    void* opened;
    {
        WorkingDirectory saved;
        bool entered = !dir.empty() && chdir(dir.c_str()) == 0;
        opened = dlopen(libraryPath(dir, name + ".zlk", entered).c_str(), RTLD_NOW);
    }
    if (opened == nullptr) {
        writeLoaderError(dlerror());
        return;
    }
    lib = opened;
    shares()[this] = std::make_shared<LibraryShare>(LibraryShare{opened});
    newObject = reinterpret_cast<Corvane* (*)(std::string&)>(findSymbol("", "newObject", "RSs"));
    delObject = reinterpret_cast<void (*)(void*)>(findSymbol("", "delObject", "Pv"));
}

void pluginHandle::SetPath(const std::string& newDir) { dir = newDir; }
