// Lower-cases tag names, common attribute names and a few attribute values,
// because every later pass searches for lower-case tag text.
//
// Each rule replaces every occurrence of its pattern (letters matched without
// case) by the pattern in lower case. Such a rule never changes which text
// any rule matches, so the rules are independent: one scan finds, for every
// rule, the occurrences its own replace-all would take (left to right,
// skipping overlaps with its previous one) and lowers their letters.
#include "indent/NormalizeTagCase.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "match/PatternTrie.h"
#include "text/SjisScan.h"
#include "text/StringUtil.h"

namespace zelm {
namespace {

// Tag names in the order their rules run: a longer name before a shorter
// one that is its prefix.
constexpr std::string_view kTagNames[] = {
    "ABBR", "ACRONYM", "ADDRESS", "APPLET", "AREA", "A ", "BASEFONT", "BASE", "BOD", "BIG", "BLOCKQUOTE",
    "BODY", "BR", "BUTTON", "B", "CAPTION", "CENTER", "CITE", "CODE", "COLGROUP", "COL", "DD", "DEL",
    "DFN", "DIR", "DIV", "DL", "DT", "EM", "FIELDSET", "FONT", "FORM", "FRAMESET", "FRAME", "H1", "H2",
    "H3", "H4", "H5", "H6", "HEAD", "HR", "HTML", "IFRAME", "IMG", "INPUT", "INS", "ISINDEX", "I", "KBD",
    "LABEL", "LAYER", "LEGEND", "LINK", "LI", "MAP", "MENU", "META", "NOBR", "NOFRAMES", "NOSCRIPT",
    "OBJECT", "OL", "OPTGROUP", "OPTION", "PARAM", "PRE", "P", "Q", "SAMP", "SCRIPT", "SELECT", "SMALL",
    "SPAN", "STRIKE", "STRONG", "STYLE", "SUB", "SUP", "TABLE", "TBODY", "TD", "TEXTAREA", "TFOOT", "TH",
    "THEAD", "TITLE", "TR", "TT", "UL", "U", "VAR",
};

// Closing tags spell a few names differently.
std::string_view ClosingName(std::string_view name) {
  if (name == "A ") return "A";
  if (name == "NOBR") return "NOBR>";
  return name;
}

constexpr std::string_view kStyleWords[] = {"@IMPORT", " URL("};

constexpr std::string_view kAttributeNames[] = {
    "WIDTH", "HREF",  "SRC",   "HEIGHT", "BGCOLOR", "BACKGROUND", "COLOR", "CELLSPACING",
    "CELLPADDING", "NAME", "TYPE", "ID", "CLASS", "HREF", "VALIGN", "ALIGN", "VALUE", "SIZE", "TITLE",
    "BORDER", "ROWS", "COLS", "ROWSPAN", "COLSPAN",
};

constexpr std::string_view kQuotedValues[] = {"TOP", "MIDDLE", "BOTTOM", "CENTER", "LEFT", "RIGHT", "BORDER"};

constexpr std::string_view kFrameAttributes[] = {
    " FRAMEBORDER=", " FRAMESPACING=", " SCROLLING=", " NORESIZE",
    " MARGINWIDTH=", " MARGINHEIGHT=", " LEFTMARGIN=", " TOPMARGIN=",
};

// Every pattern whose matches are written in lower case, in rule order.
std::vector<std::string> LoweredPatterns() {
  std::vector<std::string> patterns;
  auto add = [&](std::string_view a, std::string_view b = {}, std::string_view c = {}) {
    patterns.push_back(std::string(a) + std::string(b) + std::string(c));
  };
  for (std::string_view name : kTagNames) add("<", name);
  add("<WBR>");
  for (std::string_view name : kTagNames) add("</", ClosingName(name));
  for (std::string_view word : kStyleWords) add(word);
  for (std::string_view name : kAttributeNames) add(" ", name, "=");
  for (std::string_view value : kQuotedValues) add("\"", value, "\"");
  for (std::string_view attribute : kFrameAttributes) add(attribute);
  return patterns;
}

class TagCaseLowerer {
 public:
  TagCaseLowerer() : patterns_(LoweredPatterns()), trie_(patterns_, PatternTrie::Direction::kForward) {
    std::size_t count = 0;
    for (int c = 0; c < 256; ++c) {
      if (!trie_.IsFirstByte(static_cast<char>(c))) continue;
      const bool letter = AsciiLower(static_cast<char>(c)) != AsciiUpper(static_cast<char>(c));
      if (count == firstBytes_.size() || IsSjisLeadByte(static_cast<unsigned char>(c)) || letter)
        throw std::logic_error("tag case patterns start with unexpected bytes");
      firstBytes_[count++] = static_cast<char>(c);
      firstClass_[static_cast<unsigned char>(c)] = static_cast<std::uint8_t>(count);
    }
    for (std::size_t k = count; k < firstBytes_.size(); ++k) firstBytes_[k] = firstBytes_[0];
    for (const std::string& pattern : patterns_) {
      longest_ = std::max(longest_, pattern.size());
      if (pattern.size() < 2) throw std::logic_error("tag case pattern too short: " + pattern);
      std::uint8_t& reach = Reach(pattern[0], pattern[1]);
      reach = static_cast<std::uint8_t>(std::max<std::size_t>(reach, pattern.size()));
      // Only the quoted values can overlap their own previous match.
      if (pattern.front() != '"' && pattern.find(pattern.front(), 1) != std::string::npos)
        throw std::logic_error("tag case pattern overlaps itself: " + pattern);
    }
  }

