// libFuzzer target for the event file reader: any input is read as a file
// would be (magic, header, records until the first failure) into storage
// of the declared types. Built and run by run_fuzz.sh, not by ctest.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "FeventReader.h"
#include "FeventStorage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fevent::Source in;
    in.openMemory(data, size);
    // The magic is read but not required, so the fuzzer reaches the header
    // at once.
    uint32_t magic;
    if (!in.get(magic)) return 0;
    fevent::Header header;
    fevent::readHeader(in, header);
    if (header.status != fevent::Header::ok) return 0;
    std::vector<void*> storage;
    for (const fevent::Declaration& declaration : header.declarations)
        storage.push_back(fevent::newStorage(declaration.type));
    for (int record = 0; record < 100000 && in.peek() >= 0; ++record) {
        bool whole = true;
        for (size_t j = 0; j < header.declarations.size() && whole; ++j) {
            uint16_t index;
            whole = in.get(index) && index == j && fevent::readValue(in, header.declarations[j].type, storage[j]);
        }
        uint16_t marker;
        if (!whole || !in.get(marker) || marker != fevent::kEventEnd) break;
    }
    for (size_t j = 0; j < storage.size(); ++j) fevent::deleteStorage(header.declarations[j].type, storage[j]);
    return 0;
}
