#ifndef ZARN_TESTS_MANAGER_MGENTRYPOINTS_H
#define ZARN_TESTS_MANAGER_MGENTRYPOINTS_H

#include <iostream>
#include <string>

#include "Corvane.h"

// The two entry points of a test plug-in. delObject says which plug-in
// deletes which instance, so tests can see that each instance goes back to
// the plug-in that made it.
#define MG_TEST_MODULE(ModuleClass)                                                               \
    Corvane* newObject(std::string& name) { return new ModuleClass(name); }                      \
    void delObject(void* object) {                                                                \
        if (object == nullptr) return;                                                            \
        Corvane* instance = static_cast<Corvane*>(object);                                        \
        std::cout << #ModuleClass " delObject " << instance->GetName() << std::endl;             \
        delete instance;                                                                          \
    }

#endif
