// The embedded browsers (result, original and analyser), the analyser
// page's commands, and the commands that show a page in the system's
// default web browser.
//
// The browsers are made when first used. The analyser reads a page's own
// source on a thread of its own (a download never holds up the window, can
// be stopped and times out), hands it to the paste input stage, and shows
// the page; the page's HTML after its scripts have run fills the inner-HTML
// panes, and the element the person clicks fills the Selected pane.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>
#include <QToolTip>
#include <QVBoxLayout>
#include <QWebEngineProfile>
#include <QWebEngineView>
#include <algorithm>

#include "app/AnalysisTexts.h"
#include "app/gui/MainWindow.h"
#include "app/gui/MainWindowTables.h"
#include "app/gui/PaneText.h"
#include "app/gui/SjisText.h"
#include "app/gui/WebTexts.h"
#include "app/gui/WindowTexts.h"
#include "text/FileIO.h"
#include "text/HtmlEntities.h"
#include "web/qt/AnalyserPage.h"
#include "web/qt/PageSourceJob.h"
#include "web/qt/WebBrowser.h"

namespace zelm::gui {
namespace {

QString U(const char* text) { return QString::fromUtf8(text); }

const QString kBlank = QString::fromUtf8(texts::kBlankPage);

// How many addresses the analyser's address box keeps in its list.
constexpr int kAddressHistory = 30;

bool ShowsBlankPage(const QWebEngineView* view) {
  return !view || view->url().isEmpty() || view->url() == QUrl(kBlank);
}

}  // namespace

// What the window keeps of its browsers and the analyser.
class TAMainForm::WebParts : public QObject {
 public:
  explicit WebParts(QObject* parent) : QObject(parent), job(new PageSourceJob(this)) {}

  // One profile for the three browsers, made with the first of them: off
  // the record, so that browsing leaves nothing on disk (no cache, cookies
  // or history in the person's folders). A child of this object, which the
  // window makes after its widgets: it goes after the pages that use it.
  QWebEngineProfile* profile = nullptr;
  QPointer<QWebEngineView> result;
  QPointer<QWebEngineView> original;
  QPointer<QWebEngineView> analyser;
  QPointer<AnalyserPage> analyserPage;
  bool analyserPageLoading = false;
  PageSourceJob* job;
  QAction* stop = nullptr;
  QAction* busy = nullptr;
  QAction* browseMode = nullptr;
  // Where the RefOrg text goes for the default browser when no page is
  // open; removed with the window.
  std::unique_ptr<QTemporaryDir> scratch;

  void UpdateStop() { stop->setEnabled(job->Running() || analyserPageLoading); }

 protected:
  // The message panel is narrow: resting the pointer on it shows the whole
  // message it holds now.
  bool eventFilter(QObject* watched, QEvent* event) override {
    auto* panel = qobject_cast<QLabel*>(watched);
    if (event->type() != QEvent::ToolTip || !panel || panel->text().isEmpty()) return false;
    QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), panel->text(), panel);
    return true;
  }
};

// ---- The browsers -----------------------------------------------------------------

void TAMainForm::GUIEditorInitialize() {
  web_ = new WebParts(this);
  AnalyserDownloadOptions = DownloadOptions{};
}

void TAMainForm::BrowserInitialize() {
  // Both browsers start on the blank page and never raise a script dialog
  // (the quiet page). A browser is made when it is first used and starts
  // on the blank page then; until then its empty area shows the same.
}