  // Lowering a match without capitals changes nothing, so only the places a
  // pattern may start with a capital (of an ASCII letter, or a second byte
  // with that value) at most a pattern's length ahead are tried. The search
  // jumps from one byte a pattern may start with to the next.
  void LowerInPlace(std::string& text) const {
    const std::string_view view(text);
    std::size_t upper = 0;  // the first capital at or after the last place tried, or npos
    bool upperKnown = false;
    std::vector<Decided> decided(patterns_.size());
    // Lowering changes letters only, never the bytes looked for.
    BytePositions<4> candidates(text, firstBytes_);
    for (std::size_t i = candidates.Next(); i != std::string::npos; i = candidates.Next()) {
      if (!upperKnown || (upper != std::string::npos && upper < i)) {
        upper = FindAsciiUpper(view, i);
        upperKnown = true;
      }
      if (upper == std::string::npos) return;
      if (upper - i >= longest_) {
        candidates.SkipTo(upper + 1 - longest_);
        continue;
      }
      // The longest pattern that starts with these two bytes: 0 for none.
      const std::size_t reach = i + 1 < text.size() ? Reach(text[i], text[i + 1]) : 0;
      if (upper - i >= reach) continue;
      if (!IsCharBoundary(view, i)) continue;
      trie_.ForEachStartingAt(view, i, [&](std::uint32_t id) {
        const std::size_t end = i + patterns_[id].size();
        if (!HasAsciiUpperCase(view.substr(i, end - i))) return;
        if (text[i] == '"' && !TakenInOwnChain(view, i, id, decided[id])) return;
        // Matches are plain ASCII, so every byte of one is a whole character.
        LowerAsciiRange(text, i, end);
      });
    }
  }

 private:
  // A quoted value's match that starts on the closing quote of an earlier
  // match of the same value is skipped by its replace-all. In a chain of
  // such matches, each one overlapping the one before, the first is taken,
  // the second skipped, and so on. The last match decided per pattern ends
  // the walk back, so a long chain is walked once.
  struct Decided {
    std::size_t at = std::string::npos;
    bool taken = false;
  };

  bool TakenInOwnChain(std::string_view text, std::size_t at, std::uint32_t id, Decided& last) const {
    const std::string_view pattern = patterns_[id];
    const std::size_t step = pattern.size() - 1;  // only the quotes at the ends can meet
    bool taken = true;                            // so far: the first of its chain
    for (std::size_t j = at; j >= step; j -= step) {
      if (j - step == last.at) {
        taken = taken != last.taken;  // one more step from a known match
        break;
      }
      if (!MatchesNoCase(text, j - step, pattern) || !IsCharBoundary(text, j - step)) break;
      taken = !taken;
    }
    last = {at, taken};
    return taken;
  }

  static bool MatchesNoCase(std::string_view text, std::size_t at, std::string_view pattern) {
    if (text.size() - at < pattern.size()) return false;
    for (std::size_t k = 0; k < pattern.size(); ++k)
      if (AsciiLower(text[at + k]) != AsciiLower(pattern[k])) return false;
    return true;
  }

  // Patterns start with one of four bytes that are no letters; their second
  // byte is compared without case.
  std::uint8_t Reach(char first, char second) const {
    return reach_[firstClass_[static_cast<unsigned char>(first)]][static_cast<unsigned char>(AsciiLower(second))];
  }
  std::uint8_t& Reach(char first, char second) {
    return reach_[firstClass_[static_cast<unsigned char>(first)]][static_cast<unsigned char>(AsciiLower(second))];
  }

