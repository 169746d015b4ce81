#include "indent/DivCommentMarks.h"

#include <gtest/gtest.h>

#include "PageGenerator.h"
#include "support/TestSupport.h"
#include "text/StringUtil.h"

namespace zelm {
namespace {

using test::Sjis;

struct CommandCase {
  const char* what;
  DivMarkCommand command;
  DivMarkOptions options;
  std::string text;
  std::string expected;
};

DivMarkOptions Marks(std::string start, std::string end, bool noSpace = false, bool noText = false) {
  return {std::move(start), std::move(end), noSpace, noText};
}

TEST(DivMarkCommand, WorksOnTheClosingTagsAsTheConventionSays) {
  using enum DivMarkCommand;
  const DivMarkOptions defaults;
  const std::string placeholder = Sjis("  ■■■■  ");
  const CommandCase cases[] = {
      {"insert labels a closing line and leaves one that also opens", Insert, defaults,
       "  </div>\r\n<div id=a></div>\r\n", "  </div @--" + placeholder + "--@ >\r\n<div id=a></div>\r\n"},
      {"insert without blanks and text; the last line gets its line end", Insert, Marks("@--", "--@", true, true),
       "</div>", "</div@-- --@>\r\n"},
      {"insert leaves a line whose only closing tag is upper case", Insert, defaults, "</DIV>\r\n", "</DIV>\r\n"},
      {"insert marks every closing tag of the line", Insert, Marks("$#", "$%", false, true),
       "</div></div>\r\n", "</div $# $% ></div $# $% >\r\n"},
      {"replace with the defaults", Replace, defaults, "</div @-- x --@ >", "</div><!-- x -->"},
      {"replace without blanks", Replace, Marks("@--", "--@", true), "</div@--x--@>", "</div><!--x-->"},
      {"replace keeps an empty comment to itself", Replace, defaults, "</div @----@ >\r\n</div @-- b --@ >\r\n",
       "</div><!---->\r\n</div><!-- b -->\r\n"},
      {"replace stops at a start mark without an end mark", Replace, defaults,
       "</div @-- a --@ >\r\n</div @-- b\r\n<p>\r\n", "</div><!-- a -->\r\n</div @-- b\r\n<p>\r\n"},
      {"a start mark takes the next end mark, on a later line too", Replace, defaults,
       "</div @-- b\r\n</div @-- c --@ >\r\n", "</div><!-- b\r\n</div @-- c -->\r\n"},
      {"replace of a start mark without any end mark changes nothing", Replace, defaults, "</div @-- a --@\r\n",
       "</div @-- a --@\r\n"},
      {"replace looks for marks only at character boundaries", Replace, Marks("@--", "--@", true),
       "</div\x81@-- a --@>", "</div\x81@-- a --@>"},
      {"remove with the defaults", Remove, defaults, "</div @--" + placeholder + "--@ >\r\n", "</div>\r\n"},
      {"remove without blanks keeps the blanks", Remove, Marks("@--", "--@", true),
       "</div @--" + placeholder + "--@ >", "</div  >"},
      {"remove of text without marks", Remove, defaults, "<div>\r\n</div>\r\n", "<div>\r\n</div>\r\n"},
      {"an empty start mark does nothing", Insert, Marks("", "--@"), "</div>\r\n", "</div>\r\n"},
      {"an empty end mark does nothing", Remove, Marks("@--", ""), "</div @-- --@ >", "</div @-- --@ >"},
      {"an empty text stays empty", Insert, defaults, "", ""},
      {"an empty text stays empty on replace", Replace, defaults, "", ""},
  };
  for (const CommandCase& c : cases) EXPECT_EQ(RunDivMarkCommand(c.command, c.text, c.options), c.expected) << c.what;
}

// Marks that reappear in the "><!--" and "-->" that replace writes: the
// work goes on after what it wrote, so it ends, and each tag is rewritten
// once.
TEST(DivMarkCommand, ReplaceNeverFindsItsOwnOutput) {
  struct Case {
    DivMarkOptions options;
    std::string text, expected;
  };
  const Case cases[] = {
      {Marks("<!", "--", true), "</div<! x -->\r\n</div<! y -->\r\n", "</div><!-- x -->\r\n</div><!-- y -->\r\n"},
      {Marks("!--", "--", true), "</div!-- a -->", "</div><!-- a -->"},
      {Marks("<!--", "-->", true), "</div<!-- a -->>\r\n</div<!-- b -->>", "</div><!-- a -->\r\n</div><!-- b -->"},
      {Marks(">", "-", true), "</div> a ->x", "</div><!-- a -->x"},
      // A start mark inside a comment text stays there.
      {Marks("@--", "--@"), "</div @-- a @-- b --@ >", "</div><!-- a @-- b -->"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(RunDivMarkCommand(DivMarkCommand::Replace, c.text, c.options), c.expected) << c.text;
}

TEST(DivMarkCommand, InsertThenRemoveGivesBackThePage) {
  const std::string page = bench::GeneratePage(std::size_t{1} << 16, 3);
  ASSERT_GT(CountSubStr(page, "</div>"), 10);
  for (const bool noSpace : {false, true}) {
    for (const bool noText : {false, true}) {
      const DivMarkOptions options = Marks("@--", "--@", noSpace, noText);
      const std::string marked = RunDivMarkCommand(DivMarkCommand::Insert, page, options);
      EXPECT_NE(marked, page);
      EXPECT_EQ(RunDivMarkCommand(DivMarkCommand::Remove, marked, options), page) << noSpace << noText;
    }
  }
}

TEST(DivMarkCommand, InsertThenReplaceGivesStandardComments) {
  const std::string text = "<div id=a>\r\n  <p>x</p>\r\n  </div>\r\n</div><!-- old -->\r\n<div></div>\r\n";
  const DivMarkOptions options;
  const std::string marked = RunDivMarkCommand(DivMarkCommand::Insert, text, options);
  EXPECT_EQ(RunDivMarkCommand(DivMarkCommand::Replace, marked, options),
            "<div id=a>\r\n  <p>x</p>\r\n  </div><!--" + Sjis("  ■■■■  ") + "-->\r\n</div><!--" +
                Sjis("  ■■■■  ") + "--><!-- old -->\r\n<div></div>\r\n");
}

}  // namespace
}  // namespace zelm