QWebEngineView* TAMainForm::MakeBrowser(QWidget* area, bool analyser) {
  if (!area->layout()) {
    auto* layout = new QVBoxLayout(area);
    layout->setContentsMargins(0, 0, 0, 0);
  }
  if (!EmbeddedBrowsersCanRun()) {
    // The area says why it stays empty; the commands go on without it.
    if (!area->findChild<QLabel*>(U("BrowserUnavailable"))) {
      auto* why = new QLabel(U(texts::kBrowsersNeedSandbox), area);
      why->setObjectName(U("BrowserUnavailable"));
      why->setWordWrap(true);
      why->setAlignment(Qt::AlignTop | Qt::AlignLeft);
      why->setMargin(16);
      area->layout()->addWidget(why);
    }
    return nullptr;
  }
  if (!web_->profile) web_->profile = new QWebEngineProfile(web_);
  auto* view = new QWebEngineView(area);
  view->setObjectName(area->objectName() + U("View"));
  if (analyser) {
    web_->analyserPage = new AnalyserPage(web_->profile, view);
    web_->analyserPage->SetBrowseMode(web_->browseMode->isChecked());
    view->setPage(web_->analyserPage);
  } else {
    view->setPage(new QuietWebPage(web_->profile, view));
  }
  area->layout()->addWidget(view);
  NavigateBrowser(*view, kBlank);
  return view;
}

QWebEngineView* TAMainForm::ResultBrowser() {
  if (!web_->result) web_->result = MakeBrowser(WebBrowserPGZ0PGMainTab01LeftTab03, false);
  return web_->result;
}

QWebEngineView* TAMainForm::OriginalBrowser() {
  if (!web_->original) web_->original = MakeBrowser(WebBrowserPGZ1PGMainTab01RightTab05, false);
  return web_->original;
}

QWebEngineView* TAMainForm::AnalyserBrowser() {
  if (web_->analyser) return web_->analyser;
  web_->analyser = MakeBrowser(Editor, true);
  if (!web_->analyser) return nullptr;
  AnalyserPage* page = web_->analyserPage;
  connect(page, &AnalyserPage::LinkFollowed, this, [this](const QUrl& url) { LoadAnalyserPage(url.toString()); });
  connect(page, &AnalyserPage::ElementClicked, this, [this](const QString& html) {
    WhenIdle([this, html] {
      ShowInPane(PaneId::Selected, ToSjisLines(html));
      PGZ1PGMainTab01Right->setCurrentWidget(PGZ1PGMainTab01RightTab05Selected);
    });
  });
  connect(page, &QWebEnginePage::loadStarted, this, [this] {
    web_->analyserPageLoading = true;
    web_->UpdateStop();
  });
  connect(page, &QWebEnginePage::loadFinished, this, [this](bool ok) {
    web_->analyserPageLoading = false;
    web_->UpdateStop();
    if (ok && !ShowsBlankPage(web_->analyser)) ReadAnalyserDocument();
  });
  return web_->analyser;
}

void TAMainForm::BrowserClear() {
  for (QWebEngineView* browser : {web_->result.data(), web_->original.data()}) {
    if (browser) NavigateBrowser(*browser, kBlank);
  }
}

// ---- Pages of the browsers -----------------------------------------------------------

void TAMainForm::ChangePageOnLoadFile(const QString& fileName) {
  PGZ0PGMainTab01Left->setCurrentWidget(PGZ0PGMainTab01LeftTab01Main);
  if (!CheckBoxOpenIEOriginal->isChecked()) {
    PGZ1PGMainTab01Right->setCurrentWidget(PGZ1PGMainTab01RightTab01Main);
  } else if (!fileName.isEmpty()) {
    PGZ1PGMainTab01Right->setCurrentWidget(PGZ1PGMainTab01RightTab05Browser);
    BrowseLoadFile(fileName);
  }
}

// The browsers have no back and forward buttons: the history a navigation
// leaves behind has no use, and none is asked for.
void TAMainForm::BrowseLoadFile(const QString& fileName) {
  if (fileName.isEmpty()) return;
  PGZ1PGMainTab01Right->setCurrentWidget(PGZ1PGMainTab01RightTab05Browser);
  if (QWebEngineView* browser = OriginalBrowser()) NavigateBrowser(*browser, fileName);
}

void TAMainForm::BrowseIndentFile(const QString& fileName) {
  if (fileName.isEmpty()) return;
  PGZ0PGMainTab01Left->setCurrentWidget(PGZ0PGMainTab01LeftTab03Browser);
  if (QWebEngineView* browser = ResultBrowser()) NavigateBrowser(*browser, fileName);
}

