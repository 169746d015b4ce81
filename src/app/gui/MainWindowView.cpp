// The window's life and look: creation and start-up, titles, the status
// bar, the top panel's heights and collapse toggles, the view commands,
// page changes, resizing, closing, dropped files and the busy state.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEventLoop>
#include <QLabel>
#include <QTimer>
#include <QListWidget>
#include <QMimeData>
#include <QSplitter>
#include <QTabWidget>
#include <exception>
#include <thread>

#include "indent/LevelPass.h"

#include "app/gui/AboutBox.h"
#include "app/gui/MainWindow.h"
#include "app/gui/SjisText.h"
#include "app/gui/WindowTexts.h"

namespace zelm::gui {
namespace {

QString U(const char* text) { return QString::fromUtf8(text); }

// The heights of the top panel.
constexpr int kTopAll = 710;       // everything, the guidance box included
constexpr int kTopOptions = 260;   // tool bar and options panel
constexpr int kTopSearch = 96;     // tool bar and the search line
constexpr int kTopFirstRow = 82;   // tool bar and the first options row
constexpr int kTopToolBar = 36;    // tool bar only

}  // namespace

TAMainForm::TAMainForm(std::unique_ptr<Asker> asker, QWidget* parent)
    : QMainWindow(parent), asker_(asker ? std::move(asker) : std::make_unique<DialogAsker>(this)) {
  setObjectName(U("AMainForm"));
  FormCreate();
}

// The two work lists go with the window.
TAMainForm::~TAMainForm() = default;

// ---- Start-up steps -----------------------------------------------------------

void TAMainForm::GlobalInitialize() {
  DefaultFolder.clear();
  CurrentFileName.clear();
  TopCollapsed = SearchCollapsed = AnalyzerCollapsed = false;
  OrgCharCode = 0;
}

void TAMainForm::TextInitialize() {
  // The overwrite question, the blank page and the five-blank filler are
  // constants of WindowTexts.h.
}

void TAMainForm::RadioGroupInitialize() {
  RadioGroupOpenCharset.SetItemIndex(0);
  RadioGroupSaveCharSet.SetItemIndex(0);
  RadioGroupIndentType.SetItemIndex(0);
}

void TAMainForm::PanelColorInitialize() {
  PanelSetting->setAutoFillBackground(true);
  QPalette palette = CheckBoxUseAnalyser->palette();
  palette.setColor(QPalette::WindowText, QColor(255, 0, 0));
  CheckBoxUseAnalyser->setPalette(palette);
}

void TAMainForm::StatusbarInitialize() {
  for (QLabel* panel : StatusBarGlobal) panel->clear();
}

void TAMainForm::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (!FormShown) FormShow();
}

void TAMainForm::FormShow() {
  SettingsFileName = LocateSettingsFileName();
  LoadIniSettings(SettingsFileName);
  PGZ0PGMainTab01Left->setCurrentWidget(PGZ0PGMainTab01LeftTab01Main);
  PGZ1PGMainTab01Right->setCurrentWidget(PGZ1PGMainTab01RightTab01Main);
  if (!DefaultFolder.isEmpty() && !QDir(DefaultFolder).exists()) {
    GlobalInitialize();
    // The portable form of the fallback drive "C:\".
    DefaultFolder = QDir::homePath();
  }
  if (action("MenuViewmaximized")->isChecked()) showMaximized();
  const QString autoload = FromLocalPath(BtnEditLocalFile).trimmed();
  if (CheckBoxAutoloadFile->isChecked() && !autoload.isEmpty() && FileExists(ToLocalPath(autoload))) {
    DoLocalHTMLGo(autoload);
    SetFormCaption(autoload);
    ChangePageOnLoadFile(autoload);
  } else {
    AppTitleCaption(QString(), -1);
  }
  PGMain->setCurrentWidget(PGMainTab01IndentProcessing);
  PGZ0PGMainTab01Left->setCurrentWidget(PGZ0PGMainTab01LeftTab01Main);
  if (action("MenuViewSartScreen")->isChecked()) {
    PGZ0PGMainTab01Left->setCurrentWidget(PGZ0PGMainTab01LeftTab04ProfBrowser);
    SetTopPanelHeight(kTopToolBar);
    TopCollapsed = true;
  } else {
    PGZ0PGMainTab01Left->setCurrentWidget(PGZ0PGMainTab01LeftTab01Main);
    PGZ1PGMainTab01Right->setCurrentWidget(PGZ1PGMainTab01RightTab01Main);
  }
  SetLeftPanelWidth();
  SetTopPanelHeight(topHeight_);
  DoSetMargin();
  FormShown = true;
}

