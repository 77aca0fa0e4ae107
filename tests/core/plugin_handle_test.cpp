#include <gtest/gtest.h>

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <string>

#include "TkProcess.h"
#include "probe_fixture.h"

namespace {

ino_t workingDirectoryInode() {
    struct stat info;
    stat(".", &info);
    return info.st_ino;
}

pluginHandle testPlugin(const std::string& name, const std::string& dir = ZARN_TEST_PLUGINS) {
    pluginHandle handle(name, nullptr, nullptr, nullptr);
    handle.SetPath(dir);
    return handle;
}

TEST(PluginHandle, LoadsOnceAndFindsBothEntryPoints) {
    pluginHandle handle = testPlugin("CoreProbe");
    testing::internal::CaptureStdout();
    handle.Load();
    handle.Load();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Loading: CoreProbe\n");
    ASSERT_NE(handle.lib, nullptr);
    ASSERT_NE(handle.newObject, nullptr);
    ASSERT_NE(handle.delObject, nullptr);
    std::string name = "made";
    testing::internal::CaptureStdout();
    Corvane* made = handle.newObject(name);
    EXPECT_EQ(made->GetName(), "made");
    handle.delObject(made);
    handle.delObject(nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "made instantiated\nmade deleted\n");
}

TEST(PluginHandle, FindSymbolBuildsMangledNames) {
    pluginHandle handle = testPlugin("CoreProbe");
    EXPECT_EQ(handle.findSymbol("", "newObject", "RSs"), nullptr);
    testing::internal::CaptureStdout();
    handle.Load();
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(handle.findSymbol("", "newObject", "RSs"), dlsym(handle.lib, "_Z9newObjectRSs"));
    EXPECT_NE(handle.findSymbol("CoreProbe", "", "RSs"), nullptr);
    EXPECT_EQ(handle.findSymbol("CoreProbe", "", "RSs"), dlsym(handle.lib, "_ZN9CoreProbeC2ERSs"));
    testing::internal::CaptureStderr();
    EXPECT_EQ(handle.findSymbol("", "missing", "v"), nullptr);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("_Z7missingv"), std::string::npos);
}

TEST(PluginHandle, CopiesShareTheLibraryAndTheLastClosesIt) {
    testing::internal::CaptureStdout();
    pluginHandle* original = new pluginHandle(testPlugin("CoreProbe"));
    original->Load();
    pluginHandle* copy = new pluginHandle(*original);
    pluginHandle assigned = testPlugin("CoreNoDelete");
    assigned = *copy;
    delete original;
    delete copy;
    std::string name = "still";
    Corvane* made = assigned.newObject(name);
    assigned.delObject(made);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Loading: CoreProbe\nstill instantiated\nstill deleted\n");
    testing::internal::CaptureStdout();
    assigned = testPlugin("CoreProbe");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Unloading: CoreProbe\n");
    EXPECT_EQ(assigned.lib, nullptr);
}

TEST(PluginHandle, AFileThatIsNoLibraryLeavesTheHandleUnloaded) {
    tk::ScratchDir scratch;
    std::ofstream(scratch.path() + "/Fake.zlk") << "not a library\n";
    pluginHandle handle = testPlugin("Fake", scratch.path());
    ino_t before = workingDirectoryInode();
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    handle.Load();
    handle.Load();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Loading: Fake\nLoading: Fake\n");
    EXPECT_NE(testing::internal::GetCapturedStderr().find("Fake.zlk"), std::string::npos);
    EXPECT_EQ(handle.lib, nullptr);
    EXPECT_EQ(handle.newObject, nullptr);
    EXPECT_EQ(workingDirectoryInode(), before);
}

TEST(PluginHandle, PluginWithoutDelObjectHasOnlyNewObject) {
    pluginHandle handle = testPlugin("CoreNoDelete");
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    handle.Load();
    testing::internal::GetCapturedStdout();
    EXPECT_NE(testing::internal::GetCapturedStderr().find("_Z9delObjectPv"), std::string::npos);
    EXPECT_NE(handle.newObject, nullptr);
    EXPECT_EQ(handle.delObject, nullptr);
}

TEST(PluginHandle, OpensByPathNotByTheLoaderSearch) {
    tk::ScratchDir scratch;
    pluginHandle handle = testPlugin("CoreProbe", scratch.path());
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    handle.Load();
    testing::internal::GetCapturedStdout();
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(handle.lib, nullptr) << "a plug-in absent from its directory must not be found elsewhere";
}

TEST(PluginHandle, RelativeDirectoryAndRestoredWorkingDirectory) {
    tk::ScratchDir scratch;
    std::string plugins = ZARN_TEST_PLUGINS;
    ASSERT_EQ(symlink(plugins.c_str(), (scratch.path() + "/plugins").c_str()), 0);
    int previous = open(".", O_RDONLY | O_DIRECTORY);
    ASSERT_EQ(chdir(scratch.path().c_str()), 0);
    ino_t before = workingDirectoryInode();
    pluginHandle missing = testPlugin("CoreProbe", "no/such/dir");
    pluginHandle relative = testPlugin("CoreProbe", "plugins");
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    missing.Load();
    EXPECT_EQ(workingDirectoryInode(), before);
    relative.Load();
    EXPECT_EQ(workingDirectoryInode(), before);
    testing::internal::GetCapturedStdout();
    testing::internal::GetCapturedStderr();
    EXPECT_NE(relative.newObject, nullptr);
    ASSERT_EQ(fchdir(previous), 0);
    close(previous);
}

TEST(PluginHandle, WorkingDirectoryIsRestoredWhenItsPathIsGone) {
    tk::ScratchDir scratch;
    std::string gone = scratch.path() + "/gone";
    ASSERT_EQ(mkdir(gone.c_str(), 0700), 0);
    int previous = open(".", O_RDONLY | O_DIRECTORY);
    ASSERT_EQ(chdir(gone.c_str()), 0);
    ASSERT_EQ(rmdir(gone.c_str()), 0);
    ino_t before = workingDirectoryInode();
    pluginHandle handle = testPlugin("CoreProbe");
    testing::internal::CaptureStdout();
    handle.Load();
    testing::internal::GetCapturedStdout();
    EXPECT_NE(handle.newObject, nullptr);
    EXPECT_EQ(workingDirectoryInode(), before);
    ASSERT_EQ(fchdir(previous), 0);
    close(previous);
}

}  // namespace
