// Guards the exact bytes of the colouring round against changes made for
// speed: the RTF document of generated and real pages and of many random
// texts, and the text and runs read back from each document.
//
// The expected checksums were recorded from the colouring code as it stood
// before its buffers and loops were reworked for speed (commit 7ddd4f8), whose
// output the other tests of this suite check by rule. A changed value means
// the output changed: find out why before recording a new one. They depend on
// the page generator's pseudo-random sequence and so on the standard library
// it is built with.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <random>

#include "PageGenerator.h"
#include "colour/ColourTestSupport.h"
#include "colour/RtfReader.h"
#include "support/TestSupport.h"

namespace zelm {
namespace {

// FNV-1a over bytes, continued from `hash`.
std::uint64_t Checksum(std::string_view bytes, std::uint64_t hash = 14695981039346656037ull) {
  for (const unsigned char c : bytes) {
    hash ^= c;
    hash *= 1099511628211ull;
  }
  return hash;
}

std::uint64_t ChecksumOfRead(const RtfText& read) {
  std::uint64_t hash = Checksum(read.text);
  for (const RtfRun& run : read.runs) {
    const std::uint32_t fields[4] = {run.start, run.length, run.color, run.bold ? 1u : 0u};
    hash = Checksum(std::string_view(reinterpret_cast<const char*>(fields), sizeof fields), hash);
  }
  return hash;
}

struct RoundChecksums {
  std::uint64_t document = 0;
  std::uint64_t readBack = 0;
  bool operator==(const RoundChecksums&) const = default;
};

void PrintTo(const RoundChecksums& sums, std::ostream* os) {
  *os << std::hex << "{0x" << sums.document << "ull, 0x" << sums.readBack << "ull}";
}

RoundChecksums ChecksumsOf(const std::string& text) {
  const std::string document = test::ColourDocument(text);
  return {Checksum(document), ChecksumOfRead(ReadRTF(document))};
}

TEST(ColourRegression, GeneratedPages) {
  const struct {
    std::size_t bytes;
    unsigned seed;
    RoundChecksums expected;
  } cases[] = {
      {std::size_t{1} << 20, 7, {0xaca8762c8d6e996eull, 0xc54d682e54e2fd57ull}},
      {40000, 1, {0x18b868eaf8d06550ull, 0x1c7db5d45d007f70ull}},
      {60000, 2, {0xa3eee2b10b0815deull, 0x9ac4b245b209e573ull}},
      {80000, 3, {0x359190543e68926full, 0xd1d83c4645d05986ull}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.bytes << " bytes, seed " << c.seed);
    EXPECT_EQ(ChecksumsOf(bench::GeneratePage(c.bytes, c.seed)), c.expected);
  }
}

TEST(ColourRegression, RealPages) {
  const std::map<std::string, RoundChecksums> expected{
      {"SOURCES.md", {0xfc17b0ce40a02d4eull, 0xe92b2eff521598dfull}},
      {"faq-basic-defs.utf8.html", {0xd2dc13d098b7a4a4ull, 0x81061f0f6ea9f1d9ull}},
      {"jlha-LhaHeader.sjis.html", {0x5340d5b75b7eea38ull, 0x6b3f890734484117ull}},
      {"lv-index.utf8-nolabel.html", {0x857cc24f2acc25aull, 0x19db8cf8ca7a6b95ull}},
      {"lv-relnote.iso2022jp.html", {0x7d98eda6d660ee5eull, 0xd12dfdff8857c09dull}},
      {"namazu-manual.eucjp-nolabel.html", {0x14531aeebfb05200ull, 0x3a6d0a11611b6d27ull}},
      {"namazu-nmz.sjis.html", {0xa72953e1215e8f27ull, 0x9b7c0907a3e09c0ull}},
      {"namazu-tutorial.eucjp.html", {0xd01cddc3d28027f7ull, 0xe357869e1e3b1a0ull}},
  };
  const auto folder = test::TestDataDir() / "pages";
  for (const auto& [name, sums] : expected) {
    SCOPED_TRACE(name);
    EXPECT_EQ(ChecksumsOf(test::ReadFile(folder / name)), sums);
  }
}

// Texts made of the bytes and pieces that steer the scanner, the escaping and
// the reader, NUL bytes among them; all documents and read-backs in one sum.
TEST(ColourRegression, RandomTexts) {
  std::mt19937 rng(2024);
  const std::vector<std::string> alphabet{
      "<",  ">",  "=",    "\"",   "&",    "&amp;", "&AMP;", "&divide", "&#9;", "<!--", "-->", "<%",  "%>",
      "\r", "\n", "\r\n", "\t",   " ",    "\x01",  "a",     "p",       "/",    "//",   "\\",  "{",   "}",
      "\x83", "\x81", "\x5c", "\x7b", "\x7d", "\xe0", "\xfc", "\xa0", "h1", "/div", "!DOCTYPE", "Foo", std::string(1, '\0'),
  };
  std::uniform_int_distribution<int> anyByte(0, 255);
  RoundChecksums sums;
  for (int round = 0; round < 3000; ++round) {
    std::string text;
    if (round % 2 == 0) {
      text = test::RandomText(rng, alphabet, static_cast<std::size_t>(round % 60));
    } else {
      text.resize(static_cast<std::size_t>(round % 90));
      for (char& c : text) c = static_cast<char>(anyByte(rng));
    }
    const RoundChecksums one = ChecksumsOf(text);
    sums.document = Checksum(std::string_view(reinterpret_cast<const char*>(&one.document), 8), sums.document);
    sums.readBack = Checksum(std::string_view(reinterpret_cast<const char*>(&one.readBack), 8), sums.readBack);
  }
  EXPECT_EQ(sums, (RoundChecksums{0x9b5dc741e9887862ull, 0x489568a19db85568ull}));
}

}  // namespace
}  // namespace zelm
