// libFuzzer target for the XML inputs of Ostrevin and Ferrund, one instance
// of each made once by a manager over the plug-ins in the directory
// <program>.plugins. An input is a list of parts separated by NUL bytes; the
// first byte of the first part chooses the module:
//   odd  (O): stylesheet, document             -> Ostrevin
//   even (F): xpath, source[, target file]     -> Ferrund
// Without a target part Ferrund finds no file and creates it. Built and run
// by run_fuzz.sh, not by ctest.

#include <dirent.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "Corvane.h"
#include "FuzzPlugins.h"
#include "Mesgrave.h"

namespace {

Mesgrave* manager = nullptr;
Corvane* ostrevin = nullptr;
Corvane* ferrund = nullptr;
// A directory of this process for Ferrund's file.
std::string scratch;
std::string targetFile;

std::vector<std::string> partsOf(const uint8_t* data, size_t size) {
    std::vector<std::string> parts(1);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == '\0')
            parts.emplace_back();
        else
            parts.back() += static_cast<char>(data[i]);
    }
    return parts;
}

// Gives an input its text through the core, as a flow file's literal would.
void give(Corvane* module, const char* input, std::string text) {
    module->SetInput(module->GetNumberForInput(input), &text[0]);
}

// Leaves the scratch directory empty: the file and anything a failed write
// left beside it.
void clearScratch() {
    DIR* directory = opendir(scratch.c_str());
    if (directory == nullptr) return;
    while (dirent* entry = readdir(directory)) {
        std::string name = entry->d_name;
        if (name != "." && name != "..") unlink((scratch + "/" + name).c_str());
    }
    closedir(directory);
}

void transform(const std::vector<std::string>& parts) {
    give(ostrevin, "XSLTtext", parts.size() > 1 ? parts[1] : "");
    give(ostrevin, "XMLtext", parts.size() > 2 ? parts[2] : "");
}

void merge(const std::vector<std::string>& parts) {
    if (parts.size() > 3) std::ofstream(targetFile, std::ios::binary) << parts[3];
    give(ferrund, "xpath", parts.size() > 1 ? parts[1] : "");
    give(ferrund, "XMLtext", parts.size() > 2 ? parts[2] : "");
    clearScratch();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    setUpFuzzPlugins(*argc, *argv);
    std::string pattern = (std::getenv("TMPDIR") != nullptr ? std::getenv("TMPDIR") : "/tmp");
    pattern += "/fuzz_xml.XXXXXX";
    if (mkdtemp(&pattern[0]) == nullptr) std::abort();
    scratch = pattern;
    targetFile = scratch + "/target.xml";
    manager = new Mesgrave("");
    ostrevin = manager->makeInstance("Ostrevin", "ostrevin");
    ferrund = manager->makeInstance("Ferrund", "ferrund");
    if (ostrevin == nullptr || ferrund == nullptr) std::abort();
    give(ferrund, "XMLfile", targetFile);
    std::atexit([] { rmdir(scratch.c_str()); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> parts = partsOf(data, size);
    if (!parts[0].empty() && (parts[0][0] & 1) != 0)
        transform(parts);
    else
        merge(parts);
    return 0;
}
