// The tools of the window: the structure checks (element counts, misplaced
// level tags, the div skeleton and its summary), the entity conversion of
// Local, the removal of leading blanks from a selection, the CSS colour
// list, the detached source windows and the default folder of the settings
// menu. The checks and conversions are the engine's; this file moves their
// results into the lists and panes.
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QTabWidget>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

#include "app/AnalysisTexts.h"
#include "app/Settings.h"
#include "app/gui/BusyCursor.h"
#include "app/gui/ColourList.h"
#include "app/gui/MainWindow.h"
#include "app/gui/PaneText.h"
#include "app/gui/SjisText.h"
#include "app/gui/SourceWindows.h"
#include "app/gui/TagCountList.h"
#include "app/gui/ToolTexts.h"
#include "encoding/CharacterReferences.h"
#include "indent/StructureReport.h"
#include "text/CssColours.h"
#include "text/HtmlEntities.h"
#include "text/StringUtil.h"

namespace zelm::gui {
namespace {

QString U(const char* text) { return QString::fromUtf8(text); }

// Where a line of `text` that starts at `at` ends, its line break included.
std::size_t NextLineStart(std::string_view text, std::size_t at) {
  const std::size_t brk = text.find_first_of("\r\n", at);
  if (brk == std::string_view::npos) return text.size();
  return brk + (text.compare(brk, 2, "\r\n") == 0 ? 2 : 1);
}

// The blanks a removal took from the starts of lines: `after` is `before`
// with some bytes gone from the start of its lines and nothing else
// changed. Each cut is a byte offset into `before` and a length.
struct LineCut {
  std::size_t offset = 0;
  std::size_t length = 0;
};
std::vector<LineCut> RemovedLineStarts(std::string_view before, std::string_view after) {
  std::vector<LineCut> cuts;
  std::size_t b = 0, a = 0;
  while (b < before.size()) {
    const std::size_t bEnd = NextLineStart(before, b);
    const std::size_t aEnd = NextLineStart(after, std::min(a, after.size()));
    const std::size_t kept = aEnd - std::min(a, after.size());
    if (bEnd - b > kept) cuts.push_back({b, bEnd - b - kept});
    b = bEnd;
    a = aEnd;
  }
  return cuts;
}

// The 1-based line of a 1-based byte position.
int LineOfBytePosition(std::string_view text, std::size_t position) {
  const std::size_t end = std::min(position == 0 ? 0 : position - 1, text.size());
  return 1 + static_cast<int>(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(end), '\n'));
}

}  // namespace

// ---- Structure checks -----------------------------------------------------------------

void TAMainForm::ShowElementCounts(PaneId source, QListWidget* list, QWidget* page) {
  const std::string text = PaneText(pane(source));
  if (text.empty()) return;
  std::vector<ElementCount> counts;
  std::vector<std::string> rows;
  if (!RunBusy([&] {
        counts = CountLevelElements(text);
        rows = RenderElementCounts(counts, WindowStructureLabels(), CountLayout::TabStops);
      }))
    return;
  FillTagCountList(*list, rows, counts);
  PGMain->setCurrentWidget(PGMainTab01IndentProcessing);
  QTabWidget* tabs = PGZ1PGMainTab01Right->indexOf(page) >= 0 ? PGZ1PGMainTab01Right : PGZ0PGMainTab01Left;
  tabs->setCurrentWidget(page);
}

void TAMainForm::MenuToolCountBlockTagOriginalClick() {
  StatusbarClearSaveMessage();
  ShowElementCounts(PaneId::Org, ListBoxTagCountListRight, PGZ1PGMainTab01RightTab08TagCount);
}

void TAMainForm::MenuToolCountTagClick() {
  StatusbarClearSaveMessage();
  ShowElementCounts(PaneId::Local, ListBoxTagCountListLeft, PGZ0PGMainTab01LeftTab06TagCntList);
}

// Both lists: the original on the right, the text being worked on on the
// left, so that the two can be compared.
void TAMainForm::btTestOnlyClick() {
  StatusbarClearSaveMessage();
  ShowElementCounts(PaneId::Org, ListBoxTagCountListRight, PGZ1PGMainTab01RightTab08TagCount);
  ShowElementCounts(PaneId::Local, ListBoxTagCountListLeft, PGZ0PGMainTab01LeftTab06TagCntList);
}

void TAMainForm::ShowCheckList(const std::function<std::vector<std::string>(const std::string&, bool)>& check) {
  StatusbarClearSaveMessage();
  const std::string text = PaneText(pane(PaneId::Local));
  if (text.empty()) return;
  const bool ignoreComments = CheckBoxIgnoreExtraComment->isChecked();
  std::string list;
  if (!RunBusy([&] { list = JoinLines(check(text, ignoreComments)); })) return;
  hitList(PaneId::Temp)->clear();
  PGMain->setCurrentWidget(PGMainTab01IndentProcessing);
  ShowPanePage(PaneId::Temp);
  ShowInPane(PaneId::Temp, std::move(list));
}

