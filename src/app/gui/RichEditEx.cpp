#include "app/gui/RichEditEx.h"

#include <QAbstractTextDocumentLayout>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>
#include <exception>
#include <mutex>

#include "colour/zhnRichSyntax.h"
#include "text/StringUtil.h"

namespace zelm::gui {

// --- Fonts ------------------------------------------------------------------

void InstallJapaneseFontSubstitutes() {
  static std::once_flag once;
  std::call_once(once, [] {
    // Fixed-pitch faces for the Windows fixed-pitch names, proportional ones
    // for the "P" names; each list goes on to other Japanese faces in case
    // IPA Gothic is missing.
    const QStringList fixed = {"IPAGothic", "IPAexGothic", "Noto Sans Mono CJK JP", "Noto Sans CJK JP",
                               "VL Gothic", "TakaoGothic"};
    const QStringList proportional = {"IPAPGothic", "IPAexGothic", "Noto Sans CJK JP", "VL PGothic",
                                      "TakaoPGothic", "IPAGothic"};
    for (const QString& name : {QStringLiteral("MS UI Gothic"), QStringLiteral("MS Gothic"),
                                 QStringLiteral("ＭＳ ゴシック")})
      QFont::insertSubstitutions(name, fixed);
    for (const QString& name : {QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic")})
      QFont::insertSubstitutions(name, proportional);
  });
}

QFont PaneFont() {
  InstallJapaneseFontSubstitutes();
  QFont font(QString::fromLatin1(kPaneFontFamily), kPaneFontPointSize);
  font.setStyleHint(QFont::TypeWriter);
  return font;
}

// --- The gutter -------------------------------------------------------------

class GutterArea final : public QWidget {
 public:
  explicit GutterArea(RichEditEx* pane) : QWidget(pane), pane_(pane) {}

 protected:
  void paintEvent(QPaintEvent* event) override { pane_->PaintGutter(event); }
  void mousePressEvent(QMouseEvent* event) override {
    emit pane_->Clicked(pane_);
    QWidget::mousePressEvent(event);
  }

 private:
  RichEditEx* pane_;
};

namespace {

constexpr int kGutterNumberPointSize = 11;
constexpr int kGutterNumberWidth = 5;

int DecimalDigits(long long n) {
  int digits = 1;
  while (n >= 10) {
    n /= 10;
    ++digits;
  }
  return digits;
}

std::size_t CountLines(std::string_view sjis) {
  // Lines as the editor counts them: one more than the line breaks.
  std::size_t lines = 1;
  for (std::size_t i = 0; i < sjis.size(); ++i) {
    if (sjis[i] == '\n') {
      ++lines;
    } else if (sjis[i] == '\r') {
      ++lines;
      if (i + 1 < sjis.size() && sjis[i + 1] == '\n') ++i;
    }
  }
  return lines;
}

}  // namespace

// --- Construction -----------------------------------------------------------

RichEditEx::RichEditEx(QWidget* parent) : QPlainTextEdit(parent), gutter_(new GutterArea(this)) {
  setFont(PaneFont());
  // The colours of the HTML colouring are made for black text on white,
  // whatever the desktop's theme.
  QPalette colours = palette();
  colours.setColor(QPalette::Base, Qt::white);
  colours.setColor(QPalette::Text, Qt::black);
  setPalette(colours);
  gutterColor_ = palette().color(QPalette::Button);
  setLineWrapMode(QPlainTextEdit::NoWrap);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setTabChangesFocus(false);  // tab keys are text

  connect(this, &QPlainTextEdit::updateRequest, this, [this](const QRect& rect, int dy) {
    if (dy != 0)
      gutter_->scroll(0, dy);
    else
      gutter_->update(0, rect.y(), gutter_->width(), rect.height());
  });
  connect(this, &QPlainTextEdit::blockCountChanged, this, [this](int) {
    if (CalcGutterWidth() != gutterWidth_) UpdateGutter();
  });
  connect(document(), &QTextDocument::contentsChange, this, &RichEditEx::OnContentsChange);
  UpdateGutter();
  ApplyTabStops();
}

RichEditEx::~RichEditEx() = default;

// --- Properties -------------------------------------------------------------

void RichEditEx::SetTabSize(int size) {
  if (size == tabSize_) return;
  tabSize_ = size;
  ApplyTabStops();
}

void RichEditEx::SetLineNumbers(bool on) {
  if (on == lineNumbers_) return;
  lineNumbers_ = on;
  UpdateGutter();
  update();
}

void RichEditEx::SetGutterColor(const QColor& color) {
  if (color == gutterColor_) return;
  gutterColor_ = color;
  gutter_->update();
}

void RichEditEx::SetGutterTextColor(const QColor& color) {
  if (color == gutterTextColor_) return;
  gutterTextColor_ = color;
  gutter_->update();
}

// --- Gutter -----------------------------------------------------------------

int RichEditEx::CalcGutterWidth() const {
  if (!lineNumbers_) return 0;
  // Sized for four digits, and for more when the text has more lines, so
  // that the numbers of a long page are not cut.
  const int digits = std::max(4, DecimalDigits(LineCount()));
  return digits * fontMetrics().horizontalAdvance(QLatin1Char('8')) + 8;
}

void RichEditEx::UpdateGutter() {
  gutterWidth_ = CalcGutterWidth();
  setViewportMargins(std::max(gutterWidth_, leftMargin_), 0, rightMargin_, 0);
  const QRect area = contentsRect();
  gutter_->setGeometry(area.left(), area.top(), gutterWidth_, area.height());
  gutter_->setVisible(gutterWidth_ > 0);
  gutter_->update();
}

std::vector<GutterLabel> RichEditEx::GutterLabels() const {
  std::vector<GutterLabel> labels;
  if (!lineNumbers_ || !filled_) return labels;
  const int height = viewport()->height();
  QTextBlock block = firstVisibleBlock();
  qreal top = blockBoundingGeometry(block).translated(contentOffset()).top();
  while (block.isValid() && top <= height) {
    const qreal blockHeight = blockBoundingRect(block).height();
    if (block.isVisible() && top + blockHeight >= 0) {
      labels.push_back({qRound(top), QString::fromStdString(SpacePadInt(block.blockNumber() + 1, kGutterNumberWidth))});
    }
    top += blockHeight;
    block = block.next();
  }
  return labels;
}

void RichEditEx::PaintGutter(QPaintEvent* event) {
  const int w = gutterWidth_;
  if (w <= 0) return;
  QPainter painter(gutter_);
  const int h = gutter_->height();
  // The two rightmost pixel columns keep the text's background.
  painter.fillRect(QRect(w - 4, 0, 4, h), palette().color(QPalette::Base));
  painter.fillRect(QRect(0, 0, std::max(0, w - 2), h), gutterColor_);
  painter.setPen(palette().color(QPalette::Light));
  painter.drawLine(w - 4, 0, w - 4, h);
  painter.setPen(palette().color(QPalette::Dark));
  painter.drawLine(w - 3, 0, w - 3, h);

  QFont numberFont = font();
  numberFont.setPointSize(kGutterNumberPointSize);
  painter.setFont(numberFont);
  painter.setPen(gutterTextColor_);
  const int lineHeight = fontMetrics().height();
  const int ascentGap = std::max(0, (lineHeight - QFontMetrics(numberFont).height()) / 2);
  for (const GutterLabel& label : GutterLabels()) {
    const QRect line(2, label.y + ascentGap, w - 6, lineHeight);
    if (!line.intersects(event->rect())) continue;
    painter.drawText(line, Qt::AlignLeft | Qt::AlignTop, label.text);
  }
}

void RichEditEx::ApplyTabStops() {
  setTabStopDistance(tabSize_ * QFontMetricsF(font()).horizontalAdvance(QLatin1Char(' ')));
  viewport()->update();
}

// --- Text -------------------------------------------------------------------

void RichEditEx::SetSjisText(std::string text) {
  // A job still at work on the text before is waited for and dropped.
  wideJob_ = {};
  runsJob_ = {};
  sjis_ = std::make_shared<const std::string>(std::move(text));
  sjisCurrent_ = true;
  keptBytes_.clear();
  map_ = PositionMap();
  mapCurrent_ = false;
  lastLoss_ = {};
  ++textRevision_;
  wantColour_ = false;
  runs_ = {};
  runsRevision_ = ~std::uint64_t{0};
  styleFormats_.clear();
  marks_.clear();
  InvalidateFormats();
  pendingCaret_ = 0;
  pendingFirstLine_ = 0;
  pendingLineCount_ = -1;
  filled_ = false;
  if (isVisible()) StartPreparing();
  if (CalcGutterWidth() != gutterWidth_) UpdateGutter();
}

void RichEditEx::StartPreparing() {
  if (filled_ || wideJob_.valid()) return;
  wideJob_ = std::async(std::launch::async, [text = sjis_] { return SjisToWide(*text); });
  // Filled at the next turn of the event loop, before the pane is painted.
  QMetaObject::invokeMethod(this, &RichEditEx::EnsureFilled, Qt::QueuedConnection);
}

void RichEditEx::EnsureFilled() {
  if (filled_ || filling_) return;
  // The colours are made on a worker thread while the editor is filled.
  if (wantColour_ && runsRevision_ != textRevision_) StartColouring();
  WideText wide = wideJob_.valid() ? wideJob_.get() : SjisToWide(*sjis_);
  wideJob_ = {};
  map_ = std::move(wide.map);
  mapCurrent_ = true;
  keptBytes_ = std::move(wide.kept);
  filling_ = true;
  setPlainText(wide.text);
  filling_ = false;
  filled_ = true;
  if (wantColour_ && runsRevision_ != textRevision_) ColourNow();
  ApplyPendingView();
  if (CalcGutterWidth() != gutterWidth_) UpdateGutter();
}

const std::string& RichEditEx::SjisText() const {
  if (!sjisCurrent_) {
    Converted converted = WideToSjis(document()->toRawText(), keptBytes_);
    sjis_ = std::make_shared<const std::string>(std::move(converted.text));
    lastLoss_ = converted.loss;
    sjisCurrent_ = true;
    mapCurrent_ = false;
  }
  return *sjis_;
}

Converted RichEditEx::SjisTextWithLoss() const {
  const std::string& text = SjisText();
  return Converted{text, lastLoss_};
}

const PositionMap& RichEditEx::Positions() const {
  const std::string& text = SjisText();
  if (!mapCurrent_) {
    map_ = PositionMap::Of(text);
    mapCurrent_ = true;
  }
  return map_;
}

bool RichEditEx::IsEmpty() const { return filled_ && !sjisCurrent_ ? document()->isEmpty() : sjis_->empty(); }

void RichEditEx::Renew() {
  SetSjisText({});
  setFont(PaneFont());
  EnsureFilled();
}

// --- Colouring and marks ----------------------------------------------------

bool RichEditEx::Colour() {
  if (IsColoured()) return false;
  wantColour_ = true;
  colourRevision_ = textRevision_;
  if (filled_) {
    ColourNow();
  } else if (wideJob_.valid()) {
    // The editor is being prepared for a shown pane: the colours are
    // prepared beside it and laid over the text once it is in.
    StartColouring();
  }
  return true;
}

void RichEditEx::StartColouring() {
  if (runsJob_.valid() && runsJobRevision_ == textRevision_) return;
  runsJobRevision_ = textRevision_;
  runsJob_ = std::async(std::launch::async, [text = sjis_] { return ColourRunsOf(*text, PositionMap::Of(*text)); });
}

bool RichEditEx::IsColoured() const { return wantColour_ && colourRevision_ == textRevision_; }

void RichEditEx::ColourNow() {
  // A colouring that fails leaves the text as it is, plain: it is never worth
  // more than the text itself.
  ColourRuns runs;
  try {
    if (runsJob_.valid() && runsJobRevision_ == textRevision_) {
      runs = runsJob_.get();
    } else {
      runsJob_ = {};
      runs = ColourRunsOf(SjisText(), Positions());
    }
  } catch (const std::exception&) {
    runs = {};
  }
  runsJob_ = {};
  InstallRuns(std::move(runs));
}

void RichEditEx::InstallRuns(ColourRuns runs) {
  runs_ = std::move(runs);
  runsRevision_ = textRevision_;
  styleFormats_.clear();
  for (const ColourStyle& style : runs_.palette()) {
    QTextCharFormat format;
    if (style.rgb != 0 || style.bold) {
      format.setForeground(QColor(RedOf(style.rgb), GreenOf(style.rgb), BlueOf(style.rgb)));
      if (style.bold) format.setFontWeight(QFont::Bold);
    }
    styleFormats_.push_back(format);
  }
  marks_.clear();
  InvalidateFormats();
}

void RichEditEx::MakeBlack() {
  wantColour_ = false;
  runsJob_ = {};
  runs_ = {};
  runsRevision_ = ~std::uint64_t{0};
  styleFormats_.clear();
  marks_.clear();
  InvalidateFormats();
}

void RichEditEx::AddMark(int start, int length, const QTextCharFormat& format) {
  AddMarks({{start, length}}, format);
}

void RichEditEx::AddMarks(const std::vector<std::pair<int, int>>& stretches, const QTextCharFormat& format) {
  if (stretches.empty()) return;
  auto layer = std::find_if(marks_.begin(), marks_.end(), [&](const MarkLayer& l) { return l.format == format; });
  if (layer == marks_.end()) {
    marks_.push_back(MarkLayer{format, {}, {}});
    layer = marks_.end() - 1;
  }
  std::vector<std::pair<std::uint32_t, std::uint32_t>> all;
  all.reserve(layer->starts.size() + stretches.size());
  for (std::size_t i = 0; i < layer->starts.size(); ++i) all.emplace_back(layer->starts[i], layer->lengths[i]);
  for (const auto& [start, length] : stretches)
    if (start >= 0 && length > 0) all.emplace_back(static_cast<std::uint32_t>(start), static_cast<std::uint32_t>(length));
  std::sort(all.begin(), all.end());
  layer->starts.clear();
  layer->lengths.clear();
  for (const auto& [start, length] : all) {
    if (!layer->starts.empty() && start <= layer->starts.back() + layer->lengths.back()) {
      const std::uint32_t end = std::max(layer->starts.back() + layer->lengths.back(), start + length);
      layer->lengths.back() = end - layer->starts.back();
    } else {
      layer->starts.push_back(start);
      layer->lengths.push_back(length);
    }
  }
  InvalidateFormats();
}

void RichEditEx::ClearMarks() {
  if (marks_.empty()) return;
  marks_.clear();
  InvalidateFormats();
}

void RichEditEx::InvalidateFormats() {
  ++formatGeneration_;
  if (formatGeneration_ <= 0) formatGeneration_ = 1;
  viewport()->update();
}

QList<QTextLayout::FormatRange> RichEditEx::FormatsOfLine(int line) const {
  const_cast<RichEditEx*>(this)->EnsureFilled();
  return FormatsOfBlock(document()->findBlockByNumber(line));
}

QList<QTextLayout::FormatRange> RichEditEx::FormatsOfBlock(const QTextBlock& block) const {
  QList<QTextLayout::FormatRange> formats;
  if (!block.isValid()) return formats;
  const auto pos = static_cast<std::uint32_t>(block.position());
  const auto end = static_cast<std::uint32_t>(block.position() + block.length() - 1);  // without the line break
  if (end <= pos) return formats;

  const auto& starts = runs_.starts();
  const auto& styles = runs_.styles();
  for (std::size_t k = runs_.empty() ? starts.size() : runs_.RunAt(pos); k < starts.size() && starts[k] < end; ++k) {
    const QTextCharFormat& format = styleFormats_[styles[k]];
    if (!format.isValid() || format.properties().isEmpty()) continue;
    const std::uint32_t from = std::max(starts[k], pos);
    const std::uint32_t to = k + 1 < starts.size() ? std::min(starts[k + 1], end) : end;
    if (to > from) formats.append({static_cast<int>(from - pos), static_cast<int>(to - from), format});
  }
  for (const MarkLayer& layer : marks_) {
    auto first = std::upper_bound(layer.starts.begin(), layer.starts.end(), pos);
    std::size_t k = static_cast<std::size_t>(first - layer.starts.begin());
    if (k > 0 && layer.starts[k - 1] + layer.lengths[k - 1] > pos) --k;
    for (; k < layer.starts.size() && layer.starts[k] < end; ++k) {
      const std::uint32_t from = std::max(layer.starts[k], pos);
      const std::uint32_t to = std::min(layer.starts[k] + layer.lengths[k], end);
      if (to > from) formats.append({static_cast<int>(from - pos), static_cast<int>(to - from), layer.format});
    }
  }
  return formats;
}

bool RichEditEx::FormatLine(QTextBlock block) {
  QList<QTextLayout::FormatRange> formats = FormatsOfBlock(block);
  QTextLayout* layout = block.layout();
  block.setUserState(formatGeneration_);
  if (formats.isEmpty() && layout->formats().isEmpty()) return false;
  layout->setFormats(formats);
  return true;
}

void RichEditEx::FormatVisibleLines() {
  if (!filled_) return;
  // The lines that the coming paint shows, found without laying out the
  // ones that are not laid out yet: such a line is one line high until it
  // is, and it is formatted before its layout is made.
  QTextBlock block = firstVisibleBlock();
  qreal top = contentOffset().y();
  const qreal bottom = viewport()->height();
  const qreal lineHeight = fontMetrics().lineSpacing();
  int firstPos = -1, endPos = -1;
  while (block.isValid() && top <= bottom) {
    if (block.isVisible()) {
      if (block.userState() != formatGeneration_ && FormatLine(block)) {
        if (firstPos < 0) firstPos = block.position();
        endPos = block.position() + block.length();
      }
      top += block.layout()->lineCount() > 0 ? blockBoundingRect(block).height() : lineHeight;
    }
    block = block.next();
  }
  // One notice for all of them: the editor lays them out again as it paints.
  if (firstPos >= 0) document()->markContentsDirty(firstPos, endPos - firstPos);
}

void RichEditEx::OnContentsChange(int from, int removed, int added) {
  if (filling_) return;
  ++textRevision_;
  sjisCurrent_ = false;
  mapCurrent_ = false;
  pendingLineCount_ = -1;
  const auto f = static_cast<std::size_t>(from), r = static_cast<std::size_t>(removed),
             a = static_cast<std::size_t>(added);
  runs_.ApplyEdit(f, r, a);
  MarksApplyEdit(f, r, a);
  ApplyEdit(keptBytes_, f, r, a);
  // The lines that hold the change are formatted again at once; lines the
  // change made new are formatted when they are shown.
  QTextDocument* doc = document();
  const QTextBlock first = doc->findBlock(from);
  const QTextBlock last = doc->findBlock(from + added);
  if (first.isValid()) {
    FormatLine(first);
    doc->markContentsDirty(first.position(), first.length());
  }
  if (last.isValid() && last != first) {
    FormatLine(last);
    doc->markContentsDirty(last.position(), last.length());
  }
}

void RichEditEx::MarksApplyEdit(std::size_t from, std::size_t removed, std::size_t added) {
  const std::size_t removedEnd = from + removed;
  for (MarkLayer& layer : marks_) {
    std::size_t kept = 0;
    for (std::size_t i = 0; i < layer.starts.size(); ++i) {
      std::size_t start = layer.starts[i], end = start + layer.lengths[i];
      // Marked text that was removed loses its mark; inserted text gets none.
      auto moved = [&](std::size_t p) { return p <= from ? p : p >= removedEnd ? p + added - removed : from; };
      if (end > from && start < removedEnd) {
        const std::size_t newStart = moved(start), newEnd = start < from ? from : moved(end);
        const std::size_t keepBefore = start < from ? from - start : 0;
        if (end > removedEnd && keepBefore > 0) {
          // Both ends survive around the change: two stretches would be
          // needed; keep the part before it, which is what the caret sat in.
          start = newStart;
          end = from;
        } else {
          start = newStart;
          end = std::max(newStart, newEnd);
        }
      } else {
        start = moved(start);
        end = moved(end);
      }
      if (end <= start) continue;
      layer.starts[kept] = static_cast<std::uint32_t>(start);
      layer.lengths[kept] = static_cast<std::uint32_t>(end - start);
      ++kept;
    }
    layer.starts.resize(kept);
    layer.lengths.resize(kept);
  }
}

// --- Caret, selection and view ----------------------------------------------

int RichEditEx::CaretPos() const {
  if (!filled_) return std::max(pendingCaret_, 0);
  return textCursor().position();
}

void RichEditEx::SetCaretPos(int pos) {
  if (!filled_) {
    pendingCaret_ = pos;
    return;
  }
  QTextCursor cursor = textCursor();
  cursor.setPosition(std::clamp(pos, 0, document()->characterCount() - 1));
  setTextCursor(cursor);
}

int RichEditEx::SelStart() const {
  if (!filled_) return std::max(pendingCaret_, 0);
  return textCursor().selectionStart();
}

int RichEditEx::SelLength() const {
  if (!filled_) return 0;
  const QTextCursor cursor = textCursor();
  return cursor.selectionEnd() - cursor.selectionStart();
}

void RichEditEx::Select(int start, int length) {
  EnsureFilled();
  const int last = document()->characterCount() - 1;
  QTextCursor cursor = textCursor();
  cursor.setPosition(std::clamp(start + length, 0, last));
  cursor.setPosition(std::clamp(start, 0, last), QTextCursor::KeepAnchor);
  setTextCursor(cursor);
}

QString RichEditEx::SelectedQText() const {
  if (!filled_) return {};
  QString text = textCursor().selectedText();
  text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
  return text;
}

int RichEditEx::LineCount() const {
  if (filled_) return document()->blockCount();
  if (pendingLineCount_ < 0) pendingLineCount_ = static_cast<int>(CountLines(*sjis_));
  return pendingLineCount_;
}

int RichEditEx::LineOfPos(int pos) const {
  const_cast<RichEditEx*>(this)->EnsureFilled();
  const QTextBlock block = document()->findBlock(std::clamp(pos, 0, document()->characterCount() - 1));
  return block.isValid() ? block.blockNumber() : 0;
}

int RichEditEx::LineStart(int line) const {
  const_cast<RichEditEx*>(this)->EnsureFilled();
  if (line < 0) return 0;
  const QTextBlock block = document()->findBlockByNumber(line);
  return block.isValid() ? block.position() : document()->characterCount() - 1;
}

int RichEditEx::FirstVisibleLine() const {
  if (!filled_) return std::max(pendingFirstLine_, 0);
  return firstVisibleBlock().blockNumber();
}

void RichEditEx::SetFirstVisibleLine(int line) {
  if (!filled_) {
    pendingFirstLine_ = std::max(line, 0);
    return;
  }
  const QTextBlock block = document()->findBlockByNumber(std::clamp(line, 0, document()->blockCount() - 1));
  verticalScrollBar()->setValue(block.firstLineNumber());
}

void RichEditEx::ScrollLines(int lines) {
  if (!filled_) {
    pendingFirstLine_ = std::max(FirstVisibleLine() + lines, 0);
    return;
  }
  verticalScrollBar()->setValue(verticalScrollBar()->value() + lines);
}

void RichEditEx::ScrollCaretIntoView() {
  if (filled_) ensureCursorVisible();
}

int RichEditEx::CharOfByte(std::size_t byte) const { return static_cast<int>(Positions().CharOfByte(byte)); }

std::size_t RichEditEx::ByteOfChar(int ch) const {
  return Positions().ByteOfChar(static_cast<std::size_t>(std::max(ch, 0)));
}

void RichEditEx::ApplyPendingView() {
  if (pendingCaret_ >= 0) SetCaretPos(pendingCaret_);
  if (pendingFirstLine_ >= 0) SetFirstVisibleLine(pendingFirstLine_);
  pendingCaret_ = -1;
  pendingFirstLine_ = -1;
}

// --- Layout -----------------------------------------------------------------

void RichEditEx::SetMargins(int left, int right) {
  if (left >= 0) leftMargin_ = left;
  if (right >= 0) rightMargin_ = right;
  UpdateGutter();
}

void RichEditEx::SetWordWrap(bool on) {
  const LineWrapMode mode = on ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap;
  if (lineWrapMode() != mode) setLineWrapMode(mode);
}

// --- Events -----------------------------------------------------------------

void RichEditEx::paintEvent(QPaintEvent* event) {
  EnsureFilled();
  if (CalcGutterWidth() != gutterWidth_) UpdateGutter();
  FormatVisibleLines();
  QPlainTextEdit::paintEvent(event);
}

void RichEditEx::resizeEvent(QResizeEvent* event) {
  if (lineWrapMode() == QPlainTextEdit::NoWrap && event->oldSize().width() != event->size().width()) {
    // Without word wrap no line depends on the width, but the editor would
    // lay out every line of the text again (making a layout object for
    // each) whenever the width changes: when the window is resized, or when
    // a long text brings up the scroll bar. Only the scroll bars are
    // adjusted.
    QResizeEvent sameWidth(event->size(), QSize(event->size().width(), event->oldSize().height()));
    QPlainTextEdit::resizeEvent(&sameWidth);
  } else {
    QPlainTextEdit::resizeEvent(event);
  }
  UpdateGutter();
}

void RichEditEx::showEvent(QShowEvent* event) {
  EnsureFilled();
  QPlainTextEdit::showEvent(event);
}

// Input reaches the editor only once it holds the pane's text.
bool RichEditEx::event(QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::InputMethod:
    case QEvent::ShortcutOverride:
    case QEvent::FocusIn:
      EnsureFilled();
      break;
    default:
      break;
  }
  return QPlainTextEdit::event(event);
}

bool RichEditEx::viewportEvent(QEvent* event) {
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::DragEnter:
    case QEvent::Drop:
      EnsureFilled();
      break;
    default:
      break;
  }
  return QPlainTextEdit::viewportEvent(event);
}

void RichEditEx::changeEvent(QEvent* event) {
  QPlainTextEdit::changeEvent(event);
  if (event->type() == QEvent::FontChange) {
    UpdateGutter();
    ApplyTabStops();
  }
}

void RichEditEx::mousePressEvent(QMouseEvent* event) {
  emit Clicked(this);
  QPlainTextEdit::mousePressEvent(event);
}

}  // namespace zelm::gui
