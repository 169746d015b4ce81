#include "PageGenerator.h"

#include <array>
#include <random>
#include <string_view>

namespace zelm::bench {
namespace {

// Japanese phrases as Shift_JIS bytes.
constexpr std::array<std::string_view, 7> kPhrases{
    "\x89\xef\x8e\xd0\x88\xc4\x93\xe0",                                  // 会社案内
    "\x82\xa8\x96\xe2\x82\xa2\x8d\x87\x82\xed\x82\xb9",                  // お問い合わせ
    "\x90\x56\x92\x85\x8f\xee\x95\xf1",                                  // 新着情報
    "\x90\xbb\x95\x69\x88\xea\x97\x97",                                  // 製品一覧
    "\x82\xe6\x82\xa4\x82\xb1\x82\xbb\x81\x41\x93\xfa\x96\x7b\x8c\xea"
    "\x82\xcc\x83\x79\x81\x5b\x83\x57\x82\xd6\x81\x42",                  // ようこそ、日本語のページへ。
    "\x89\xbf\x8a\x69\x81\x46\x82\x50\x81\x43\x82\x4f\x82\x4f\x82\x4f"
    "\x89\x7e\x81\x69\x90\xc5\x8d\x9e\x81\x6a",                          // 価格：１，０００円（税込）
    "\x93\x8c\x8b\x9e\x93\x73\x90\xe7\x91\xe3\x93\x63\x8b\xe6",          // 東京都千代田区
};

class Writer {
 public:
  explicit Writer(unsigned seed) : rng_(seed) {}

  std::string Page(std::size_t targetBytes) {
    out_.reserve(targetBytes + 4096);
    out_ +=
        "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">\r\n"
        "<HTML lang=\"ja\">\r\n<HEAD>\r\n"
        "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=Shift_JIS\">\r\n<title>";
    out_ += kPhrases[0];
    out_ +=
        "</title>\r\n<style type=\"text/css\"><!--\r\n  body { margin: 0; }\r\n  .box { width:100%; }\r\n-->"
        "</style>\r\n<script type=\"text/javascript\">\r\nfunction go(n) { if (n > 0) { return n + 1; } }\r\n"
        "</script>\r\n</HEAD>\r\n<BODY bgcolor=\"#FFFFFF\">\r\n";
    while (out_.size() < targetBytes) Section(0);
    out_ += "</BODY>\r\n</HTML>\r\n";
    return std::move(out_);
  }

 private:
  std::size_t Roll(std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng_); }
  std::string_view Phrase() { return kPhrases[Roll(kPhrases.size())]; }
  void Gap() {
    static constexpr std::array<std::string_view, 5> kGaps{"", "", " ", "\r\n", "\t  "};
    out_ += kGaps[Roll(kGaps.size())];
  }

  void Section(int depth) {
    out_ += Roll(4) == 0 ? "<DIV class=\"box\">" : "<div id=\"s" + std::to_string(Roll(1000)) + "\">";
    Gap();
    const std::size_t parts = 2 + Roll(4);
    for (std::size_t i = 0; i < parts; ++i) {
      switch (Roll(depth < 6 ? 8 : 7)) {
        case 0: Table(); break;
        case 1: List(); break;
        case 2: Form(); break;
        case 3: out_ += "<!-- "; out_ += Phrase(); out_ += " -->"; Gap(); break;
        case 4: out_ += "<script type=\"text/javascript\">\r\nvar x = 1;\r\ndocument.write(\"<b>\" + x + \"</b>\");\r\n</script>"; Gap(); break;
        case 5: Paragraph(); break;
        case 6: out_ += "<h2>"; out_ += Phrase(); out_ += "</h2>"; Gap(); break;
        default: Section(depth + 1); break;
      }
    }
    out_ += "</div>";
    Gap();
  }

  void Paragraph() {
    out_ += "<p>";
    out_ += Phrase();
    out_ += "<a href=\"page" + std::to_string(Roll(100)) + ".html\">";
    out_ += Phrase();
    out_ += "</a><span class=\"note\">";
    out_ += Phrase();
    out_ += "</span><br>";
    out_ += Phrase();
    out_ += "</p>";
    Gap();
  }

  void Table() {
    out_ += Roll(2) ? "<TABLE border=\"1\" width=\"100%\">" : "<table>";
    Gap();
    const std::size_t rows = 1 + Roll(4);
    for (std::size_t r = 0; r < rows; ++r) {
      out_ += "<tr>";
      for (std::size_t c = 0; c < 3; ++c) {
        if (Roll(6) == 0) {
          out_ += "<TD></TD>";
        } else {
          out_ += "<td>";
          out_ += Phrase();
          out_ += "</td>";
        }
      }
      out_ += "</tr>";
      Gap();
    }
    out_ += "</table>";
    Gap();
  }

  void List() {
    out_ += "<ul>";
    const std::size_t items = 1 + Roll(5);
    for (std::size_t i = 0; i < items; ++i) {
      out_ += "<li>";
      out_ += Phrase();
      out_ += "</li>";
      Gap();
    }
    out_ += "</ul>";
    Gap();
  }

  void Form() {
    out_ += "<form action=\"/cgi-bin/send.cgi\" method=\"post\"><fieldset><legend>";
    out_ += kPhrases[1];
    out_ += "</legend><input type=\"text\" name=\"q\"><select name=\"s\"><option value=\"1\">";
    out_ += Phrase();
    out_ += "</option><option value=\"2\">";
    out_ += Phrase();
    out_ += "</option></select><button type=\"submit\">OK</button></fieldset></form>";
    Gap();
  }

  std::mt19937 rng_;
  std::string out_;
};

}  // namespace

std::string GeneratePage(std::size_t targetBytes, unsigned seed) { return Writer(seed).Page(targetBytes); }

}  // namespace zelm::bench