void TAMainForm::MenuToolTagLevelCountClick() {
  ShowCheckList([](const std::string& text, bool ignoreComments) {
    return RenderLineList(MisplacedLevelTagLines(text, ignoreComments), WindowStructureLabels().noMisplacedLines);
  });
}

void TAMainForm::MenuToolTagLevelListExceptDivClick() {
  ShowCheckList([](const std::string& text, bool ignoreComments) {
    return RenderLineList(LevelTagLinesExceptDivClose(text, ignoreComments), WindowStructureLabels().noLevelLines);
  });
}

void TAMainForm::MenuToolMakeSkeltonClick() {
  ShowCheckList([](const std::string& text, bool) {
    return RenderDivSkeleton(BuildDivSkeleton(text), WindowStructureLabels());
  });
}

void TAMainForm::tbMakeSkeltonClick() { MenuToolMakeSkeltonClick(); }

void TAMainForm::MenuToolMakeSkeltonDetailClick() {
  ShowCheckList([](const std::string& text, bool) {
    const DivSkeleton skeleton = BuildDivSkeleton(text);
    return RenderDivSummary(skeleton, SummarizeDivs(skeleton), WindowStructureLabels());
  });
}

// ---- Entities -------------------------------------------------------------------------------

void TAMainForm::ConvertLocal(const std::function<std::string(const std::string&)>& convert) {
  StatusbarClearSaveMessage();
  const std::string text = PaneText(pane(PaneId::Local));
  if (text.empty()) return;
  std::string converted;
  if (!RunBusy([&] { converted = convert(text); })) return;
  BusyCursor busy;
  PGMain->setCurrentWidget(PGMainTab01IndentProcessing);
  ShowPanePage(PaneId::Local);
  ShowInPane(PaneId::Local, std::move(converted));
}

void TAMainForm::MenuToolConvertAllChar2EntityClick() {
  ConversionLoss kept;
  ConvertLocal([&](const std::string& text) {
    ReferenceConversion converted = ConvertAllToCharacterReferences(text);
    kept = converted.keptAsIs;
    return std::move(converted.text);
  });
  if (kept.any()) {
    const int line = LineOfBytePosition(PaneText(pane(PaneId::Local)), kept.firstPos);
    StatusBarGlobal[1]->setText(texts::KeptAsIsMessage(static_cast<int>(kept.count), line));
  }
}

void TAMainForm::MenuToolConvertSpelChar2EntityClick() {
  ConvertLocal([](const std::string& text) { return EscapeHtmlSpecialChars(text); });
}

// ---- Leading blanks of a selection -------------------------------------------------------------

// Only the blanks go: they are deleted from the pane where they stand, in one
// step the pane's undo takes back, so that the rest of the pane keeps its
// text, its colours and its view, and every other byte of the selection
// stays as it was.
void TAMainForm::RemoveLeadingBlanksOfSelection(std::string (*remove)(std::string_view)) {
  StatusbarClearSaveMessage();
  if (!CurrentPane) return;
  Pane& target = *CurrentPane;
  target.EnsureFilled();
  const int start = target.SelStart();
  const int length = target.SelLength();
  if (length <= 0) return;
  const std::size_t from = target.ByteOfChar(start);
  const std::size_t to = target.ByteOfChar(start + length);
  const std::string_view selected = std::string_view(target.SjisText()).substr(from, to - from);
  // Character stretches of the cuts, found before the first edit moves them.
  std::vector<std::pair<int, int>> stretches;
  for (const LineCut& cut : RemovedLineStarts(selected, remove(selected))) {
    const int first = target.CharOfByte(from + cut.offset);
    stretches.emplace_back(first, target.CharOfByte(from + cut.offset + cut.length) - first);
  }
  int removed = 0;
  if (!stretches.empty()) {
    QTextCursor cursor(target.document());
    cursor.beginEditBlock();
    for (auto it = stretches.rbegin(); it != stretches.rend(); ++it) {
      cursor.setPosition(it->first);
      cursor.setPosition(it->first + it->second, QTextCursor::KeepAnchor);
      cursor.removeSelectedText();
      removed += it->second;
    }
    cursor.endEditBlock();
  }
  target.Select(start, length - removed);
  target.setFocus();
}

void TAMainForm::MenuToolRemoveLeadingSpaceClick() { RemoveLeadingBlanksOfSelection(&RemoveLeadingHalfWidthBlanks); }

void TAMainForm::MenuToolRemveZSPClick() { RemoveLeadingBlanksOfSelection(&RemoveLeadingFullWidthSpaces); }

// ---- CSS colours -------------------------------------------------------------------------------

void TAMainForm::FillCssColourList() {
  const std::string& text = PaneText(pane(PaneId::Local));
  std::vector<CssColour> colours = ListCssColours(text);
  if (CheckBoxLocalIndivlCSSColorDupIgnore->isChecked()) colours = UniqueSortedColours(std::move(colours));
  FillColourList(*ListBoxCSSColor, colours, text);
  if (colours.empty() && !text.empty()) StatusBarGlobal[1]->setText(U(texts::kNoCssColours));
}

void TAMainForm::tbMakecssColorListClick() {
  StatusbarClearSaveMessage();
  BusyCursor busy;
  FillCssColourList();
  PGMain->setCurrentWidget(PGMainTab01IndentProcessing);
  ShowPanePage(PaneId::Local);
}