void TAMainForm::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  FormResize();
}

void TAMainForm::FormResize() {
  // Hit positions count display lines, which a new width changes.
  ListBoxAllClear();
  DoInflateRect();
  SetTopPanelHeight(topHeight_);
}

void TAMainForm::closeEvent(QCloseEvent* event) {
  // A command still running keeps the window; settings are not written on
  // closing.
  if (busy_) {
    event->ignore();
    return;
  }
  QMainWindow::closeEvent(event);
}

void TAMainForm::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TAMainForm::dropEvent(QDropEvent* event) {
  if (OpenDroppedFile(*event->mimeData())) event->acceptProposedAction();
}

bool TAMainForm::OpenDroppedFile(const QMimeData& data) {
  for (const QUrl& url : data.urls()) {
    if (url.isLocalFile()) {
      OpenHtmlFile(url.toLocalFile());
      return true;
    }
  }
  return false;
}

bool TAMainForm::RunBusy(const std::function<void()>& work) {
  busy_ = true;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  std::exception_ptr failure;
  QEventLoop loop;
  // The window keeps painting while the work runs; the person's input waits
  // until it is done.
  std::thread worker([&] {
    try {
      work();
    } catch (...) {
      failure = std::current_exception();
    }
    QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
  });
  loop.exec(QEventLoop::ExcludeUserInputEvents);
  worker.join();
  QApplication::restoreOverrideCursor();
  busy_ = false;
  if (!failure) return true;
  try {
    std::rethrow_exception(failure);
  } catch (const IndentationTooLarge& tooDeep) {
    asker().Tell(texts::IndentTooDeepMessage(QString::fromUtf8(tooDeep.what())));
  } catch (const EncodingError& cannotConvert) {
    asker().Tell(texts::EncodingFailedMessage(QString::fromUtf8(cannotConvert.what())));
  } catch (const std::exception& other) {
    // Memory running out on a huge page, for one: the window stays.
    asker().Tell(texts::CommandFailedMessage(QString::fromUtf8(other.what())));
  }
  return false;
}

// ---- Titles and status bar ------------------------------------------------------

void TAMainForm::AppTitleCaption(const QString& name, int mode) {
  CurrentFileName = name;
  const QString caption = texts::TitleCaption(name, mode);
  if (!caption.isNull()) setWindowTitle(caption);
}

void TAMainForm::SetFormCaption(const QString& name) { setWindowTitle(texts::FormCaption(ProductLongName, name)); }

void TAMainForm::SetOrgFileCharCode() { StatusBarGlobal[0]->setText(texts::EncodingPanelText(OrgCharCode)); }

void TAMainForm::StatusbarClearSaveMessage() { StatusBarGlobal[1]->clear(); }

// ---- Pages ---------------------------------------------------------------------------
// (The browsers' pages: MainWindowWeb.cpp.)

void TAMainForm::PGMainChange() {
  QWidget* page = PGMain->currentWidget();
  if (page == PGMainTab02Tips || page == PGmainTab03DiveComment) {
    SetTopPanelHeight(kTopFirstRow);
    TopCollapsed = true;
  }
}

void TAMainForm::SetLeftPanelWidth() {
  constexpr int kLeftPanelWidth = 700;
  const int total = std::max(SplitterWork->width() - SplitterWork->handleWidth(), kLeftPanelWidth + 1);
  SplitterWork->setSizes({kLeftPanelWidth, total - kLeftPanelWidth});
  // A window that has just been shown has not laid out its pages yet: the
  // width is set again once the splitter has its own.
  leftWidthPending_ = true;
}

bool TAMainForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == SplitterWork && event->type() == QEvent::Resize && leftWidthPending_) {
    leftWidthPending_ = false;
    QTimer::singleShot(0, this, [this] {
      SetLeftPanelWidth();
      leftWidthPending_ = false;
    });
  }
  return QMainWindow::eventFilter(watched, event);
}

// ---- Top panel ------------------------------------------------------------------------

void TAMainForm::SetTopPanelHeight(int height) {
  topHeight_ = height;
  const QList<int> sizes = SplitterMain->sizes();
  const int total = sizes.value(0) + sizes.value(1);
  if (total > 0) SplitterMain->setSizes({height, std::max(0, total - height)});
}

int TAMainForm::TopPanelHeight() const { return topHeight_; }

