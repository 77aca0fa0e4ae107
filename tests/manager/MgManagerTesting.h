#ifndef ZARN_TESTS_MANAGER_MGMANAGERTESTING_H
#define ZARN_TESTS_MANAGER_MGMANAGERTESTING_H

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Captured.h"
#include "Corvane.h"
#include "Mesgrave.h"
#include "MgTestSupport.h"

// Shared by the manager tests that run in this process. A global test
// environment puts the test plug-ins (MgProbe, MgEmpty, MgList, MgNoDel and
// the broken MgBroken) into a scratch directory named by ZARN_INSTALL and
// builds the catalogue from it before any test runs.
namespace mgtest {

// The instance names of the manager's list, in list order.
inline std::vector<std::string> instanceNames(Mesgrave& manager) {
    std::vector<std::string> names;
    for (Corvane* instance : manager.instances) names.push_back(instance->GetName());
    return names;
}

// The catalogue index of a plug-in class, or -1.
inline int pluginIndex(const std::string& className) {
    for (size_t i = 0; i < Mesgrave::VornPlugins.size(); ++i)
        if (Mesgrave::VornPlugins[i].name == className) return static_cast<int>(i);
    return -1;
}

}  // namespace mgtest

#endif
