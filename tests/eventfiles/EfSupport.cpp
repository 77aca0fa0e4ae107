#include "EfSupport.h"


#include <cstdio>
#include <cstring>

namespace eftest {

namespace {

template <class T> void append(std::string& bytes, T value) {
    bytes.append(reinterpret_cast<const char*>(&value), sizeof value);
}

}  // namespace

Bytes& Bytes::u8(unsigned value) { return append(bytes, static_cast<uint8_t>(value)), *this; }
Bytes& Bytes::u16(unsigned value) { return append(bytes, static_cast<uint16_t>(value)), *this; }
Bytes& Bytes::u32(uint32_t value) { return append(bytes, value), *this; }
Bytes& Bytes::i32(int32_t value) { return append(bytes, value), *this; }
Bytes& Bytes::u64(uint64_t value) { return append(bytes, value), *this; }
Bytes& Bytes::f32(float value) { return append(bytes, value), *this; }
Bytes& Bytes::f64(double value) { return append(bytes, value), *this; }
Bytes& Bytes::text(const std::string& characters) { return bytes += characters + " ", *this; }
Bytes& Bytes::raw(const std::string& more) { return bytes += more, *this; }
Bytes& Bytes::start(unsigned count) { return u32(0xFE022012u).u16(count); }

Bytes& Bytes::declare(const std::string& name, int type, int32_t bins, double min, double max) {
    return text(name).u8(static_cast<uint8_t>(type)).i32(bins).f64(min).f64(max);
}

std::string bitsOf(double value) {
    uint64_t raw;
    std::memcpy(&raw, &value, sizeof raw);
    char text[24];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(raw));
    return text;
}

std::string bitsOf(float value) {
    uint32_t raw;
    std::memcpy(&raw, &value, sizeof raw);
    char text[16];
    std::snprintf(text, sizeof text, "%08x", raw);
    return text;
}

int countLines(const std::string& text, const std::string& prefix) {
    int count = 0;
    for (const std::string& line : tk::splitLines(text))
        if (line.compare(0, prefix.size(), prefix) == 0) ++count;
    return count;
}

tk::ChildResult FlowTest::run(const std::string& flow) {
    write("flow.mivet", flow);
    std::string build = ZARN_BUILD_DIR;
    std::vector<std::string> env = {"ZARN_INSTALL=" + build + "/lib:" + ZARN_TEST_PLUGINS};
    tk::ChildResult result = tk::run(build + "/bin/torvask", {"-a", "", "flow.mivet"}, env, work, capture, 120);
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(0, result.exitStatus) << result.err;
    EXPECT_EQ(std::string::npos, result.err.find("Sanitizer")) << result.err;
    EXPECT_EQ(std::string::npos, result.err.find("runtime error")) << result.err;
    return result;
}

tk::ChildResult FlowTest::runLimited(const std::string& flow, const std::string& limits) {
    write("flow.mivet", flow);
    std::string build = ZARN_BUILD_DIR;
    std::vector<std::string> env = {"ZARN_INSTALL=" + build + "/lib:" + ZARN_TEST_PLUGINS};
    return tk::runLimited(limits, build + "/bin/torvask", {"-a", "", "flow.mivet"}, env, work, capture, 120);
}

void FlowTest::write(const std::string& name, const std::string& bytes) const { tk::writeFile(path(name), bytes); }

std::string FlowTest::read(const std::string& name) const { return tk::readFile(path(name)); }

}  // namespace eftest
