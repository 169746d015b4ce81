// The searches that jump between candidates must find what a walk over
// every character finds; the line reader must cut where the plain loop cuts.
#include <gtest/gtest.h>

#include <random>

#include "support/TestSupport.h"
#include "text/ByteScan.h"
#include "text/StringUtil.h"

namespace zelm {
namespace {

constexpr std::size_t npos = std::string_view::npos;

// Walks every character from `from` and compares at each.
std::size_t NaiveFind(std::string_view text, std::string_view sub, std::size_t from, bool noCase) {
  if (sub.empty()) return npos;
  std::size_t i = 0;
  while (i < from && i < text.size()) i += SjisCharLength(text, i);
  for (; i < text.size(); i += SjisCharLength(text, i)) {
    if (text.size() - i < sub.size()) return npos;
    if (!noCase) {
      if (text.substr(i, sub.size()) == sub) return i;
      continue;
    }
    bool same = true;
    for (std::size_t j = 0; j < sub.size() && same;) {
      const std::size_t len = SjisCharLength(text, i + j);
      if (len == 2) same = text[i + j] == sub[j] && (j + 1 >= sub.size() || text[i + j + 1] == sub[j + 1]);
      else same = AsciiUpper(text[i + j]) == AsciiUpper(sub[j]);
      j += len;
    }
    if (same) return i;
  }
  return npos;
}

std::vector<std::string_view> NaiveSplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t begin = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    lines.push_back(text.substr(begin, i - begin));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    begin = i + 1;
  }
  if (begin < text.size()) lines.push_back(text.substr(begin));
  return lines;
}

const std::vector<std::string> kPieces{"<", "</", "<td", "<TD", "a", "A", "\x83", "\x83\x41", "\x81", "\x82\xa0",
                                       "\x93\xfa", "td", "\x83<", "\x83t", "x", " ", "\r\n", "\r", "\n", "\r\r"};
const std::vector<std::string> kNeedles{"<", "<td", "td", "A", "a", "\x83\x41", "\x81<", "t", "\x83", "\r\n"};

TEST(SearchEquivalence, FindAtBoundaryAgreesWithAWalk) {
  std::mt19937 rng(11);
  for (int round = 0; round < 20000; ++round) {
    const std::string text = test::RandomText(rng, kPieces, rng() % 30);
    const std::string& sub = kNeedles[rng() % kNeedles.size()];
    // Start at a character boundary, as the callers do.
    std::size_t from = 0;
    for (std::size_t steps = rng() % 4; steps > 0 && from < text.size(); --steps) from += SjisCharLength(text, from);
    ASSERT_EQ(FindAtBoundary(text, sub, from), NaiveFind(text, sub, from, false)) << text << " / " << sub;
    ASSERT_EQ(FindNoCaseAtBoundary(text, sub, from), NaiveFind(text, sub, from, true)) << text << " / " << sub;
  }
}

TEST(SearchEquivalence, ByteScansAgreeWithTheLibrarySearch) {
  std::mt19937 rng(13);
  const std::vector<std::string> pieces{"<", ">", "></", "a", "\r", "\n", "\x83", "=", "charset=", "abcdefghijklmnopq"};
  const std::vector<std::string> needles{"<", "></", ">\r\n</", "charset=", "a", "\r\n", "q<"};
  for (int round = 0; round < 20000; ++round) {
    const std::string text = test::RandomText(rng, pieces, rng() % 40);
    const std::size_t from = rng() % (text.size() + 2);
    const char byte = "<>a\r\n="[rng() % 6];
    ASSERT_EQ(FindByte(text, from, byte), from > text.size() ? npos : text.find(byte, from)) << text;
    const std::size_t expectedAny = from > text.size() ? npos : text.find_first_of("<\n", from);
    ASSERT_EQ(FindAnyOf<2>(text, from, {'<', '\n'}), expectedAny) << text;
    const char second = "<>a\n "[rng() % 5];
    const std::string pair{byte, second};
    ASSERT_EQ(FindPair(text, from, byte, second), from > text.size() ? npos : text.find(pair, from)) << text;
    const std::string triple{byte, second, '<'};
    ASSERT_EQ(FindRun<3>(text, from, {byte, second, '<'}), from > text.size() ? npos : text.find(triple, from)) << text;
    const std::string& needle = needles[rng() % needles.size()];
    ASSERT_EQ(FindBytes(text, needle, from), text.find(needle, from)) << text << " / " << needle;
  }
}

