#include "model/model_file.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

// The largest single allocation made while `g_watchAllocations` is set, so that the hostile
// inputs below can show that nothing is allocated for the sizes they claim. Address sanitizer
// builds keep their own allocator and skip that check.
#if defined(__SANITIZE_ADDRESS__)
#define SPANLAB_WATCH_ALLOCATIONS 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SPANLAB_WATCH_ALLOCATIONS 0
#endif
#endif
#ifndef SPANLAB_WATCH_ALLOCATIONS
#define SPANLAB_WATCH_ALLOCATIONS 1
#endif

namespace {
std::atomic<bool> g_watchAllocations{false};
std::atomic<size_t> g_largestAllocation{0};
}  // namespace

#if SPANLAB_WATCH_ALLOCATIONS
void* operator new(size_t size) {
  if (g_watchAllocations && size > g_largestAllocation) g_largestAllocation = size;
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
// Out of line, so that the compiler does not pair the inlined free() with a new expression.
[[gnu::noinline]] void operator delete(void* p) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete(void* p, size_t) noexcept { std::free(p); }
#endif

namespace spanlab {
namespace {

const std::string kHeader = std::string("Spanlab File Version = 3.0") + '\n';

std::string Bytes(std::initializer_list<int> values) {
  std::string out;
  for (int v : values) out.push_back(static_cast<char>(v));
  return out;
}

// A file body (after the header) with a 16-bit line count.
std::string Body(int count, const std::string& rest) {
  return Bytes({count & 0xFF, count >> 8}) + rest;
}

Status Read(const std::string& body, std::vector<std::string>& lines) {
  ByteStream stream(body);
  return ReadModelLines(stream, lines);
}

std::vector<std::string> RoundTrip(const std::vector<std::string>& lines) {
  const std::string file = WriteModelFile(lines);
  EXPECT_EQ(file.substr(0, 27), kHeader);
  std::vector<std::string> back;
  ByteStream stream(std::string_view(file).substr(27));
  const Status status = ReadModelLines(stream, back);
  EXPECT_TRUE(status.ok()) << status.message();
  EXPECT_TRUE(stream.AtEnd());
  return back;
}

TEST(WriteModelFileTest, TwoShortLinesGiveSixtyOneBytes) {
  const std::string expected =
      kHeader + Bytes({0x02, 0x00, 0x0F}) + "File Format:3.0" + Bytes({0x0F}) + "Units: English;";
  const std::string file = WriteModelFile({"File Format:3.0", "Units: English;"});
  EXPECT_EQ(file.size(), 61u);
  EXPECT_EQ(file, expected);
  EXPECT_EQ(WriteModelFile({}), kHeader + Bytes({0x00, 0x00}));
}

TEST(WriteModelFileTest, LengthPrefixFormsAndTheirRoundTrip) {
  struct Case {
    size_t length;
    std::string prefix;
  };
  const Case cases[] = {
      {0, Bytes({0x00})},
      {254, Bytes({0xFE})},
      {255, Bytes({0xFF, 0xFF, 0x00})},
      {256, Bytes({0xFF, 0x00, 0x01})},
      {0xFFFD, Bytes({0xFF, 0xFD, 0xFF})},
      {0xFFFE, Bytes({0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00})},
      {0x12345, Bytes({0xFF, 0xFF, 0xFF, 0x45, 0x23, 0x01, 0x00})},
  };
  for (const Case& c : cases) {
    std::string line(c.length, 'a');
    if (!line.empty()) line.back() = 'z';  // the last byte must survive too
    const std::string file = WriteModelFile({line});
    EXPECT_EQ(file.size(), 27 + 2 + c.prefix.size() + c.length) << "length " << c.length;
    EXPECT_EQ(file.substr(29, c.prefix.size()), c.prefix) << "length " << c.length;
    EXPECT_EQ(RoundTrip({line}), std::vector<std::string>{line}) << "length " << c.length;
  }
}

TEST(WriteModelFileTest, LineCountSwitchesToFourBytesAtFFFF) {
  const std::vector<std::string> below(0xFFFE, "");
  std::string file = WriteModelFile(below);
  EXPECT_EQ(file.substr(27, 2), Bytes({0xFE, 0xFF}));
  EXPECT_EQ(file.size(), 27u + 2 + 0xFFFE);
  EXPECT_EQ(RoundTrip(below).size(), 0xFFFEu);

  std::vector<std::string> at(0xFFFF, "x");
  at.back() = "last";
  file = WriteModelFile(at);
  EXPECT_EQ(file.substr(27, 6), Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00}));
  EXPECT_EQ(file.size(), 27u + 6 + 2 * 0xFFFE + 5);
  EXPECT_EQ(RoundTrip(at), at);
}

TEST(ReadModelLinesTest, TwoByteCharacterForm) {
  // FF FE FF, then a length prefix counting characters, then UTF-16LE characters.
  std::vector<std::string> lines;
  Status status = Read(Body(2, Bytes({0xFF, 0xFE, 0xFF, 0x05, 'A', 0, 0xFF, 0, 0xAC, 0x20, 0x00,
                                      0x01, 'b', 0, 0x02}) + "ok"),
                       lines);
  ASSERT_TRUE(status.ok()) << status.message();
  EXPECT_EQ(lines, (std::vector<std::string>{"A\xFF??b", "ok"}));

  // A longer string carries the 16-bit form of the character count.
  std::string chars;
  for (int i = 0; i < 300; ++i) chars += Bytes({'0' + i % 10, 0});
  status = Read(Body(1, Bytes({0xFF, 0xFE, 0xFF, 0xFF, 0x2C, 0x01}) + chars), lines);
  ASSERT_TRUE(status.ok()) << status.message();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].size(), 300u);
  EXPECT_EQ(lines[0].substr(0, 12), "012345678901");

  // And the 4-byte form, and no characters at all.
  status = Read(Body(2, Bytes({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0x01, 0, 0, 0, 0x00, 0x01,
                               0xFF, 0xFE, 0xFF, 0x00})),
                lines);
  ASSERT_TRUE(status.ok()) << status.message();
  EXPECT_EQ(lines, (std::vector<std::string>{"?", ""}));
}

