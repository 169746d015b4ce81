#include "app/gui/SourceWindows.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/gui/Asker.h"
#include "app/gui/PageFiles.h"
#include "app/gui/PaneSearch.h"
#include "app/gui/RichEditEx.h"
#include "app/gui/RichEditUtil.h"
#include "app/gui/SjisText.h"
#include "app/gui/ToolTexts.h"
#include "app/gui/WindowTexts.h"

namespace zelm::gui {
namespace {

QString U(const char* text) { return QString::fromUtf8(text); }

// The size a source window has before anything is stored.
constexpr int kInitialWidth = 900;
constexpr int kInitialHeight = 700;
constexpr int kHitListWidth = 96;

}  // namespace

SourceWindowBase::SourceWindowBase(SourceWindow which, const char* title, SourceWindowContext context,
                                   QWidget* parent)
    : QWidget(parent, Qt::Window), context_(std::move(context)), which_(which), title_(title) {
  setWindowTitle(U(title));
  resize(kInitialWidth, kInitialHeight);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->setSpacing(2);
  rows_ = new QVBoxLayout();
  layout->addLayout(rows_);
  bar_ = new QHBoxLayout();
  btnStorePlacement = new QPushButton(U(texts::kStorePlacementButton), this);
  btnStorePlacement->setObjectName(QStringLiteral("btnStorePlacement"));
  LabelPlacement = new QLabel(this);
  bar_->addWidget(btnStorePlacement);
  bar_->addWidget(LabelPlacement, 1);
  rows_->addLayout(bar_);
  body_ = new QHBoxLayout();
  body_->setSpacing(2);
  RichEditSource = new RichEditEx(this);
  RichEditSource->setObjectName(QStringLiteral("RichEditSource"));
  RichEditSource->SetLineNumbers(true);
  RichEditSource->SetWordWrap(false);
  RichEditSource->setReadOnly(true);
  body_->addWidget(RichEditSource, 1);
  layout->addLayout(body_, 1);
  connect(btnStorePlacement, &QPushButton::clicked, this, &SourceWindowBase::StorePlacement);
}

void SourceWindowBase::ShowSource(std::string text, const QString& fileName) {
  setWindowTitle(texts::SourceTitle(title_, fileName));
  LabelPlacement->clear();
  RichEditSource->SetSjisText(std::move(text));
  if (!context_.colour || context_.colour()) {
    RichEditColorRetryMargin(*RichEditSource);
  } else {
    RichEditSource->SetMargins(kSourceLeftMargin, kSourceRightMargin);
  }
  if (!isVisible()) {
    // The section is read each time the window opens, and only from a
    // settings file that exists.
    const std::string path = context_.settingsFile ? context_.settingsFile() : std::string();
    if (!path.empty() && FileExists(path)) {
      const Settings stored = LoadSettings(path).settings;
      ApplyPlacement(which_ == SourceWindow::SOTSource ? stored.SOTSource : stored.FormSource);
    }
  }
  show();
  raise();
  activateWindow();
}

WindowPlacement SourceWindowBase::Placement() const { return {pos().y(), pos().x(), width(), height()}; }

void SourceWindowBase::ApplyPlacement(const WindowPlacement& placement) {
  const QPoint at = pos();
  move(placement.Left > 0 ? placement.Left : at.x(), placement.Top > 0 ? placement.Top : at.y());
  resize(placement.Width > 0 ? placement.Width : width(), placement.Height > 0 ? placement.Height : height());
}

void SourceWindowBase::StorePlacement() {
  LabelPlacement->clear();
  const std::string path = context_.settingsFile ? context_.settingsFile() : std::string();
  if (path.empty() || !FileExists(path)) {
    if (context_.asker) context_.asker->Tell(U(texts::kNoSettingsFileForPlacement));
    return;
  }
  const SettingsWriteResult written = SaveSourceWindowPlacement(path, which_, Placement());
  if (!written.ok) {
    if (context_.asker) {
      context_.asker->Tell(texts::CannotWriteSettingsMessage(FromLocalPath(written.path), QString::fromStdString(written.why)));
    }
    return;
  }
  LabelPlacement->setText(U(texts::kPlacementStored));
}

TFormSource::TFormSource(SourceWindowContext context, QWidget* parent)
    : SourceWindowBase(SourceWindow::FormSource, texts::kSourceWindowTitle, std::move(context), parent) {
  setObjectName(QStringLiteral("FormSource"));
  btnOpenSearchWindow = new QPushButton(U(texts::kOpenSearchWindowButton), this);
  btnOpenSearchWindow->setObjectName(QStringLiteral("btnOpenSearchWindow"));
  bar_->insertWidget(1, btnOpenSearchWindow);
  connect(btnOpenSearchWindow, &QPushButton::clicked, this, &TFormSource::OpenSearchWindow);
}

TFormSOTSource::TFormSOTSource(SourceWindowContext context, QWidget* parent)
    : SourceWindowBase(SourceWindow::SOTSource, texts::kSearchWindowTitle, std::move(context), parent) {
  setObjectName(QStringLiteral("FormSOTSource"));
  auto* findRow = new QHBoxLayout();
  findRow->addWidget(new QLabel(U(texts::kFindLabel), this));
  ComboBoxSOTFind = new QComboBox(this);
  ComboBoxSOTFind->setObjectName(QStringLiteral("ComboBoxSOTFind"));
  ComboBoxSOTFind->setEditable(true);
  ComboBoxSOTFind->setInsertPolicy(QComboBox::NoInsert);
  ComboBoxSOTFind->setMinimumWidth(320);
  findRow->addWidget(ComboBoxSOTFind);
  btnSOTSearch = new QPushButton(U(texts::kSearchButton), this);
  btnSOTSearch->setObjectName(QStringLiteral("btnSOTSearch"));
  findRow->addWidget(btnSOTSearch);
  LabelSOTLineNumber = new QLabel(this);
  LabelSOTLineNumber->setObjectName(QStringLiteral("LabelSOTLineNumber"));
  LabelSOTLineNumber->setMinimumWidth(80);
  LabelSOTLineNumber->setFrameShape(QFrame::StyledPanel);
  findRow->addWidget(LabelSOTLineNumber);
  findRow->addStretch(1);
  rows_->insertLayout(0, findRow);
  ListBoxSOTSource = new PaneHitList(this);
  ListBoxSOTSource->setObjectName(QStringLiteral("ListBoxSOTSource"));
  ListBoxSOTSource->setFixedWidth(kHitListWidth);
  body_->addWidget(ListBoxSOTSource);
  ConnectHitList(*RichEditSource, *ListBoxSOTSource, LabelSOTLineNumber);
  connect(ComboBoxSOTFind->lineEdit(), &QLineEdit::returnPressed, this, &TFormSOTSource::Search);
  connect(btnSOTSearch, &QPushButton::clicked, this, &TFormSOTSource::Search);
}

void TFormSOTSource::Search() {
  const QString findText = ComboBoxSOTFind->currentText();
  std::vector<std::string> words;
  const bool black = context_.blackBeforeSearch && context_.blackBeforeSearch();
  BatchSearchPane(*RichEditSource, *ListBoxSOTSource, findText, black, words, [&] {
    if (ComboBoxSOTFind->findText(findText, Qt::MatchExactly | Qt::MatchCaseSensitive) < 0) {
      ComboBoxSOTFind->addItem(findText);
      ComboBoxSOTFind->setEditText(findText);
    }
  });
}

}  // namespace zelm::gui
