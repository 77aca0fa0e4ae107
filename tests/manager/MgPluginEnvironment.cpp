#include <cstdlib>

#include "MgManagerTesting.h"

namespace {

const char* const kLoadablePlugins[] = {"MgProbe", "MgEmpty", "MgList", "MgNoDel"};

class MgPluginEnvironment : public testing::Environment {
public:
    void SetUp() override {
        dir_ = tk::makeScratchDir();
        for (const char* plugin : kLoadablePlugins)
            mgtest::makeLink(std::string(ZARN_TEST_PLUGINS) + "/" + plugin + ".zlk", dir_ + "/" + plugin + ".zlk");
        tk::writeFile(dir_ + "/MgBroken.zlk", "not a library\n");
        setenv("ZARN_INSTALL", (dir_ + "/").c_str(), 1);
        unsetenv("DYLD_LIBRARY_PATH");
        // Build the catalogue and load the plug-ins once, so that no test
        // sees the one-time "Loading: " lines.
        captured::stdoutOf([] {
            Mesgrave manager("");
            for (const char* plugin : kLoadablePlugins) {
                int index = mgtest::pluginIndex(plugin);
                if (index >= 0) Mesgrave::VornPlugins[index].Load();
            }
        });
    }
    void TearDown() override { tk::removeTree(dir_); }

private:
    std::string dir_;
};

testing::Environment* const kEnvironment = testing::AddGlobalTestEnvironment(new MgPluginEnvironment);

}  // namespace
