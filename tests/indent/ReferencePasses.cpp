#include "ReferencePasses.h"

#include "text/StringUtil.h"

namespace zelm::test {
namespace {

Rule Before(const std::string& tag) { return {">" + tag, ">\r\n" + tag}; }
Rule After(const std::string& tag) { return {tag + "<", tag + "\r\n<"}; }

std::vector<Rule> BuildBreakRules() {
  std::vector<Rule> r;
  // comments and body
  r.insert(r.end(), {Before("<!--"), After("-->"), Before("<body"), Before("</body>")});
  r.push_back({">\r\n</a>", "></a>"});
  r.insert(r.end(), {Before("<area"), Before("</area>"), After("</area>")});
  r.push_back({"<td></td>", "<td>&nbsp;</td>"});
  r.push_back({"<th></th>", "<th>&nbsp;</th>"});
  r.insert(r.end(), {Before("<button"), Before("<blockquote"), Before("</blockquote"), After("</blockquote>"),
                     Before("<dt"), After("</dt>")});
  r.insert(r.end(), {Before("<form"), Before("</form"), After("</form>"), Before("<fieldset"),
                     Before("</fieldset"), After("</fieldset>")});
  for (char level = '1'; level <= '6'; ++level) {
    const std::string name = std::string("h") + level;
    r.insert(r.end(), {Before("<" + name), Before("</" + name), After("</" + name + ">")});
  }
  r.insert(r.end(), {Before("<head"), After("</head>"), Before("<del"), Before("</del>"), After("</del>"),
                     Before("<dl"), Before("</dl"), After("</dl>"), Before("<ins"), Before("</ins>"),
                     After("</ins>"), Before("<input"), Before("<li"), After("</li>")});
  r.insert(r.end(), {Before("<map"), Before("</map>"), After("</map>"), Before("<object"), Before("</object"),
                     After("</object>"), Before("<ol"), Before("</ol"), After("</ol>"), Before("<option"),
                     Before("</option"), After("</option>"), Before("<param"), Before("<pre"), Before("</pre"),
                     After("</pre>")});
  r.push_back(Before("<td>"));
  r.push_back({"</td></tr>", "</td>\r\n</tr>"});
  r.push_back({"</tr><tr>", "</tr>\r\n<tr>"});
  r.insert(r.end(), {Before("<select"), Before("</select"), After("</select>"), Before("<thead>"),
                     Before("</thead>"), Before("<tbody>"), Before("</tbody>"), Before("<tfoot>"),
                     Before("</tfoot>"), Before("<ul"), Before("</ul"), After("</ul>"), Before("<label")});
  r.insert(r.end(), {Before("<script"), Before("</script>"), After("<noscript>"), Before("<noscript"),
                     Before("</noscript>"), After("</noscript>"), Before("</script"), After("</script>")});
  r.insert(r.end(), {Before("<table"), After("<table>"), Before("</table>"), After("</table>"), Before("<tr"),
                     After("<tr>"), Before("</tr"), After("</tr>"), Before("<th"), After("</th>"), Before("<td"),
                     After("</td>")});
  for (const char* name : {"header", "footer", "section", "nav", "article", "aside", "hgroup", "figure"}) {
    const std::string n = name;
    r.insert(r.end(), {Before("<" + n), Before("</" + n), After("</" + n + ">")});
  }
  r.insert(r.end(), {Before("<figcaption"), After("</figcaption>"), Before("<main"), Before("</main"),
                     After("</main>")});
  const std::string div = "</div>";
  for (int run = 4; run >= 2; --run) {
    std::string from, to;
    for (int i = 0; i < run; ++i) {
      from += div;
      to += div + "\r\n";
    }
    r.push_back({from, to});
  }
  r.insert(r.end(), {Before("<div"), Before("</div"), After("</div>")});
  return r;
}

std::string ApplyAll(std::string text, const std::vector<Rule>& rules) {
  for (const auto& [from, to] : rules) text = ReplaceAllText(text, from, to);
  return text;
}

// `before`, k spaces, `after`.
std::string Around(std::string_view before, int k, std::string_view after) {
  std::string s(before);
  s.append(static_cast<std::size_t>(k), ' ');
  s += after;
  return s;
}

std::string FoldGaps(std::string text, int maxSpaces) {
  for (int k = maxSpaces; k >= 1; --k) text = ReplaceAllText(text, Around(">", k, "<"), "><");
  return text;
}

}  // namespace

const std::vector<Rule>& ReferenceBreakRules() {
  static const std::vector<Rule> rules = BuildBreakRules();
  return rules;
}

std::string ReferencePreBreakLines(std::string_view input) {
  std::string text = ReplaceAllText(input, "\t", " ");
  for (int k = 11; k >= 0; --k) text = ReplaceAllText(text, Around("\r\n", k, ">"), ">");
  text = FoldGaps(text, 36);
  return ApplyAll(text, ReferenceBreakRules());
}

std::string ReferenceLightBreakLines(std::string_view input) {
  std::string text = FoldGaps(ReplaceAllText(input, "\t", " "), 24);
  return ApplyAll(text, {Before("<!--"), After("-->")});
}

const std::vector<std::string>& ReferenceTagNames() {
  static const std::vector<std::string> names{
      "ABBR",     "ACRONYM",  "ADDRESS", "APPLET",     "AREA",   "A ",      "BASEFONT", "BASE",    "BOD",
      "BIG",      "BLOCKQUOTE", "BODY",  "BR",         "BUTTON", "B",       "CAPTION",  "CENTER",  "CITE",
      "CODE",     "COLGROUP", "COL",     "DD",         "DEL",    "DFN",     "DIR",      "DIV",     "DL",
      "DT",       "EM",       "FIELDSET", "FONT",      "FORM",   "FRAMESET", "FRAME",   "H1",      "H2",
      "H3",       "H4",       "H5",      "H6",         "HEAD",   "HR",      "HTML",     "IFRAME",  "IMG",
      "INPUT",    "INS",      "ISINDEX", "I",          "KBD",    "LABEL",   "LAYER",    "LEGEND",  "LINK",
      "LI",       "MAP",      "MENU",    "META",       "NOBR",   "NOFRAMES", "NOSCRIPT", "OBJECT", "OL",
      "OPTGROUP", "OPTION",   "PARAM",   "PRE",        "P",      "Q",       "SAMP",     "SCRIPT",  "SELECT",
      "SMALL",    "SPAN",     "STRIKE",  "STRONG",     "STYLE",  "SUB",     "SUP",      "TABLE",   "TBODY",
      "TD",       "TEXTAREA", "TFOOT",   "TH",         "THEAD",  "TITLE",   "TR",       "TT",      "UL",
      "U",        "VAR"};
  return names;
}

std::string ReferenceNormalizeTagCase(std::string_view input) {
  const auto lines = SplitLines(input);
  if (lines.empty()) return std::string(input);
  std::vector<std::string> kept;
  for (std::string_view line : lines) {
    std::string widened = ReplaceAllText(line, "\t", "  ");
    if (!PlainTrim(widened).empty()) kept.push_back(widened);
  }
  std::string text = JoinLines(kept);

  std::vector<std::string> patterns;
  for (const std::string& name : ReferenceTagNames()) patterns.push_back("<" + name);
  patterns.push_back("<WBR>");
  for (const std::string& name : ReferenceTagNames()) {
    if (name == "A ") patterns.push_back("</A");
    else if (name == "NOBR") patterns.push_back("</NOBR>");
    else patterns.push_back("</" + name);
  }
  patterns.push_back("@IMPORT");
  patterns.push_back(" URL(");
  for (const char* name : {"WIDTH", "HREF", "SRC", "HEIGHT", "BGCOLOR", "BACKGROUND", "COLOR", "CELLSPACING",
                           "CELLPADDING", "NAME", "TYPE", "ID", "CLASS", "HREF", "VALIGN", "ALIGN", "VALUE", "SIZE",
                           "TITLE", "BORDER", "ROWS", "COLS", "ROWSPAN", "COLSPAN"})
    patterns.push_back(std::string(" ") + name + "=");
  for (const char* value : {"TOP", "MIDDLE", "BOTTOM", "CENTER", "LEFT", "RIGHT", "BORDER"})
    patterns.push_back(std::string("\"") + value + "\"");
  for (const char* name : {" FRAMEBORDER=", " FRAMESPACING=", " SCROLLING=", " NORESIZE", " MARGINWIDTH=",
                           " MARGINHEIGHT=", " LEFTMARGIN=", " TOPMARGIN="})
    patterns.push_back(name);

  for (const std::string& pattern : patterns) text = ReplaceAllText(text, pattern, SjisLowerCase(pattern));
  return ReplaceAllText(text, "<td></td>", "<td>&nbsp;</td>");
}

std::string ReferenceRewriteCharsetDecl(std::string_view input, int target) {
  std::string text(input);
  auto first = [&](const std::string& from, const std::string& to) { text = ReplaceFirstExact(text, from, to); };
  switch (target) {
    case 0: {
      const char* spellings[] = {"shift_jis", "s_jis", "sjis",  "s-jis",     "xjis",  "x-jis",
                                 "SHIFT_JIS", "shift-jis", "SHIFT-JIS", "S-JIS", "X-JIS", "shift-jis",
                                 "UTF-8",     "utf-8", "EUC-JP", "euc-jp",    "ISO-2022-JP", "iso-2022-jp"};
      for (const char* quote : {"\"", "'"})
        for (int round = 0; round < 2; ++round)
          for (const char* spelling : spellings)
            first(std::string("charset=") + spelling + quote, std::string("charset=Shift_JIS") + quote);
      first(" encoding=\"UTF-8\"", " encoding=\"Shift_JIS\"");
      first(" encoding=\"utf-8\"", " encoding=\"Shift_JIS\"");
      first(" charset=\"UTF-8\"", " charset=\"Shift_JIS\"");
      first(" charset=\"utf-8\"", " charset=\"Shift_JIS\"");
      return text;
    }
    case 1: return ReplaceAllText(text, " charset=Shift_JIS\"", " charset=euc-jp\"");
    case 2:
      first("charset=Shift_JIS\"", "charset=UTF-8\"");
      first("encoding=\"Shift_JIS\"?>", "encoding=\"utf-8\"?>");
      first("encoding=\"Shift_JIS'?>", "encoding=\"utf-8'?>");
      first("\"Shift_JIS\"", "\"UTF-8\"");
      first("\"shift_jis\"", "\"UTF-8\"");
      first("'Shift_JIS'", "\"UTF-8\"");
      first("'Shift_JIS'", "\"UTF-8\"");
      return text;
    case 4: return ReplaceAllText(text, "Shift_JIS\"", "iso-2022-jp\"");
    case 5: return ReplaceAllText(text, "Shift_JIS\"", "utf-8\"");
    default: return text;
  }
}

}  // namespace zelm::test
