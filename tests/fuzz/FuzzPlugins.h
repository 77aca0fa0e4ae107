#ifndef ZARN_TESTS_FUZZ_FUZZPLUGINS_H
#define ZARN_TESTS_FUZZ_FUZZPLUGINS_H

#include <fcntl.h>
#include <unistd.h>

#include <string>

#include "Mesgrave.h"

// Set-up shared by the fuzz targets, called from LLVMFuzzerInitialize:
// standard output goes to /dev/null (life messages and module output would
// drown the fuzzer's own lines, which go to standard error), and the
// catalogue holds only the plug-ins in the directory <program>.plugins,
// loaded at once so that the fuzzer counts their coverage from the start.
inline void setUpFuzzPlugins(int argc, char** argv) {
    int null = open("/dev/null", O_WRONLY);
    dup2(null, STDOUT_FILENO);
    close(null);
    if (argc > 0) Mesgrave::GetListOfPlugins({std::string(argv[0]) + ".plugins"});
    for (pluginHandle& plugin : Mesgrave::VornPlugins) plugin.Load();
}

#endif
