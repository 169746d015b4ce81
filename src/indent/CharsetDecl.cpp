// Rewrites a page's own charset declarations: to Shift_JIS after the text was
// converted to it, and to the encoding a file is about to be saved in.
#include "indent/CharsetDecl.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "text/ByteScan.h"
#include "text/SjisScan.h"
#include "text/StringUtil.h"

namespace zelm {
namespace {

struct Replacement {
  std::string old, replacement;
};

// The spellings of a declared charset that are rewritten to Shift_JIS, in
// rule order ("shift-jis" twice).
constexpr std::string_view kDeclaredSpellings[] = {
    "shift_jis", "s_jis",     "sjis",      "s-jis", "xjis",  "x-jis",  "SHIFT_JIS",   "shift-jis",   "SHIFT-JIS",
    "S-JIS",     "X-JIS",     "shift-jis", "UTF-8", "utf-8", "EUC-JP", "euc-jp", "ISO-2022-JP", "iso-2022-jp",
};

std::vector<Replacement> ToShiftJisRules() {
  std::vector<Replacement> rules;
  for (const std::string quote : {"\"", "'"}) {
    for (int round = 0; round < 2; ++round)  // a second declaration of each spelling
      for (std::string_view spelling : kDeclaredSpellings)
        rules.push_back({"charset=" + std::string(spelling) + quote, "charset=Shift_JIS" + quote});
  }
  for (const std::string name : {" encoding=", " charset="}) {
    rules.push_back({name + "\"UTF-8\"", name + "\"Shift_JIS\""});
    rules.push_back({name + "\"utf-8\"", name + "\"Shift_JIS\""});
  }
  return rules;
}

std::vector<Replacement> ToUtf8Rules() {
  return {
      {"charset=Shift_JIS\"", "charset=UTF-8\""},
      {"encoding=\"Shift_JIS\"?>", "encoding=\"utf-8\"?>"},
      {"encoding=\"Shift_JIS'?>", "encoding=\"utf-8'?>"},  // mismatched quotes
      {"\"Shift_JIS\"", "\"UTF-8\""},
      {"\"shift_jis\"", "\"UTF-8\""},
      {"'Shift_JIS'", "\"UTF-8\""},
      {"'Shift_JIS'", "\"UTF-8\""},
  };
}

// Applies rules in order, each replacing only the first exact occurrence of
// its old text at a character boundary. Every old text holds one of the
// anchors, so only the few places where an anchor stands are tried instead
// of searching the whole text once per rule.
class FirstOccurrenceRewriter {
 public:
  FirstOccurrenceRewriter(std::vector<Replacement> rules, std::vector<std::string> anchors)
      : rules_(std::move(rules)), anchors_(std::move(anchors)) {
    for (const Replacement& rule : rules_) {
      std::size_t a = 0;
      while (rule.old.find(anchors_[a]) == std::string::npos) ++a;  // every rule holds an anchor
      anchorOf_.push_back(a);
      offsetOf_.push_back(rule.old.find(anchors_[a]));
    }
  }

  std::string Apply(std::string_view input) const {
    std::string text(input);
    std::vector<std::vector<std::size_t>> sites;
    for (const std::string& anchor : anchors_) sites.push_back(FindAll(text, anchor, 0, text.size()));
    for (std::size_t r = 0; r < rules_.size(); ++r) {
      const Replacement& rule = rules_[r];
      for (std::size_t site : sites[anchorOf_[r]]) {
        if (site < offsetOf_[r]) continue;
        const std::size_t at = site - offsetOf_[r];
        if (text.compare(at, rule.old.size(), rule.old) != 0 || !IsCharBoundary(text, at)) continue;
        text.replace(at, rule.old.size(), rule.replacement);
        UpdateSites(text, sites, at, rule.old.size(), rule.replacement.size());
        break;
      }
    }
    return text;
  }

 private:
  // Byte-wise occurrences of the anchor that start in [from, to).
  static std::vector<std::size_t> FindAll(std::string_view text, std::string_view anchor, std::size_t from,
                                          std::size_t to) {
    std::vector<std::size_t> found;
    const std::string_view area = text.substr(0, std::min(text.size(), to + anchor.size() - 1));
    for (std::size_t at = FindBytes(area, anchor, from); at != std::string_view::npos;
         at = FindBytes(area, anchor, at + 1))
      found.push_back(at);
    return found;
  }

  // After text[at, at+oldSize) became newSize bytes: drops the sites that
  // touched the old bytes, shifts the later ones and looks for anchors
  // around the new bytes.
  void UpdateSites(std::string_view text, std::vector<std::vector<std::size_t>>& sites, std::size_t at,
                   std::size_t oldSize, std::size_t newSize) const {
    for (std::size_t a = 0; a < anchors_.size(); ++a) {
      const std::size_t reach = anchors_[a].size() - 1;
      const std::size_t firstTouched = at > reach ? at - reach : 0;
      std::vector<std::size_t> updated;
      for (std::size_t site : sites[a]) {
        if (site < firstTouched) updated.push_back(site);
      }
      for (std::size_t site : FindAll(text, anchors_[a], firstTouched, at + newSize)) updated.push_back(site);
      for (std::size_t site : sites[a]) {
        if (site >= at + oldSize) updated.push_back(site - oldSize + newSize);
      }
      sites[a] = std::move(updated);
    }
  }

  std::vector<Replacement> rules_;
  std::vector<std::string> anchors_;
  std::vector<std::size_t> anchorOf_, offsetOf_;
};

}  // namespace

bool MayHoldCharsetDecl(std::string_view text) {
  return FindBytes(text, "charset=", 0) != std::string_view::npos || FindBytes(text, "encoding=", 0) != std::string_view::npos;
}

std::string RewriteCharsetDecl(std::string_view text, int target) {
  switch (target) {
    case 0: {
      static const FirstOccurrenceRewriter toShiftJis(ToShiftJisRules(), {"charset=", "encoding="});
      return toShiftJis.Apply(text);
    }
    case 1:
      return ReplaceAllText(text, " charset=Shift_JIS\"", " charset=euc-jp\"");
    case 2: {
      static const FirstOccurrenceRewriter toUtf8(ToUtf8Rules(), {"Shift_JIS", "shift_jis"});
      return toUtf8.Apply(text);
    }
    case 4:
      return ReplaceAllText(text, "Shift_JIS\"", "iso-2022-jp\"");
    case 5:
      return ReplaceAllText(text, "Shift_JIS\"", "utf-8\"");
    default:
      return std::string(text);
  }
}

}  // namespace zelm
