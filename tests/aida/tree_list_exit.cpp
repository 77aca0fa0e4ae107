// Trees and the analysis factory of the built-in AIDA system deleted at
// exit after the system's own globals are gone, as exit code of a program
// or plug-in that loaded the system may do. The deleting function is
// registered before the system is loaded, so it runs after the system's
// globals are destroyed. It prints "deleted late" when it got through.
//
//   tree_list_exit <libCastrine.so>
#include <dlfcn.h>

#include <cstdlib>
#include <iostream>

#include "AIDA/IAnalysisFactory.h"
#include "AIDA/ITree.h"
#include "AIDA/ITreeFactory.h"

namespace {

AIDA::IAnalysisFactory* factory = nullptr;
AIDA::ITree* firstTree = nullptr;

void deleteLate() {
    delete firstTree;
    delete factory;
    std::cout << "deleted late" << std::endl;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: tree_list_exit <libCastrine.so>" << std::endl;
        return 2;
    }
    std::atexit(deleteLate);
    void* library = dlopen(argv[1], RTLD_NOW);
    void* entry = library != nullptr ? dlsym(library, "AIDA_createAnalysisFactory") : nullptr;
    if (entry == nullptr) {
        std::cerr << "tree_list_exit: " << dlerror() << std::endl;
        return 2;
    }
    factory = reinterpret_cast<AIDA::IAnalysisFactory* (*)()>(entry)();
    AIDA::ITreeFactory* trees = factory->createTreeFactory();
    firstTree = trees->create();
    trees->create();
    delete trees;
    return 0;
}