void TAMainForm::MenuToolEntityListClick() {
  StatusbarClearSaveMessage();
  if (QWebEngineView* browser = ResultBrowser()) {
    WriteHTMLToBrowser(SjisToQString(EntityListPage(WindowEntityPageLabels())), *browser);
  }
  PGMain->setCurrentWidget(PGMainTab01IndentProcessing);
  PGZ0PGMainTab01Left->setCurrentWidget(PGZ0PGMainTab01LeftTab03Browser);
}

// ---- The default browser ------------------------------------------------------------------

void TAMainForm::ShowWebMessage(const QString& message) { StatusBarGlobal[1]->setText(message); }

void TAMainForm::OpenFileInDefaultBrowser(const QString& path, const QString& missing) {
  StatusbarClearSaveMessage();
  if (path.isEmpty() || !FileExists(ToLocalPath(path))) {
    ShowWebMessage(texts::NoFileToShowMessage(missing));
    return;
  }
  if (!OpenInDefaultBrowser(path)) ShowWebMessage(texts::CannotShowInBrowserMessage(path));
}

void TAMainForm::tbSaveLocalIEOpenClick() {
  OpenFileInDefaultBrowser(FromLocalPath(BtnEditLocalFile), U(texts::kNoLoadedFile));
}

void TAMainForm::tbResultTempFileOpenIEClick() {
  const QString temp = BtnEditLocalFile.empty() ? QString() : FromLocalPath(TempResultPath(BtnEditLocalFile));
  OpenFileInDefaultBrowser(temp, U(texts::kNoResultFile));
}

void TAMainForm::tbOpenByIEClick() {
  const QString name = asker().OpenFileName(DialogFolder(), U(texts::kHtmlFilter));
  if (!name.isEmpty()) OpenFileInDefaultBrowser(name, U(texts::kNoLoadedFile));
}

// The RefOrg text is no file: it is written beside the open page (so that
// the page's images and style sheets are found) as "ZZ_tmp_org.html", or,
// for pasted text, into a folder of the window's own, and that file is
// shown. Its charset declaration already says Shift_JIS.
void TAMainForm::tbOpeIEWithRefOrgClick() {
  StatusbarClearSaveMessage();
  const std::string text = PaneText(pane(PaneId::RefOrg));
  if (text.empty()) {
    ShowWebMessage(texts::NoFileToShowMessage(U(texts::kNoRefOrgText)));
    return;
  }
  std::string target;
  if (!BtnEditLocalFile.empty()) {
    target = ToLocalPath(QFileInfo(FromLocalPath(BtnEditLocalFile)).absolutePath() + U("/ZZ_tmp_org.html"));
  } else {
    if (!web_->scratch) web_->scratch = std::make_unique<QTemporaryDir>();
    if (!web_->scratch->isValid()) {
      ShowWebMessage(texts::CannotShowInBrowserMessage(web_->scratch->path()));
      return;
    }
    target = ToLocalPath(web_->scratch->filePath(U("ZZ_tmp_org.html")));
  }
  const SaveResult saved = SaveTextFile(text, target);
  if (!saved.ok()) {
    asker().Tell(texts::CannotOpenMessage(FromLocalPath(target), QString::fromStdString(saved.message)));
    return;
  }
  OpenFileInDefaultBrowser(FromLocalPath(target), U(texts::kNoRefOrgText));
}

// ---- The analyser page ----------------------------------------------------------------------

