// The line-numbered text pane of the main window: a plain-text editor with
// a gutter of line numbers on its left, a settable tab width, text in and
// out as Shift_JIS with CR LF, and the HTML colouring laid over its lines.
//
// Large pages stay responsive because the pane does its expensive work late,
// once, and beside the user-interface thread where it can:
// - SetSjisText keeps the bytes. A shown pane converts them to Unicode on a
//   worker thread and fills the editor at the next turn of the event loop; a
//   hidden one (on a tab not in front) is filled when it is first shown, or
//   when an operation needs the editor.
// - Colour computes the runs of colour once per text (a second call on the
//   same, unedited text does nothing), on a worker thread while the editor
//   is filled, and lays them over a line only when the line is about to be
//   shown; a line keeps its formatting until the colouring or the marks
//   change.
// - Edits move the runs and marks with the text, as a rich-edit control's
//   formatting moves, and the edited lines are formatted again at once.
//
// Use the pane's own functions for its text, caret and view: they fill the
// editor when they need it. Before using the editor's inherited functions
// (document(), textCursor(), toPlainText()) call EnsureFilled().
//
// Lines are the text's lines (the editor's blocks), counted from 0 in the
// functions and from 1 in the gutter. With word wrap on, a wrapped line
// keeps one number; positions are characters counted from 0, a line break
// being one character.
#pragma once

#include <QColor>
#include <QPlainTextEdit>
#include <QTextCharFormat>
#include <QTextLayout>

#include <cstddef>
#include <cstdint>
#include <future>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/gui/PaneColouring.h"
#include "app/gui/PaneText.h"
#include "encoding/Converted.h"

namespace zelm::gui {

class GutterArea;

// The pane font: "MS UI Gothic" at 13 points. Qt has no character-set
// property: a font that has the Japanese characters is chosen by name, and
// InstallJapaneseFontSubstitutes makes the Windows names find one.
QFont PaneFont();
inline constexpr const char* kPaneFontFamily = "MS UI Gothic";
inline constexpr int kPaneFontPointSize = 13;

// "MS UI Gothic" and "ＭＳ Ｐゴシック" do not exist outside Windows: maps them
// (and "MS Gothic", "ＭＳ ゴシック", "MS PGothic") to the installed IPA Gothic
// fonts, so that Japanese text never shows as boxes. Safe to call more than
// once; every pane calls it.
void InstallJapaneseFontSubstitutes();

// One number the gutter draws: its text and the top of its line in the
// gutter's coordinates.
struct GutterLabel {
  int y = 0;
  QString text;
};

class RichEditEx : public QPlainTextEdit {
  Q_OBJECT

 public:
  explicit RichEditEx(QWidget* parent = nullptr);
  ~RichEditEx() override;

  // --- Properties -----------------------------------------------------------

  // The tab width in characters (default 2).
  int TabSize() const { return tabSize_; }
  void SetTabSize(int size);
  // Whether the gutter shows line numbers (default on for panes; the
  // control's own default is off).
  bool LineNumbers() const { return lineNumbers_; }
  void SetLineNumbers(bool on);
  QColor GutterColor() const { return gutterColor_; }
  void SetGutterColor(const QColor& color);
  QColor GutterTextColor() const { return gutterTextColor_; }
  void SetGutterTextColor(const QColor& color);

  // --- Gutter ---------------------------------------------------------------

  // Four widths of "8" plus 8 pixels (wider when the text has more than
  // 9999 lines) with line numbers on, else 0.
  int CalcGutterWidth() const;
  // The current gutter width in pixels.
  int GutterWidth() const { return gutterWidth_; }
  // Resizes the gutter and moves the text area beside it.
  void UpdateGutter();
  // Draws the gutter (called by the gutter's paint event).
  void PaintGutter(QPaintEvent* event);
  // The numbers the gutter shows now, top to bottom: each padded with blanks
  // to 5 characters.
  std::vector<GutterLabel> GutterLabels() const;
  // Sets the tab stops from TabSize and the font.
  void ApplyTabStops();

  // --- Text -----------------------------------------------------------------

  // Replaces the text. The pane is plain afterwards (no colours, no marks)
  // and its caret at the start.
  void SetSjisText(std::string text);
  // The text as Shift_JIS with CR LF: the bytes given to SetSjisText as long
  // as nobody edited the pane.
  const std::string& SjisText() const;
  // The same with what converting the edited text lost (characters typed
  // into the pane that have no Shift_JIS form became "?").
  Converted SjisTextWithLoss() const;
  // The map between byte positions of SjisText() and character positions.
  const PositionMap& Positions() const;
  bool IsEmpty() const;
  // Empties the pane: plain, no text, the pane font (RichEditExReNew).
  void Renew();
  // Whether the editor holds the text yet (it is filled when first shown).
  bool IsFilled() const { return filled_; }
  // Fills the editor now if it is not yet.
  void EnsureFilled();

  // --- Colouring and marks --------------------------------------------------

