// The .fevent codec in-process: what the readers allocate for counts that
// the input cannot hold, reads across the read buffer's edges, texts and
// separators, the pause, and the storage that a binding gives an event.

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <new>
#include <string>
#include <vector>

#include "FeventReader.h"
#include "FeventReplay.h"
#include "FeventStorage.h"
#include "FeventWriter.h"
#include "Tavrel.h"
#include "TkProcess.h"

// Counts the bytes that operator new hands out, so a test can bound what a
// read allocates.
namespace {
std::atomic<size_t> allocatedBytes(0);
}

void* operator new(size_t size) {
    allocatedBytes += size;
    if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
    throw std::bad_alloc();
}
void* operator new[](size_t size) { return operator new(size); }
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, size_t) noexcept { std::free(memory); }

namespace {

template <class T> std::string bytesOf(T value) { return std::string(reinterpret_cast<const char*>(&value), sizeof value); }
std::string u16(unsigned value) { return bytesOf(static_cast<uint16_t>(value)); }

// A count far beyond a short input: reading fails and allocates next to
// nothing, whatever the count's element type.
TEST(CodecTest, CountsBeyondTheInputAllocateNothing) {
    struct Case {
        int type;
        std::string bytes;
    };
    const Case cases[] = {
        {vorn_vector_double, u16(65535) + "12345678"},
        {vorn_vector_short, u16(65535) + "1234"},
        {vorn_vector_bool, u16(65535) + "1"},
        {vorn_vector_string, u16(65535) + "a b c "},
        {vorn_vector_vector_double, u16(65535) + u16(65535) + u16(65535)},
        {vorn_vector_vector_short, u16(3) + u16(65535) + "12"},
    };
    for (const Case& c : cases) {
        void* storage = fevent::newStorage(c.type);
        fevent::Source in;
        in.openMemory(c.bytes.data(), c.bytes.size());
        size_t before = allocatedBytes;
        EXPECT_FALSE(fevent::readValue(in, c.type, storage)) << c.type;
        EXPECT_LT(allocatedBytes - before, 1024u) << c.type;
        EXPECT_FALSE(in.good());
        fevent::deleteStorage(c.type, storage);
    }
}

TEST(CodecTest, HeaderCountBeyondTheInputAllocatesOnlyWhatWasRead) {
    std::string bytes = u16(65535) + "x " + std::string(1, '\x0a') + bytesOf(int32_t(1)) + bytesOf(0.0) + bytesOf(1.0);
    fevent::Source in;
    in.openMemory(bytes.data(), bytes.size());
    fevent::Header header;
    size_t before = allocatedBytes;
    fevent::readHeader(in, header);
    EXPECT_LT(allocatedBytes - before, 4096u);
    EXPECT_EQ(fevent::Header::truncated, header.status);
    EXPECT_TRUE(header.countRead);
    EXPECT_EQ(65535, header.count);
    ASSERT_EQ(1u, header.declarations.size());
    EXPECT_EQ("x", header.declarations[0].name);
}

TEST(CodecTest, HeaderWithOneNameOfTwoTypesIsAConflict) {
    fevent::Encoder bytes;
    bytes.putHeader({{"x", vorn_double, 0, 0, 0}, {"y", vorn_int, 0, 0, 0}, {"x", vorn_int, 0, 0, 0}});
    fevent::Source in;
    in.openMemory(bytes.bytes().data() + 4, bytes.bytes().size() - 4);
    fevent::Header header;
    fevent::readHeader(in, header);
    EXPECT_EQ(fevent::Header::conflict, header.status);
    EXPECT_EQ("x", header.conflictName);
}

// Texts end at any of the six white-space characters; the one character
// after a text is its separator, whatever it is; leading white space is
// skipped; a text keeps at most 255 characters in its buffer.
TEST(CodecTest, TextsAndSeparators) {
    std::string bytes = std::string("one\ttwo\nthree\rfour\vfive\fsix seven") + "  \n eight!" +
                        std::string(300, 'l') + " ";
    fevent::Source in;
    in.openMemory(bytes.data(), bytes.size());
    std::string text;
    for (const char* expected : {"one", "two", "three", "four", "five", "six"}) {
        ASSERT_TRUE(fevent::readText(in, text, true));
        EXPECT_EQ(expected, text);
    }
    ASSERT_TRUE(fevent::readText(in, text, false));
    EXPECT_EQ("seven", text);
    ASSERT_TRUE(fevent::readText(in, text, true));
    EXPECT_EQ("eight!", text.substr(0, 6));
    EXPECT_EQ(306u, text.size());

    std::string longText = std::string(300, 'q') + " ";
    in.openMemory(longText.data(), longText.size());
    char buffer[fevent::kTextCapacity];
    ASSERT_TRUE(fevent::readValue(in, vorn_cstring, buffer));
    EXPECT_EQ(std::string(255, 'q'), buffer);
    EXPECT_EQ(-1, in.peek());
}

TEST(CodecTest, TextWithoutItsSeparatorAtTheEndIsAShortRead) {
    std::string bytes = "last";
    fevent::Source in;
    in.openMemory(bytes.data(), bytes.size());
    std::string text;
    EXPECT_FALSE(fevent::readText(in, text, true));
    EXPECT_FALSE(in.good());
}

// A file far larger than the read buffer, of values of every size, read
// back from disk: values that straddle the buffer's edge come back whole.
TEST(CodecTest, ValuesAcrossBufferEdgesReadBackFromAFile) {
    std::string dir = tk::makeScratchDir();
    std::string path = dir + "/edges.fevent";
    fevent::Encoder out;
    std::vector<std::string> texts;
    std::vector<std::vector<double> > vectors;
    for (int i = 0; i < 3000; ++i) {
        texts.push_back(std::string(1 + i % 97, static_cast<char>('a' + i % 26)));
        vectors.push_back(std::vector<double>(i % 13, i * 0.25));
        out.putValue(vorn_string, &texts.back());
        out.putValue(vorn_vector_double, &vectors.back());
        uint16_t marker = fevent::kEventEnd;
        out.putValue(vorn_uint16, &marker);
    }
    fevent::OutputFile file;
    ASSERT_TRUE(file.open(path));
    ASSERT_TRUE(file.write(out.bytes()));
    file.close();
    ASSERT_LT(4u * 65536, out.bytes().size());

    fevent::Source in;
    ASSERT_TRUE(in.open(path));
    std::string text;
    std::vector<double> values;
    uint16_t marker;
    for (int i = 0; i < 3000; ++i) {
        ASSERT_TRUE(fevent::readValue(in, vorn_string, &text)) << i;
        ASSERT_TRUE(fevent::readValue(in, vorn_vector_double, &values)) << i;
        ASSERT_TRUE(in.get(marker)) << i;
        EXPECT_EQ(texts[i], text);
        EXPECT_EQ(vectors[i], values);
        EXPECT_EQ(fevent::kEventEnd, marker);
    }
    EXPECT_EQ(-1, in.peek());
    EXPECT_FALSE(in.open(dir));
    tk::removeTree(dir);
}

TEST(CodecTest, PauseIsNoneForNegativeOrNaNAndClampedWhenHuge) {
    EXPECT_EQ(0, fevent::pauseMicroseconds(-1.0f));
    EXPECT_EQ(0, fevent::pauseMicroseconds(0.0f));
    EXPECT_EQ(0, fevent::pauseMicroseconds(std::nanf("")));
    EXPECT_EQ(0, fevent::pauseMicroseconds(-std::numeric_limits<float>::infinity()));
    EXPECT_EQ(500000, fevent::pauseMicroseconds(0.5f));
    EXPECT_EQ(3600L * 1000000, fevent::pauseMicroseconds(1e30f));
    EXPECT_EQ(3600L * 1000000, fevent::pauseMicroseconds(std::numeric_limits<float>::infinity()));
}

// A second header keeps the storage of a property whose type stays, gives
// new storage to one whose type changes, drops one it no longer declares and
// leaves the event's other properties alone.
TEST(CodecTest, RebindingKeepsChangesAndDropsProperties) {
    Tavrel event;
    double foreign = 7;
    event["other"] = FlowProperty(vorn_double, FlowBinning(), &foreign);
    fevent::EventBinding binding;
    binding.bind(event, {{"keep", vorn_double, 1, 0, 1}, {"change", vorn_int, 0, 0, 0}, {"drop", vorn_int, 0, 0, 0},
                         {"nested", vorn_tavrel, 0, 0, 0}});
    void* kept = binding.slot(0);
    ASSERT_NE(nullptr, kept);
    EXPECT_EQ(nullptr, binding.slot(3));
    EXPECT_TRUE(event.find("nested") == event.end());

    binding.bind(event, {{"keep", vorn_double, 5, 2, 3}, {"change", vorn_vector_double, 0, 0, 0}});
    EXPECT_EQ(kept, binding.slot(0));
    EXPECT_EQ(kept, event["keep"].value);
    EXPECT_EQ(5, event["keep"].binning.bins);
    EXPECT_EQ(vorn_vector_double, event["change"].type);
    EXPECT_EQ(binding.slot(1), event["change"].value);
    EXPECT_TRUE(event.find("drop") == event.end());
    EXPECT_EQ(&foreign, event["other"].value);
}

// An adopted event's own text buffer may be short: a text property always
// reads into a buffer of the full size.
TEST(CodecTest, ForeignTextBufferIsReplaced) {
    Tavrel event;
    char small[4] = "abc";
    event["t"] = FlowProperty(vorn_cstring, FlowBinning(), small);
    fevent::EventBinding binding;
    binding.bind(event, {{"t", vorn_cstring, 0, 0, 0}});
    EXPECT_NE(static_cast<void*>(small), binding.slot(0));
    EXPECT_EQ(binding.slot(0), event["t"].value);
}

}  // namespace