TEST(SearchEquivalence, BytePositionsAreEveryPositionOfTheSet) {
  std::mt19937 rng(14);
  const std::vector<std::string> pieces{"<", ">", " ", "\"", "a", "A", "\x83", "abcdefghijklmnopqrstuvwxyz"};
  for (int round = 0; round < 5000; ++round) {
    const std::string text = test::RandomText(rng, pieces, rng() % 30);
    const std::size_t from = rng() % (text.size() + 2);
    std::vector<std::size_t> expected, found;
    for (std::size_t i = from; i < text.size(); ++i)
      if (text[i] == '<' || text[i] == ' ' || text[i] == '"') expected.push_back(i);
    BytePositions<3> positions(text, {'<', ' ', '"'}, from);
    for (std::size_t at = positions.Next(); at != npos; at = positions.Next()) {
      found.push_back(at);
      if (rng() % 4 == 0) {  // jump ahead now and then
        const std::size_t skip = at + 1 + rng() % 20;
        positions.SkipTo(skip);
        while (!expected.empty() && expected.size() > found.size() && expected[found.size()] < skip)
          expected.erase(expected.begin() + static_cast<std::ptrdiff_t>(found.size()));
      }
    }
    ASSERT_EQ(found, expected) << text;
    const std::string_view window = std::string_view(text).substr(std::min(from, text.size()));
    ASSERT_EQ(HasAsciiUpperCase(window), window.find_first_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ") != npos) << text;
  }
}

// Every occurrence, letters compared without case or exactly, is one of the
// places the probe gives; texts of up to 60 bytes take both the block loop
// and the byte loop.
TEST(SearchEquivalence, PatternProbesMissNoOccurrence) {
  std::mt19937 rng(15);
  const std::vector<std::string> pieces{"<", ">", "/", "\r\n", "a", "A", "`", "@", "\x83", "TD", "td", "<td></td>",
                                        "<TD></td>", ">\r\n</a>", "jis\"", "JIS\""};
  const std::vector<std::string> patterns{"<td></td>", ">\r\n</a>", "jis\"", "a", "<a", "a<a", "@", "<meta charset="};
  for (int round = 0; round < 20000; ++round) {
    const std::string text = test::RandomText(rng, pieces, rng() % 25);
    const std::string& pattern = patterns[rng() % patterns.size()];
    const bool anyCase = rng() % 2 == 0;
    const std::size_t from = rng() % (text.size() + 2);
    auto matchesAt = [&](std::size_t at) {
      for (std::size_t k = 0; k < pattern.size(); ++k)
        if (anyCase ? AsciiLower(text[at + k]) != AsciiLower(pattern[k]) : text[at + k] != pattern[k]) return false;
      return true;
    };
    std::vector<std::size_t> expected, found;
    for (std::size_t at = from; at + pattern.size() <= text.size(); ++at)
      if (matchesAt(at)) expected.push_back(at);
    const PatternProbe probe(pattern, anyCase);
    for (std::size_t at = probe.Next(text, from); at != npos; at = probe.Next(text, at + 1)) {
      ASSERT_LE(at + pattern.size(), text.size()) << text;
      if (matchesAt(at)) found.push_back(at);
    }
    ASSERT_EQ(found, expected) << pattern << " in " << text;
    const std::size_t upper = from > text.size() ? npos : text.find_first_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ", from);
    ASSERT_EQ(FindAsciiUpper(text, std::min(from, text.size())), upper) << text;
  }
}

// Every line that is not blank after trimming, followed by CR LF: texts long
// enough for the block scan, with blank lines, indents and every kind of line
// end at their edges.
TEST(SearchEquivalence, DropBlankLinesKeepsWhatThePlainLoopKeeps) {
  std::mt19937 rng(16);
  const std::vector<std::string> pieces{"\r\n", "\r", "\n", "\r\r\n", " ", "\t", "\x81\x40", "a", "<p>",
                                        "abcdefghijklmnopqrstu", "\x83", "\r\n  ", "\r\n\t<", std::string(1, '\0')};
  for (int round = 0; round < 20000; ++round) {
    const std::string text = test::RandomText(rng, pieces, rng() % 40);
    std::string expected;
    for (std::string_view line : NaiveSplitLines(text)) {
      if (PlainTrimView(line).empty()) continue;
      expected += line;
      expected += "\r\n";
    }
    ASSERT_EQ(DropBlankLines(text), expected) << text;
  }
}

TEST(SearchEquivalence, LineReaderCutsLikeThePlainLoop) {
  std::mt19937 rng(12);
  for (int round = 0; round < 5000; ++round) {
    const std::string text = test::RandomText(rng, kPieces, rng() % 40);
    const std::vector<std::string_view> expected = NaiveSplitLines(text);
    ASSERT_EQ(SplitLines(text), expected) << text;
    LineReader reader(text);
    std::size_t k = 0;
    for (std::string_view line;;) {
      const std::string_view peeked = reader.Peek();
      if (!reader.Next(line)) break;
      ASSERT_EQ(peeked, line);
      ASSERT_LT(k, expected.size());
      ASSERT_EQ(line, expected[k++]) << text;
    }
    ASSERT_EQ(k, expected.size());
    ASSERT_EQ(reader.Peek(), "");
  }
}

TEST(SearchEquivalence, LongTextsWithOnlyOneKindOfLineEnd) {
  // Lone CRs and lone LFs over a long text: each line is found from where
  // the last one ended, not by searching to the end of the text.
  for (const char* end : {"\r", "\n", "\r\n"}) {
    std::string text;
    for (int i = 0; i < 100000; ++i) text += "line" + std::string(end);
    const std::vector<std::string_view> lines = SplitLines(text);
    ASSERT_EQ(lines.size(), 100000u);
    EXPECT_EQ(lines.back(), "line");
  }
}

}  // namespace
}  // namespace zelm