TEST(ReadModelLinesTest, DamagedListsFailWithAMessage) {
  struct Case {
    std::string body;
    std::string message;
  };
  const std::string damaged = "The model file is damaged: ";
  const Case cases[] = {
      {"", damaged + "it ends before its line count."},
      {Bytes({0xFF, 0xFF, 0x01, 0x00, 0x00}), damaged + "it ends before its line count."},
      {Body(5, "\x01" "a\x01" "b"), damaged + "it claims 5 lines but holds only 4 more bytes."},
      {Body(3, "\x01" "a\x01" "b"), damaged + "line 3 of 3 is cut short."},
      {Body(2, "\x01" "a\x05" "abcd"), damaged + "line 2 of 2 is cut short."},
      {Body(1, Bytes({0xFF, 0x10})), damaged + "line 1 of 1 is cut short."},
      {Body(1, Bytes({0xFF, 0xFF, 0xFF, 0x03, 0x00, 0x00})), damaged + "line 1 of 1 is cut short."},
      {Body(1, Bytes({0xFF, 0xFE, 0xFF, 0x02, 'a', 0, 'b'})), damaged + "line 1 of 1 is cut short."},
  };
  for (const Case& c : cases) {
    std::vector<std::string> lines;
    const Status status = Read(c.body, lines);
    EXPECT_FALSE(status.ok()) << c.message;
    EXPECT_EQ(status.message(), c.message);
  }
}

TEST(ReadModelLinesTest, HostileSizesAreRefusedWithoutAllocatingThem) {
  struct Case {
    std::string body;
    std::string message;
  };
  const std::string damaged = "The model file is damaged: ";
  const Case cases[] = {
      {Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}),
       damaged + "it claims 4294967295 lines but holds only 0 more bytes."},
      {Bytes({0xFF, 0xFF, 0x00, 0x00, 0x00, 0x40}) + std::string(16, '\0'),
       damaged + "it claims 1073741824 lines but holds only 16 more bytes."},
      {Body(1, Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}) + "abc"),
       damaged + "line 1 of 1 is cut short."},
      {Body(1, Bytes({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}) + "abcd"),
       damaged + "line 1 of 1 is cut short."},
      {Body(2, Bytes({0x00, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x80})),
       damaged + "line 2 of 2 is cut short."},
  };
  for (const Case& c : cases) {
    std::vector<std::string> lines;
    g_largestAllocation = 0;
    g_watchAllocations = true;
    const Status status = Read(c.body, lines);
    g_watchAllocations = false;
    EXPECT_EQ(status.message(), c.message);
    if (SPANLAB_WATCH_ALLOCATIONS) {
      EXPECT_LT(g_largestAllocation.load(), 4096u) << c.message;
    }
  }
}

}  // namespace
}  // namespace spanlab