void TAMainForm::CheckBoxLocalIndivlCSSColorDupIgnoreClick() {
  // A list already made is made again in the new order.
  if (ListBoxCSSColor->count() == 0) return;
  BusyCursor busy;
  FillCssColourList();
}

// The colour is searched for in Local as the keyword search does (every
// occurrence marked and listed beside the pane); then the place the entry
// stands for is selected and scrolled to the top.
void TAMainForm::ListBoxCSSColorClick() {
  QListWidgetItem* item = ListBoxCSSColor->currentItem();
  if (!item) return;
  Pane& local = pane(PaneId::Local);
  if (PaneIsEmpty(local)) return;
  const std::string word = QStringToSjis(item->text());
  PGMain->setCurrentWidget(PGMainTab01IndentProcessing);
  ShowPanePage(PaneId::Local);
  CurrentPane = &local;
  {
    BusyCursor busy;
    const bool black = CheckBoxSearchBeforeBlack->isChecked();
    if (black) TextBlackColor(local);
    RichEditSearchList(local, {word}, !black, *hitList(PaneId::Local));
  }
  const ColourPlace place = PlaceOf(*item);
  const std::string& text = PaneText(local);
  // The text may have been edited since the list was made: the place is
  // taken only while the colour still stands there.
  if (place.offset + place.length <= text.size() && text.compare(place.offset, place.length, word) == 0) {
    const int start = local.CharOfByte(place.offset);
    const int length = local.CharOfByte(place.offset + place.length) - start;
    const int line = local.LineOfPos(start);
    local.Select(start, length);
    local.SetFirstVisibleLine(line);
    LabelCommonLineNumber->setText(QString::fromLatin1(HitEntry(line + 1, start - local.LineStart(line) + 1)));
  }
  ListBoxCSSColor->setFocus();
}

// ---- Source windows ------------------------------------------------------------------------------

void TAMainForm::OpenSourceWindow(bool withSearch, std::string text) {
  SourceWindowContext context;
  context.asker = &asker();
  context.settingsFile = [this] { return ToLocalPath(SettingsFileName); };
  context.colour = [this] { return !CheckBoxDontSyntaxHighlight->isChecked(); };
  context.blackBeforeSearch = [this] { return CheckBoxSearchBeforeBlack->isChecked(); };
  const QString fileName = FromLocalPath(BtnEditLocalFile);
  BusyCursor busy;
  if (withSearch) {
    if (!FormSOTSource) FormSOTSource = new TFormSOTSource(std::move(context), this);
    // The keyword box starts with the main window's keywords.
    if (FormSOTSource->ComboBoxSOTFind->currentText().isEmpty())
      FormSOTSource->ComboBoxSOTFind->setEditText(ComboBoxFindSrc->currentText());
    FormSOTSource->ShowSource(std::move(text), fileName);
    return;
  }
  if (!FormSource) {
    FormSource = new TFormSource(std::move(context), this);
    connect(FormSource, &TFormSource::OpenSearchWindow, this,
            [this] { OpenSourceWindow(true, PaneText(*FormSource->RichEditSource)); });
  }
  FormSource->ShowSource(std::move(text), fileName);
}

void TAMainForm::tbNewWindowClick() {
  StatusbarClearSaveMessage();
  std::string result = PaneText(pane(PaneId::Result));
  if (result.empty()) return;
  OpenSourceWindow(false, std::move(result));
}

// ---- Default folder ---------------------------------------------------------------------------------

void TAMainForm::WriteDefaultFolder(const QString& folder) {
  const SettingsWriteResult written =
      SaveSettingsKey(ToLocalPath(SettingsFileName), "Folder", "Default", std::string_view(folder.toStdString()));
  if (!written.ok) {
    asker().Tell(texts::CannotWriteSettingsMessage(FromLocalPath(written.path), QString::fromStdString(written.why)));
  }
}

void TAMainForm::MenuSettingsSetDefautFolderClick() {
  StatusbarClearSaveMessage();
  QString start = DefaultFolder.isEmpty() ? DialogFolder() : DefaultFolder;
  if (start.isEmpty()) start = QDir::homePath();
  const QString chosen = asker().FolderName(start);
  if (chosen.isEmpty()) return;
  DefaultFolder = QDir::cleanPath(chosen);
  StatusBarGlobal[3]->setText(DefaultFolder);
  WriteDefaultFolder(DefaultFolder);
}

void TAMainForm::MenuSettingsRemoveDefaultFolderClick() {
  StatusbarClearSaveMessage();
  DefaultFolder.clear();
  StatusBarGlobal[3]->clear();
  // Nothing to take out of a settings file that does not exist.
  if (FileExists(ToLocalPath(SettingsFileName))) WriteDefaultFolder(QString());
}

void TAMainForm::MenuSettingsViewDefaultFolderClick() {
  StatusBarGlobal[3]->setText(DefaultFolder);
  asker().Tell(texts::DefaultFolderMessage(DefaultFolder));
}

}  // namespace zelm::gui