  std::vector<std::string> patterns_;
  PatternTrie trie_;
  std::array<std::uint8_t, 256> firstClass_{};                  // 1 + index in firstBytes_, 0 for others
  std::array<std::array<std::uint8_t, 256>, 5> reach_{};         // by first class and lowered second byte
  std::array<char, 4> firstBytes_{};  // the bytes the patterns start with, the first one repeated
  std::size_t longest_ = 0;           // the longest pattern
};

// Lines that are blank after trimming go and every kept line ends with
// CR LF (as DropBlankLines does), tabs become two spaces and empty cells get
// a non-breaking space, all in one copy. A line end is never part of a run
// of lead-byte values, so a place starts a character in the input exactly
// when it does in the result, and places are judged in the input. Filling a
// cell before the names are lowered changes nothing for them: the filled
// cell is in lower case already, and no name pattern holds a byte of
// "&nbsp;".
class LineCleaner {
 public:
  explicit LineCleaner(std::string_view text) : text_(text) {}

  std::string Run() {
    out_.reserve(text_.size() + text_.size() / 16 + 2);
    nextTab_ = FindByte(text_, 0, '\t');
    nextCell_ = NextCell(0);
    ForEachLineToFix(
        text_,
        [&](std::size_t begin, std::size_t next) {
          CopyUpTo(begin);
          SkipTo(next);
        },
        [&](std::size_t end, std::size_t next) {
          CopyUpTo(end);
          out_ += "\r\n";
          SkipTo(next);  // past the lone CR or LF, if any
        });
    CopyUpTo(text_.size());
    return std::move(out_);
  }

 private:
  static constexpr std::string_view kEmptyCell = "<td></td>";
  static constexpr std::string_view kFilledCell = "<td>&nbsp;</td>";
  static constexpr std::size_t npos = std::string_view::npos;

  // Copies the input up to `limit`, its tabs and empty cells rewritten.
  void CopyUpTo(std::size_t limit) {
    for (std::size_t at = std::min(nextTab_, nextCell_); at < limit; at = std::min(nextTab_, nextCell_)) {
      out_.append(text_, copied_, at - copied_);
      if (at == nextCell_) {
        out_ += kFilledCell;
        copied_ = at + kEmptyCell.size();
        nextCell_ = NextCell(copied_);
        continue;
      }
      // A tab that is the second byte of a character stays.
      out_ += StartsCharacterAfter(text_, tabKnown_, at) ? std::string_view("  ") : std::string_view("\t");
      tabKnown_ = at + 1;  // a character starts after a tab in either case
      copied_ = at + 1;
      nextTab_ = FindByte(text_, copied_, '\t');
    }
    out_.append(text_, copied_, limit - copied_);
    copied_ = limit;
  }

  // Drops the input up to `to`.
  void SkipTo(std::size_t to) {
    copied_ = to;
    if (nextTab_ < to) nextTab_ = FindByte(text_, to, '\t');
    if (nextCell_ < to) nextCell_ = NextCell(to);
  }

  // The next empty cell (letters compared without case) that starts a
  // character, at or after `from`.
  std::size_t NextCell(std::size_t from) const {
    static const PatternProbe probe(kEmptyCell, /*anyCase=*/true);
    for (std::size_t at = probe.Next(text_, from); at != npos; at = probe.Next(text_, at + 1)) {
      std::size_t k = 0;
      while (k < kEmptyCell.size() && AsciiLower(text_[at + k]) == kEmptyCell[k]) ++k;
      if (k == kEmptyCell.size() && IsCharBoundary(text_, at)) return at;
    }
    return npos;
  }

  std::string_view text_;
  std::string out_;
  std::size_t copied_ = 0;    // the input before this is written or dropped
  std::size_t tabKnown_ = 0;  // a character starts here, at or before the next tab
  std::size_t nextTab_ = npos, nextCell_ = npos;
};

}  // namespace

std::string NormalizeTagCase(std::string_view text) {
  static const TagCaseLowerer lowerer;
  std::string out = LineCleaner(text).Run();
  lowerer.LowerInPlace(out);
  return out;
}

std::vector<LineBreakReach> NormalizeTagCaseReach() {
  std::vector<LineBreakReach> reach{LineBreakReach::BlankLines()};
  for (const std::string& pattern : LoweredPatterns())
    for (LineBreakReach& rule : ReachOfPattern(pattern)) reach.push_back(std::move(rule));
  return reach;
}

}  // namespace zelm