void TAMainForm::CreateEditor() {
  // The editor's area ("Editor") gets its browser when a page is first
  // loaded; the tool bar gets its commands now.
  auto add = [this](const char* name, const char* glyph, ToolKind kind, const char* hint, Handler handler) {
    QAction* button = ToolBarGUI->addAction(GlyphIcon(glyph, kind), U(hint));
    button->setObjectName(U(name));
    button->setToolTip(U(hint));
    actions_[U(name)] = button;
    connect(button, &QAction::triggered, this, handler);
    return button;
  };
  add("tbGUIGo", "読", ToolKind::Web, texts::kAnalyserGo, &TAMainForm::tbGUIGoClick);
  add("tbGUIOpenFile", "開", ToolKind::File, texts::kAnalyserOpenFile, &TAMainForm::tbGUIOpenFileClick);
  web_->stop = add("tbGUIStop", "止", ToolKind::Web, texts::kAnalyserStop, &TAMainForm::tbGUIStopClick);
  auto* progress = new QProgressBar(ToolBarGUI);
  progress->setObjectName(U("ProgressBarGUI"));
  progress->setRange(0, 0);  // busy: no end is known
  progress->setMaximumWidth(80);
  progress->setTextVisible(false);
  web_->busy = ToolBarGUI->addWidget(progress);
  ToolBarGUI->addSeparator();
  add("tbGUIInnerHTML", "内", ToolKind::Web, texts::kAnalyserInnerHtml, &TAMainForm::tbGUIInnerHTMLClick);
  web_->browseMode =
      add("tbGUIBrowseMode", "ブ", ToolKind::View, texts::kAnalyserBrowseMode, &TAMainForm::tbGUIBrowseModeClick);
  // The button starts unchecked: a click shows an element's HTML. (Image 17
  // of the program's image list showed this state; the buttons here draw
  // their own glyphs.)
  web_->browseMode->setCheckable(true);
  add("tbGUIOpenByBrowser", "外", ToolKind::Web, texts::kAnalyserOpenByBrowser, &TAMainForm::tbGUIOpenByBrowserClick);
  StatusBarGlobal[1]->installEventFilter(web_);
  EditGUIUrl->setMaxCount(kAddressHistory);
  // An address picked from the box's list is loaded as an entered one is.
  connect(EditGUIUrl, &QComboBox::textActivated, this, &TAMainForm::LoadAnalyserPage);
  ShowAnalyserBusy(false);
}

void TAMainForm::NewDocument() {
  web_->job->Abandon();
  ShowAnalyserBusy(false);
  if (web_->analyser) NavigateBrowser(*web_->analyser, kBlank);
}

void TAMainForm::ShowAnalyserBusy(bool loading) {
  web_->busy->setVisible(loading);
  web_->UpdateStop();
}

bool TAMainForm::AnalyserLoading() const { return web_->job->Running(); }

void TAMainForm::RememberAnalyserAddress(const QString& address) {
  const int there = EditGUIUrl->findText(address);
  if (there >= 0) EditGUIUrl->removeItem(there);
  EditGUIUrl->insertItem(0, address);
  EditGUIUrl->setCurrentIndex(0);
}

void TAMainForm::WhenIdle(std::function<void()> work) {
  if (!busy_) {
    work();
    return;
  }
  // A command is running off the user-interface thread and the window is
  // waiting for it: this result comes after it.
  QTimer::singleShot(50, this, [this, work = std::move(work)]() mutable { WhenIdle(std::move(work)); });
}

void TAMainForm::EditGUIUrlKeyDown() { LoadAnalyserPage(EditGUIUrl->currentText()); }

void TAMainForm::tbGUIGoClick() { LoadAnalyserPage(EditGUIUrl->currentText()); }

void TAMainForm::tbGUIOpenFileClick() {
  const QString name = asker().OpenFileName(DialogFolder(), U(texts::kHtmlFilter));
  if (!name.isEmpty()) LoadAnalyserPage(name);
}

