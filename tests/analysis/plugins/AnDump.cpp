#include <dlfcn.h>

#include <iostream>
#include <string>

#include "Corvane.h"
#include "Mesgrave.h"

// Test sink: any value on "at" writes the test AIDA system's dump of its
// tree to the file named on "file", so a test sees the tree while the
// modules that fill it still live.
class AnDump : public Corvane {
public:
    explicit AnDump(std::string& instanceName) : Corvane(nullptr, instanceName) {
        inputs.push_back(Input("file", CORVANE_HANDLER(&AnDump::setFile), vorn_string, "dump file"));
        inputs.push_back(Input("at", CORVANE_HANDLER(&AnDump::dumpNow), vorn_any, "dump now"));
    }

private:
    typedef bool (*DumpFunction)(const char*);

    void setFile(void* value) { file = *static_cast<std::string*>(value); }

    void dumpNow(void*) {
        DumpFunction dump = findDump();
        if (dump == nullptr || !dump(file.c_str())) std::cout << name << ": no dump written" << std::endl;
    }

    // The dump function of the library that made the manager's factory.
    DumpFunction findDump() {
        Mesgrave* owner = GetManager();
        if (owner == nullptr || owner->analysisFactory == nullptr) return nullptr;
        Dl_info info;
        void* table = *reinterpret_cast<void**>(owner->analysisFactory);
        if (dladdr(table, &info) == 0 || info.dli_fname == nullptr) return nullptr;
        void* library = dlopen(info.dli_fname, RTLD_NOW | RTLD_NOLOAD);
        if (library == nullptr) return nullptr;
        DumpFunction dump = reinterpret_cast<DumpFunction>(dlsym(library, "TestAida_dump"));
        dlclose(library);
        return dump;
    }

    std::string file;
};

CORVANE_MODULE(AnDump)