void TAMainForm::CollapseTopPanel() {
  SetTopPanelHeight(TopCollapsed ? kTopOptions : kTopFirstRow);
  TopCollapsed = !TopCollapsed;
  action("MenuSettingsReInitialize")->setChecked(false);
}

void TAMainForm::CollapseSearchPanel() {
  SetTopPanelHeight(SearchCollapsed ? kTopOptions : kTopSearch);
  SearchCollapsed = !SearchCollapsed;
  action("MenuSettingsReInitialize")->setChecked(false);
}

void TAMainForm::CollapseAnalyzerPanel() {
  SetTopPanelHeight(AnalyzerCollapsed ? kTopOptions : kTopToolBar);
  AnalyzerCollapsed = !AnalyzerCollapsed;
}

void TAMainForm::tbSettingPanelOpenCloseClick() {
  StatusbarClearSaveMessage();
  CollapseTopPanel();
  DoSetMargin();
}

void TAMainForm::tbsearchCollapseExpandClick() {
  CollapseSearchPanel();
  DoSetMargin();
}

void TAMainForm::tbGUICollapseExpandClick() {
  CollapseAnalyzerPanel();
  DoSetMargin();
}

void TAMainForm::sbInstructionHidedescClick() {
  SetTopPanelHeight(kTopOptions);
  TopCollapsed = false;
}

// ---- View commands ---------------------------------------------------------------------

void TAMainForm::MenuViewmaximizedClick() {
  QAction* item = action("MenuViewmaximized");
  item->setChecked(!item->isChecked());
  if (item->isChecked()) {
    showMaximized();
  } else {
    showNormal();
  }
}

void TAMainForm::MenuViewStdTopHeight1LineClick() {
  QAction* item = action("MenuViewStdTopHeight1Line");
  item->setChecked(!item->isChecked());
  SetTopPanelHeight(item->isChecked() ? kTopOptions : kTopSearch);
  SaveTopPanelHeight();
}

void TAMainForm::MenuViewSartScreenClick() {
  QAction* item = action("MenuViewSartScreen");
  item->setChecked(!item->isChecked());
}

void TAMainForm::tbAllClientClick() {
  if (isMaximized() || isMinimized()) {
    showNormal();
  } else {
    showMaximized();
  }
}

void TAMainForm::CheckBoxSelectedWordWrapClick() {
  if (FormShown) SetPaneWordWrap(pane(PaneId::Selected), CheckBoxSelectedWordWrap->isChecked());
}

void TAMainForm::ReleaseInitialize() {
  SetTopPanelHeight(kTopAll);
  action("MenuViewmaximized")->setChecked(false);
  action("MenuViewSartScreen")->setChecked(false);
  // ComboBoxtInitialize.
  ComboBoxFindSrc->setEditText(QString());
  ComboBoxRepDst->setEditText(QString());
  ComboBoxRemoveStartMark->setEditText(U("@--"));
  ComboBoxRmoveEndMark->setEditText(U("--@"));
  EditGUIUrl->setEditText(QString());
  // CheckBoxtInitialize.
  for (QCheckBox* box :
       {CheckBoxAutoloadFile, CheckBoxDivCommentConcat, CheckBoxOpenIEOriginal, CheckBoxOpenIEResult,
        CheckBoxResultPageChange, CheckBoxWorkProcessPageChange, CheckBoxConvertUpperLower, CheckBoxDontPreprocessing,
        CheckBoxImmediateGo, CheckBoxUseAnalyser, CheckBoxSearchBeforeBlack, CheckBoxLocalWordWrap,
        CheckBoxDontInputSpacing, CheckBoxInputTextBlack, CheckBoxResultWordWrap, CheckBoxDontOutputSpacing,
        CheckBoxDontSyntaxHighlight}) {
    box->setChecked(false);
  }
  RadioGroupInitialize();
}

void TAMainForm::MenuSettingsReInitializeClick() {
  action("MenuSettingsReInitialize")->setChecked(true);
  ReleaseInitialize();
  if (!SettingsFileName.isEmpty()) SaveIniSettings(SettingsFileName);
}

// ---- Closing, version and about ---------------------------------------------------------

void TAMainForm::MenuFileCloseClick() { close(); }

void TAMainForm::tbCloseClick() { close(); }

void TAMainForm::MenuOtherVersionClick() { AppTitleCaption(QString(), -1); }

void TAMainForm::MenuOtherAboutThisprogramClick() {
  TAboutBox about(this);
  about.Version->setText(texts::AboutVersionLabel());
  about.SettingsFile->setText(texts::AboutSettingsFileLabel(SettingsFileName));
  about.exec();
}

}  // namespace zelm::gui