void TAMainForm::LoadAnalyserPage(const QString& addressOrFile) {
  QString name = addressOrFile.trimmed();
  if (name.isEmpty()) return;
  if (name.startsWith(U("file:"))) name = QUrl(name).toLocalFile();
  const std::string source = IsWebUrl(name.toStdString()) ? name.toStdString() : ToLocalPath(name);
  // Enter on an address of the list asks twice: once is enough.
  if (web_->job->Running() && web_->job->Address() == source) return;
  RememberAnalyserAddress(name);
  PGMain->setCurrentWidget(PGMainTab01IndentProcessing);
  PGZ0PGMainTab01Left->setCurrentWidget(PGZ0PGMainTab01LeftTab04ProfBrowser);
  ShowWebMessage(texts::AnalyserLoadingMessage(name));
  web_->job->Start(source, AnalyserDownloadOptions, [this, name](PageSource loaded) {
    auto shared = std::make_shared<PageSource>(std::move(loaded));
    WhenIdle([this, name, shared] { AnalyserSourceLoaded(name, *shared); });
  });
  ShowAnalyserBusy(true);
}

void TAMainForm::AnalyserSourceLoaded(const QString& name, PageSource& source) {
  ShowAnalyserBusy(false);
  if (!source.ok()) {
    ShowWebMessage(texts::AnalyserFailedMessage(name, source, AnalyserDownloadOptions));
    return;
  }
  Converted& sjis = source.page.sjis;
  if (sjis.text.empty()) {
    ShowWebMessage(texts::AnalyserEmptyMessage(name));
    return;
  }
  const int frameKind = FrameKind(sjis.text);
  const LossReport loss = ReportLoss(sjis.loss, sjis.text, kCharCodeShiftJis);
  DoCopyTextTMLGo(sjis.text);
  // What the load learnt of the page: a save follows its own encoding and
  // asks about the characters it could not carry.
  OrgCharCode = source.page.declared;
  OrgReadAs = source.page.readAs;
  OrgLoss = loss;
  SetOrgFileCharCode();
  SetFormCaption(name);
  if (QWebEngineView* browser = AnalyserBrowser()) NavigateBrowser(*browser, name);
  if (CheckBoxImmediateGo->isChecked()) tbIndentGoClick();
  PGZ0PGMainTab01Left->setCurrentWidget(PGZ0PGMainTab01LeftTab04ProfBrowser);
  ShowWebMessage(frameKind != 0 ? texts::FramePageMessage(frameKind) : texts::AnalyserLoadedMessage(name));
  if (OrgLoss.any()) asker().Tell(texts::LoadLossMessage(OrgLoss));
}

void TAMainForm::ReadAnalyserDocument() {
  if (!web_->analyserPage || ShowsBlankPage(web_->analyser)) return;
  web_->analyserPage->ReadDocumentHtml([this](const QString& html) {
    if (html.isEmpty()) return;
    WhenIdle([this, html] {
      const SjisLines inner = ToSjisLinesReporting(html);
      ShowInPane(PaneId::InnerRight, inner.text);
      ShowInPane(PaneId::Inner, inner.text);
      if (inner.loss.any()) ShowWebMessage(texts::InnerHtmlLossMessage(inner.loss.count, inner.lossLine));
    });
  });
}

void TAMainForm::tbGUIStopClick() {
  web_->job->Stop();
  if (web_->analyser) web_->analyser->stop();
}

void TAMainForm::tbGUIInnerHTMLClick() {
  if (ShowsBlankPage(web_->analyser)) return;
  ReadAnalyserDocument();
  PGZ1PGMainTab01Right->setCurrentWidget(PGZ1PGMainTab01RightTab09Inner);
}

void TAMainForm::tbGUIBrowseModeClick() {
  if (web_->analyserPage) web_->analyserPage->SetBrowseMode(web_->browseMode->isChecked());
}

void TAMainForm::tbGUIOpenByBrowserClick() {
  StatusbarClearSaveMessage();
  const QString address =
      ShowsBlankPage(web_->analyser) ? EditGUIUrl->currentText().trimmed() : web_->analyser->url().toString();
  if (address.isEmpty()) {
    ShowWebMessage(texts::NoFileToShowMessage(U(texts::kNoAnalyserPage)));
    return;
  }
  if (!OpenInDefaultBrowser(address)) ShowWebMessage(texts::CannotShowInBrowserMessage(address));
}

}  // namespace zelm::gui
