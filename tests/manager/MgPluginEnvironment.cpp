#include <cstdlib>

#include "MgManagerTesting.h"

namespace {

const char* const kLoadablePlugins[] = {"MgProbe", "MgEmpty", "MgList", "MgNoDel"};

class MgPluginEnvironment : public testing::Environment {
public:
    void SetUp() override {
        dir_ = mgtest::makeScratchDir();
        for (const char* plugin : kLoadablePlugins)
            mgtest::makeLink(std::string(ZARN_TEST_PLUGINS) + "/" + plugin + ".zlk", dir_ + "/" + plugin + ".zlk");
        mgtest::writeFile(dir_ + "/MgBroken.zlk", "not a library\n");
        setenv("ZARN_INSTALL", (dir_ + "/").c_str(), 1);
        unsetenv("DYLD_LIBRARY_PATH");
        // Build the catalogue and load the plug-ins once, so that no test
        // sees the one-time "Loading: " lines.
        mgtest::stdoutOf([] {
            Mesgrave manager("");
            for (const char* plugin : kLoadablePlugins) {
                int index = mgtest::pluginIndex(plugin);
                if (index >= 0) Mesgrave::VornPlugins[index].Load();
            }
        });
    }
    void TearDown() override { mgtest::removeTree(dir_); }

private:
    std::string dir_;
};

testing::Environment* const kEnvironment = testing::AddGlobalTestEnvironment(new MgPluginEnvironment);

}  // namespace
