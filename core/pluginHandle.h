#ifndef ZARN_CORE_PLUGINHANDLE_H
#define ZARN_CORE_PLUGINHANDLE_H

#include <string>

class Corvane;

// The mangled name of a function given by its class (empty for a free
// function), its name (empty for a constructor) and its signature text.
std::string mangledFunctionName(const std::string& className, const std::string& function,
                                const std::string& signature);

// One module plug-in file <name>.zlk: where it lies, its opened library and
// its two entry points. Copies of a loaded handle share the library, which
// the last of them closes.
//
// Threads: Load changes the process's working directory while it opens the
// file; call it only from the thread that builds flows.
class pluginHandle {
public:
    pluginHandle(const std::string& name, void* lib, Corvane* (*newObject)(std::string&),
                 void (*delObject)(void*));
    pluginHandle(const pluginHandle& other);
    pluginHandle& operator=(const pluginHandle& other);
    // Closes the library when this is the last handle sharing it.
    virtual ~pluginHandle();

    // Address of a function of the opened library, given by the parts of its
    // mangled name; null when missing or when nothing is loaded.
    virtual void* findSymbol(const std::string& className, const std::string& function,
                             const std::string& signature);
    // Opens <dir>/<name>.zlk and resolves the entry points, once.
    virtual void Load();
    virtual void SetPath(const std::string& dir);

    std::string superdir;
    std::string path;
    std::string dir;
    std::string name;
    void* lib;
    Corvane* (*newObject)(std::string&);
    void (*delObject)(void*);

private:
    void releaseLibrary();
};

#endif
