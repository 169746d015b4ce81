// Detection and conversion of real Japanese pages (see
// tests/data/pages/SOURCES.md), checked against the system's iconv.
#include <gtest/gtest.h>

#include <map>

#include "EncodingTestSupport.h"
#include "encoding/AnyCodeToShiftJIS.h"
#include "encoding/CharsetLabel.h"
#include "encoding/JisConvert.h"
#include "encoding/Utf8Convert.h"
#include "support/TestSupport.h"

namespace zelm {
namespace {

struct PageFacts {
  const char* iconvName;      // the page's real encoding, for the reference conversion
  CharCodeIndex code;         // the same as a code to choose explicitly
  CharCodeIndex declared;     // what its label says (0: none)
  CharCodeIndex readAutomatically;
  std::size_t lostAutomatically;  // characters without a Shift_JIS form
};

const std::map<std::string, PageFacts>& Facts() {
  static const std::map<std::string, PageFacts> facts = {
      {"faq-basic-defs.utf8.html", {"UTF-8", 2, 2, 2, 8}},
      {"jlha-LhaHeader.sjis.html", {"CP932", 3, 3, 3, 0}},
      {"lv-index.utf8-nolabel.html", {"UTF-8", 2, 0, 2, 0}},
      {"lv-relnote.iso2022jp.html", {"ISO-2022-JP", 4, 4, 4, 0}},
      // Without a label EUC-JP cannot be told from Shift_JIS: kept as it is.
      {"namazu-manual.eucjp-nolabel.html", {"EUC-JP", 1, 0, 3, 0}},
      {"namazu-tutorial.eucjp.html", {"EUC-JP", 1, 1, 1, 0}},
      {"namazu-nmz.sjis.html", {"CP932", 3, 3, 3, 0}},
  };
  return facts;
}

// The page in Shift_JIS as the system's converter gives it, before folding.
std::string ReferenceShiftJis(const std::string& page, const PageFacts& facts) {
  const std::string name = facts.iconvName;
  if (name == "CP932") return page;
  if (name == "UTF-8") return test::Utf8ToCp932WithQuestionMarks(page);
  return test::Iconv(page, facts.iconvName, "CP932");
}

class RealPage : public testing::TestWithParam<std::string> {
 protected:
  void SetUp() override {
    const auto it = Facts().find(GetParam());
    ASSERT_NE(it, Facts().end()) << "no facts recorded for the page " << GetParam();
    facts_ = it->second;
    page_ = test::ReadPage(GetParam());
  }
  PageFacts facts_{};
  std::string page_;
};

TEST_P(RealPage, DetectsTheDeclaredAndTheAutomaticEncoding) {
  EXPECT_EQ(GetCharCodeFromMeta(page_), facts_.declared);
  const AutoConversion automatic = ConvertAutomatically(page_);
  EXPECT_EQ(automatic.readAs, facts_.readAutomatically);
  EXPECT_EQ(automatic.keptAsIs, facts_.readAutomatically == 3 && facts_.code != 3);
  EXPECT_EQ(automatic.result.loss.count, facts_.lostAutomatically);
}

TEST_P(RealPage, ConvertsLikeTheSystemConverter) {
  const std::string reference = ReferenceShiftJis(page_, facts_);
  const Converted chosen = AnyCodeToShiftJIS(page_, facts_.code);
  // A Shift_JIS page chosen as such is returned as it is.
  EXPECT_EQ(chosen.text, facts_.code == 3 ? page_ : test::FoldByReplacing(reference));

  const AutoConversion automatic = ConvertAutomatically(page_);
  std::string expected;
  if (facts_.readAutomatically == 4) expected = reference;  // ISO-2022-JP: no folding
  else if (facts_.readAutomatically == facts_.code) expected = test::FoldByReplacing(reference);
  else expected = test::FoldByReplacing(page_);  // kept as it is
  EXPECT_EQ(automatic.result.text, expected);
}

TEST_P(RealPage, ReportsEachCharacterWithoutShiftJisForm) {
  const Converted sjis = AnyCodeToShiftJIS(page_, facts_.code);
  const std::size_t questionMarks = test::CountBytes(sjis.text, "?");
  // Count the question marks of the page as characters: a 0x3F byte may
  // be half of an ISO-2022-JP character.
  const std::string asUtf8 = test::Iconv(page_, facts_.iconvName, "UTF-8");
  EXPECT_EQ(questionMarks, test::CountBytes(asUtf8, "?") + sjis.loss.count);
  if (std::string(facts_.iconvName) == "UTF-8") {
    EXPECT_EQ(sjis.loss.count, test::CountBytes(page_, "\xC2\xA0"));
  }
  if (sjis.loss.any()) {
    // The first "?" that is not in the page is the first loss.
    const std::size_t firstNew = page_.find("\xC2\xA0");
    ASSERT_NE(firstNew, std::string::npos);
    const std::string before = test::FoldByReplacing(test::Utf8ToCp932WithQuestionMarks(page_.substr(0, firstNew)));
    EXPECT_EQ(sjis.loss.firstPos, before.size() + 1);
  }
}

TEST_P(RealPage, SurvivesTheWayToEveryEncodingAndBack) {
  const std::string sjis = AnyCodeToShiftJIS(page_, facts_.code).text;

  const Converted euc = SjisToEuc(sjis);
  EXPECT_FALSE(euc.loss.any());
  EXPECT_EQ(test::Iconv(euc.text, "EUC-JP-MS", "CP932"), sjis);
  EXPECT_EQ(EucToSjis(euc.text).text, sjis);

  const Converted jis = SjisToJis(sjis);
  EXPECT_FALSE(jis.loss.any());
  EXPECT_EQ(test::Iconv(jis.text, "ISO-2022-JP", "CP932"), sjis);
  EXPECT_EQ(JisToSjis(jis.text).text, sjis);

  const Converted utf8 = SjisToUtf8(sjis);
  EXPECT_FALSE(utf8.loss.any());
  EXPECT_EQ(utf8.text, test::Iconv(sjis, "CP932", "UTF-8"));
  const Converted back = Utf8ToSjis(utf8.text);
  EXPECT_FALSE(back.loss.any());
  EXPECT_EQ(back.text, sjis);
}

INSTANTIATE_TEST_SUITE_P(Pages, RealPage, testing::ValuesIn(test::PageNames()),
                         [](const testing::TestParamInfo<std::string>& info) { return test::TestNameFrom(info.param); });

TEST(RealPages, AreAllThere) { EXPECT_EQ(test::PageNames().size(), Facts().size()); }

}  // namespace
}  // namespace zelm