  // Colours the text with the HTML colouring, unless it is coloured already
  // and unchanged since; then nothing happens. Returns whether it coloured.
  bool Colour();
  // Whether the colouring shown is that of the current text.
  bool IsColoured() const;
  // Black text without bold over the whole text; marks removed
  // (TextBlackColor).
  void MakeBlack();
  // Lays `format` over `length` characters at `start`; marks last until the
  // text is set, coloured or made black again.
  void AddMark(int start, int length, const QTextCharFormat& format);
  // The same for many stretches at once (ascending, not overlapping).
  void AddMarks(const std::vector<std::pair<int, int>>& stretches, const QTextCharFormat& format);
  void ClearMarks();
  // The colour runs now laid over the text (for tests and tools).
  const ColourRuns& Runs() const { return runs_; }
  // The formats a line gets: colour runs, then marks, in the line's own
  // positions.
  QList<QTextLayout::FormatRange> FormatsOfLine(int line) const;

  // --- Caret, selection and view --------------------------------------------

  int CaretPos() const;
  void SetCaretPos(int pos);
  int SelStart() const;
  int SelLength() const;
  // Selects `length` characters from `start`; the caret ends at the start,
  // so that the selection's first line is kept in view.
  void Select(int start, int length);
  QString SelectedQText() const;
  int LineCount() const;
  int LineOfPos(int pos) const;
  // The position of the first character of a line.
  int LineStart(int line) const;
  int CaretLine() const { return LineOfPos(CaretPos()); }
  int FirstVisibleLine() const;
  // Scrolls so that `line` is the first visible line, as far as the text
  // reaches.
  void SetFirstVisibleLine(int line);
  // Scrolls the view by a signed number of lines.
  void ScrollLines(int lines);
  void ScrollCaretIntoView();
  // The character position of a byte position of SjisText() and back.
  int CharOfByte(std::size_t byte) const;
  std::size_t ByteOfChar(int ch) const;

  // --- Layout ---------------------------------------------------------------

  // Margins left and right of the text in pixels; -1 keeps a side as it is.
  // The text starts right of the gutter, or at the left margin when that is
  // wider.
  void SetMargins(int left, int right);
  int LeftMargin() const { return leftMargin_; }
  int RightMargin() const { return rightMargin_; }
  void SetWordWrap(bool on);
  bool WordWrap() const { return lineWrapMode() != QPlainTextEdit::NoWrap; }

 signals:
  // The user clicked into the pane (the window records the clicked pane).
  void Clicked(zelm::gui::RichEditEx* pane);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  bool event(QEvent* event) override;
  bool viewportEvent(QEvent* event) override;

 private:
  void OnContentsChange(int from, int removed, int added);
  QList<QTextLayout::FormatRange> FormatsOfBlock(const QTextBlock& block) const;
  // Lays the current formats over a line; false when it has none and had none.
  bool FormatLine(QTextBlock block);
  void FormatVisibleLines();
  void InvalidateFormats();
  void MarksApplyEdit(std::size_t from, std::size_t removed, std::size_t added);
  void ApplyPendingView();
  void ColourNow();
  void InstallRuns(ColourRuns runs);
  void StartPreparing();
  void StartColouring();

  // Properties.
  int tabSize_ = 2;
  bool lineNumbers_ = false;
  QColor gutterColor_;
  QColor gutterTextColor_ = Qt::black;
  int gutterWidth_ = 2;
  int leftMargin_ = 0;
  int rightMargin_ = 0;
  GutterArea* gutter_ = nullptr;

  // The text. sjis_ and map_ are the text's bytes and positions; after an
  // edit they are made again from the editor when first asked for. The bytes
  // are shared with the worker threads that prepare the editor's text and
  // the colours.
  mutable std::shared_ptr<const std::string> sjis_ = std::make_shared<const std::string>();
  mutable PositionMap map_;
  mutable bool sjisCurrent_ = true;
  mutable bool mapCurrent_ = true;
  mutable ConversionLoss lastLoss_;
  // Characters whose bytes are not the ones conversion writes for them.
  std::vector<KeptBytes> keptBytes_;
  bool filled_ = true;
  bool filling_ = false;
  std::future<WideText> wideJob_;   // the text in Unicode, for filling
  std::future<ColourRuns> runsJob_; // the colours of the text of runsJobRevision_
  std::uint64_t runsJobRevision_ = 0;
  // Counts every change of the text, set or edited.
  std::uint64_t textRevision_ = 0;
  // What the editor does once it is filled.
  int pendingCaret_ = -1;
  int pendingFirstLine_ = -1;
  mutable int pendingLineCount_ = -1;

  // Colouring: asked for the text of colourRevision_, runs_ made from the
  // text of runsRevision_ (and moved along with the edits since).
  bool wantColour_ = false;
  std::uint64_t colourRevision_ = ~std::uint64_t{0};
  std::uint64_t runsRevision_ = ~std::uint64_t{0};
  ColourRuns runs_;
  std::vector<QTextCharFormat> styleFormats_;  // one per palette entry of runs_; empty format for plain black
  struct MarkLayer {
    QTextCharFormat format;
    std::vector<std::uint32_t> starts;   // ascending
    std::vector<std::uint32_t> lengths;  // the stretches do not overlap
  };
  std::vector<MarkLayer> marks_;
  // Lines whose user state holds this number carry the current formats.
  int formatGeneration_ = 1;
};

}  // namespace zelm::gui
