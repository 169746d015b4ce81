// The main window: menus, two tool bars, the options panel, the main page
// control with the work page and its ten panes, and the status bar.
//
// The class is split over files by area:
//   MainWindowLayout.cpp    building the controls and connecting them
//   MainWindowTables.cpp    the menu, tool-bar, option-box and pane tables
//   MainWindowPanes.cpp     pane display helpers, clears, restore, redisplay,
//                           navigation, clipboard commands
//   MainWindowPipeline.cpp  open, paste and indent (the pipeline commands)
//   MainWindowFiles.cpp     the File menu: open and save commands
//   MainWindowSearch.cpp    the keyword box, batch search and hit lists
//   MainWindowView.cpp      titles, status bar, collapse toggles, view
//                           commands, pages, start-up and resize
//   MainWindowTools.cpp     the structure checks, entity, whitespace and
//                           CSS colour tools, the source windows and the
//                           default folder of the settings menu
//   MainWindowSettings.cpp  the settings file: locating, loading, saving
//   MainWindowMarkers.cpp   comment labels in closing div tags: the mark
//                           boxes, their option items and the six commands
//   MainWindowWeb.cpp       the embedded browsers, the analyser browser and
//                           the external-browser commands
// Controls are public members, named as the program's documentation names
// them, so that every command file and the tests reach them directly.
#pragma once

#include <QMainWindow>
#include <QStringList>
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/gui/Asker.h"
#include "app/gui/PaneAdapter.h"
#include "app/gui/PaneId.h"
#include "app/gui/PageFiles.h"
#include "encoding/CharCode.h"
#include "encoding/Converted.h"
#include "indent/Pipeline.h"
#include "web/PageSource.h"

class QAction;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMimeData;
class QListWidget;
class QMenu;
class QPushButton;
class QRadioButton;
class QSplitter;
class QTabWidget;
class QToolBar;
class QToolButton;
class QWebEngineView;

namespace zelm::gui {

class TAMainForm;
class TFormSource;
class TFormSOTSource;
using Handler = void (TAMainForm::*)();

// A radio group: a titled box of exclusive choices, read as an item index.
struct RadioGroup {
  QGroupBox* box = nullptr;
  QButtonGroup* buttons = nullptr;
  int ItemIndex() const;
  void SetItemIndex(int index);
};

class TAMainForm : public QMainWindow {
  Q_OBJECT

 public:
  // `asker` answers the window's questions; by default message boxes and
  // file dialogs.
  explicit TAMainForm(std::unique_ptr<Asker> asker = nullptr, QWidget* parent = nullptr);
  ~TAMainForm() override;

  // ---- Window state ---------------------------------------------------------
  QString ProductLongName;
  QString CurrentFileName;
  QString DefaultFolder;
  QString SettingsFileName;
  // A file path kept in the settings file and written back; nothing else uses it.
  QString ProjectFileName;
  QString ProgramFolder;
  bool TopCollapsed = false;
  bool SearchCollapsed = false;
  bool AnalyzerCollapsed = false;
  bool FormShown = false;
  // The full path of the HTML file loaded into the panes; empty after a
  // paste or "new" (the hidden file-name box).
  std::string BtnEditLocalFile;
  // The saved copies the text-processing menu puts back.
  std::string SavedOrgText;
  std::string SavedLocalText;
  std::string SavedResultText;
  std::string SavedWorkText;
  // The last load's encodings: the one the document declares, and the one
  // it was read as.
  CharCodeIndex OrgCharCode = 0;
  CharCodeIndex OrgReadAs = 0;
  // What the last load could not carry into Shift_JIS.
  LossReport OrgLoss;
  // The loaded page as read (or as last saved): a save over it replaces it
  // only when no other program has changed it since.
  std::optional<FileIdentity> OrgFileIdentity;
  // The files the plain-text (CSS, JavaScript) and RefOrg commands last
  // opened or saved into the Local and RefOrg panes.
  OpenedFile TextFile;
  OpenedFile RefOrgFile;
  QStringList SearchWorkList;
  QStringList AuxWorkList;

  // ---- Panes ----------------------------------------------------------------
  std::array<Pane*, kPaneCount> panes{};
  Pane* CurrentPane = nullptr;
  Pane& pane(PaneId id) const { return *panes[Index(id)]; }
  // The hit list of each pane (none for Inner).
  std::array<HitList*, kPaneCount> hitLists{};
  HitList* hitList(PaneId id) const { return hitLists[Index(id)]; }
  std::optional<PaneId> IdOf(const Pane* pane) const;

  // ---- Controls -------------------------------------------------------------
  QWidget* PanelMainTop = nullptr;
  QSplitter* SplitterMain = nullptr;
  QToolBar* ToolBar1 = nullptr;
  QWidget* PanelSetting = nullptr;
  QGroupBox* GroupBox3 = nullptr;
  QWidget* PanelMainBody = nullptr;
  QToolBar* ToolBar2 = nullptr;
  QTabWidget* PGMain = nullptr;
  QWidget* PGMainTab01IndentProcessing = nullptr;
  QWidget* PGMainTab02Tips = nullptr;
  QWidget* PGmainTab03DiveComment = nullptr;
  QSplitter* SplitterWork = nullptr;
  QWidget* PanelPGMainTab01Left = nullptr;
  QTabWidget* PGZ0PGMainTab01Left = nullptr;
  QTabWidget* PGZ1PGMainTab01Right = nullptr;
  // Tabs of the left and right page controls.
  QWidget* PGZ0PGMainTab01LeftTab01Main = nullptr;
  QWidget* PGZ0PGMainTab01LeftTab02RefOrg = nullptr;
  QWidget* PGZ0PGMainTab01LeftTab03Browser = nullptr;
  QWidget* PGZ0PGMainTab01LeftTab04ProfBrowser = nullptr;
  QWidget* PGZ0PGMainTab01LeftTab05Temp = nullptr;
  QWidget* PGZ0PGMainTab01LeftTab06TagCntList = nullptr;
  QWidget* PGZ0PGMainTab01LeftTab07Inner = nullptr;
  QWidget* PGZ1PGMainTab01RightTab01Main = nullptr;
  QWidget* PGZ1PGMainTab01RightTab04Work = nullptr;
  QWidget* PGZ1PGMainTab01RightTab03Org = nullptr;
  QWidget* PGZ1PGMainTab01RightTab05Selected = nullptr;
  QWidget* PGZ1PGMainTab01RightTab05Browser = nullptr;
  QWidget* PGZ1PGMainTab01RightTab06Native = nullptr;
  QWidget* PGZ1PGMainTab01RightTab07HTMLTag = nullptr;
  QWidget* PGZ1PGMainTab01RightTab08TagCount = nullptr;
  QWidget* PGZ1PGMainTab01RightTab09Inner = nullptr;
  // The browser areas; the embedded browsers take their place.
  QWidget* WebBrowserPGZ0PGMainTab01LeftTab03 = nullptr;
  QWidget* WebBrowserPGZ1PGMainTab01RightTab05 = nullptr;
  // The analyser page: its tool bar, address box and editor area.
  QToolBar* ToolBarGUI = nullptr;
  QComboBox* EditGUIUrl = nullptr;
  QWidget* Editor = nullptr;
  // Lists of the analysis and clean-up tools.
  QListWidget* ListBoxTagCountListLeft = nullptr;
  QListWidget* ListBoxTagCountListRight = nullptr;
  QListWidget* ListBoxCSSColor = nullptr;
  QCheckBox* CheckBoxIgnoreExtraComment = nullptr;
  QCheckBox* CheckBoxSelectedWordWrap = nullptr;
  QCheckBox* CheckBoxInnerRightRemoveLevel = nullptr;
  QPushButton* btnDoInnerHTMLIndent = nullptr;
  QLabel* LabelCommonLineNumber = nullptr;
  // The detached source windows, made when first opened.
  TFormSource* FormSource = nullptr;
  TFormSOTSource* FormSOTSource = nullptr;
  // Options panel.
  QComboBox* ComboBoxFindSrc = nullptr;
  QComboBox* ComboBoxRepDst = nullptr;  // the hidden replacement box
  QToolButton* sbFindSrcpaste = nullptr;
  QToolButton* sbFindSrcpasteClear = nullptr;
  QComboBox* ComboBoxRemoveStartMark = nullptr;
  QComboBox* ComboBoxRmoveEndMark = nullptr;
  QToolButton* sbRemoveStartPasete = nullptr;
  QToolButton* sbRemoveEndPasete = nullptr;
  QToolButton* sbRemoveStartClear = nullptr;
  QToolButton* sbRemoveEndClear = nullptr;
  QToolButton* sbInstructionHidedesc = nullptr;
  RadioGroup RadioGroupOpenCharset;
  RadioGroup RadioGroupSaveCharSet;
  RadioGroup RadioGroupIndentType;
  QCheckBox* CheckBoxAutoloadFile = nullptr;
  QCheckBox* CheckBoxDivCommentConcat = nullptr;
  QCheckBox* CheckBoxOpenIEOriginal = nullptr;
  QCheckBox* CheckBoxOpenIEResult = nullptr;
  QCheckBox* CheckBoxResultPageChange = nullptr;
  QCheckBox* CheckBoxWorkProcessPageChange = nullptr;
  QCheckBox* CheckBoxConvertUpperLower = nullptr;
  QCheckBox* CheckBoxDontOutputSpacing = nullptr;
  QCheckBox* CheckBoxResultWordWrap = nullptr;
  QCheckBox* CheckBoxLocalWordWrap = nullptr;
  QCheckBox* CheckBoxDontInputSpacing = nullptr;
  QCheckBox* CheckBoxInputTextBlack = nullptr;
  QCheckBox* CheckBoxDontPreprocessing = nullptr;
  QCheckBox* CheckBoxLocalIndivlCSSColorDupIgnore = nullptr;
  QCheckBox* CheckBoxImmediateGo = nullptr;
  QCheckBox* CheckBoxSearchBeforeBlack = nullptr;
  QCheckBox* CheckBoxDontSyntaxHighlight = nullptr;
  QCheckBox* CheckBoxUseAnalyser = nullptr;
  QCheckBox* CheckBoxDontCommentOut = nullptr;
  QCheckBox* CheckBoxOuttWordWrap = nullptr;
  QCheckBox* CheckBoxOUtDontOutputSpacing = nullptr;
  // Status bar panels 0 to 4.
  std::array<QLabel*, 5> StatusBarGlobal{};
  // Menu items and tool buttons by name ("MenuFileOpen", "tbIndentGo", ...).
  QAction* action(const char* name) const;

  // ---- Shared helpers ----------------------------------------------------------
  void SyntaxUpdate(Pane& pane);
  void TextBlackColor(Pane& pane);
  void RichEditInflateRect(Pane& pane, const QCheckBox* wrap, const QCheckBox* spacing);
  void BlackRichEditInflateRect(Pane& pane, const QCheckBox* wrap, const QCheckBox* spacing);
  void DoInflateRect();
  void DoOutputInflateRect();
  void DoSetMargin();
  void RichEditExAllNew();
  void RichEditExReNew(Pane& pane);
  void LocalHTMLClear(bool keepLocal);
  void WorkHTMLClear();
  void BrowserClear();
  void ListBoxAllClear();
  void ListBoxOutputClear();
  void ListBoxInitialize();
  void ComboBoxSearchRepClear();
  void StatusbarClearSaveMessage();
  void AppTitleCaption(const QString& name, int mode);
  void SetFormCaption(const QString& name);
  void SetOrgFileCharCode();
  void ChangePageOnLoadFile(const QString& fileName);
  void BrowseLoadFile(const QString& fileName);
  void BrowseIndentFile(const QString& fileName);
  void CollapseTopPanel();
  void CollapseSearchPanel();
  void CollapseAnalyzerPanel();
  void ReleaseInitialize();
  // The left side of the work page back to its width of 700 pixels.
  void SetLeftPanelWidth();
  void SetTopPanelHeight(int height);
  int TopPanelHeight() const;
  PipelineOptions CurrentPipelineOptions() const;
  // Puts a text into a pane: colours it unless colouring is switched off.
  void ShowInPane(PaneId id, std::string text);
  // No file is loaded any more (paste, "new"): the file-name box and what
  // the window kept of the file are emptied.
  void ForgetLoadedFile();

  // ---- Pipeline commands -------------------------------------------------------
  // Input stage for a file; false when nothing was loaded.
  bool DoLocalHTMLGo(const QString& fileName);
  void DoCopyTextTMLGo(const std::string& text);
  // Opens a file the way the open command does (dialog, command line, drop).
  void OpenHtmlFile(const QString& fileName);
  // Opens the first local file of a drop; false when it holds none.
  bool OpenDroppedFile(const QMimeData& data);

  // ---- Settings file (MainWindowSettings.cpp) -----------------------------------
  // The bare name of the first file "ZELM*.inf" in `folder`; empty when none.
  QString GetInf(const QString& folder) const;
  // Applies the settings file at `path` to the controls; nothing when there
  // is no such file.
  void LoadIniSettings(const QString& path);
  // Writes the controls' state into the settings file at `path`; false, and
  // the person told, when it cannot be written.
  bool SaveIniSettings(const QString& path);

  // ---- Browsers and the analyser (MainWindowWeb.cpp) ----------------------------------
  // The result, original and analyser browsers. Each is made when it is
  // first used, so that the window starts without the web engine; one that
  // was never used shows an empty page, as the blank page would. Null when
  // the browsers cannot run here (EmbeddedBrowsersCanRun): the area then
  // says why.
  QWebEngineView* ResultBrowser();
  QWebEngineView* OriginalBrowser();
  QWebEngineView* AnalyserBrowser();
  // Loads the page at an address or a file into the analyser: its source,
  // read off the user-interface thread, goes through the paste input
  // stage, and the browser shows the page.
  void LoadAnalyserPage(const QString& addressOrFile);
  // True while the analyser reads a page's source.
  bool AnalyserLoading() const;
  // The time limits of the analyser's downloads.
  DownloadOptions AnalyserDownloadOptions;

 public slots:
  // ---- File menu -----------------------------------------------------------------
  void MenuFileNewClick();
  void MenuFileOpenClick();
  void MenuFileSaveLocalTextClick();
  void MenuFileSaveAsLocalTextClick();
  void N11Click();
  void MenuFileLSaveAsLocallTextClick();
  void MenuFileTXTCSSJSDescriptionClick();
  void MenuFileOpenTXTCSSJSClick();
  void MenuFileSaveTxtCSSJSClick();
  void MenuFileSaveAsTxtCSSJSlTextClick();
  void MenuFileSaveReffOrgFileClick();
  void MenuFileOpenRefOrgFileClick();
  void MenuFileSaveRefOrgFileClick();
  void MenuFileSaveAsRefOrgFileClick();
  void MenuFileCloseClick();
  // ---- Edit menu -------------------------------------------------------------------
  void MenuLoadFromRefOrgClick();
  void MenuLoadFromRefOrgThruClick();
  void MenuEditLoadFromInnerHTMLClick();
  void MenuEditSelectAllClick();
  // ---- View menu -------------------------------------------------------------------
  void MenuViewmaximizedClick();
  void MenuViewStdTopHeight1LineClick();
  void MenuViewSartScreenClick();
  // ---- Text-processing menu -------------------------------------------------------
  void MenuTextDoIndentGoClick();
  void MenuTextTextSrcReColorClick();
  void MenuTextTextRstRecolorClick();
  void MenuTextTextPrcRecolorClick();
  void MenuTextTextOrgRecolorClick();
  // ---- Batch search menu ---------------------------------------------------------
  void MenuBatchSearchResultClick();
  void MenuBatchSearchWorkClick();
  void MenuBatchSearchLocalClick();
  void MenuBatchSearchRefOrgClick();
  void MenuBatchSearchOrgClick();
  void MenuBatchSearchNativeClick();
  void MenuBatchSearchTempClick();
  void MenuBatchSearchInnerRightClick();
  // ---- Settings menu (the settings work) -------------------------------------------
  void ManuSettingsSaveClick();
  void MenuSettingsReInitializeClick();
  void MenuSettingsSetDefautFolderClick();
  void MenuSettingsRemoveDefaultFolderClick();
  void MenuSettingsViewDefaultFolderClick();
  // ---- Tools menu (the tools and marker work) ---------------------------------------
  void MenuToolCountBlockTagOriginalClick();
  void MenuToolCountTagClick();
  void MenuToolTagLevelCountClick();
  void MenuToolTagLevelListExceptDivClick();
  void MenuToolMakeSkeltonClick();
  void MenuToolMakeSkeltonDetailClick();
  void MenuTooBatchInsertResultDivAttrClick();
  void MenuTooBatchInsertOrgDivAttrClick();
  void MenuToolBatchRemoveDontAppendTextClick();
  void MenuToolBatchRemoveResultDivAttrClick();
  void MenuToolBatchRemoveOrgDivAttrClick();
  void MenuToolbatchRemoveDontAppendSpaceClick();
  void MenuToolBatchReplaceResultCommentClick();
  void MenuToolReplaceOrgDivCommentClick();
  void MenuTooBatchReplaceDontAppendSpaceClick();
  void MenuToolRemoveLeadingSpaceClick();
  void MenuToolRemveZSPClick();
  void MenuToolConvertAllChar2EntityClick();
  void MenuToolConvertSpelChar2EntityClick();
  void MenuToolEntityListClick();
  // ---- Other menu -------------------------------------------------------------------
  void MenuOtherAboutThisprogramClick();
  void MenuOtherVersionClick();
  // ---- Main tool bar ---------------------------------------------------------------
  void tbAllClientClick();
  void tbCloseClick();
  void tbSettingPanelOpenCloseClick();
  void tbOpenFileClick();
  void tbSaveLocalIEOpenClick();
  void tbLocalReDisplayClick();
  void tbOpeIEWithRefOrgClick();
  void tbIndentGoClick();
  void tbResultTempFileOpenIEClick();
  void tbIndentRedisplayClick();
  void tbNewWindowClick();
  void tbMakeSkeltonClick();
  void btTestOnlyClick();
  void tbResetIndentClick();
  void tbFilenewClick();
  void tbCOPYFromResultTextClick();
  void tbPasteClipboardToTextClick();
  void tbSaveAsClick();
  void tbOpenByIEClick();
  void tbPaste2LocalClick();
  // ---- Second tool bar ---------------------------------------------------------------
  void tbLeftpageTopClick();
  void tbLeftPageBottomClick();
  void tbMakecssColorListClick();
  void tbsearchCollapseExpandClick();
  void tbSearchLocalClick();
  void tbSearchRefOrgClick();
  void tbsearchTempClick();
  void tbSearchReasultClick();
  void tbSearchWorkClick();
  void tbSearchOrgClick();
  void tbSearchNativeClick();
  void tbSearchInnerClick();
  void tbRightPageTopClick();
  void tbRightPageBottomClick();
  // ---- Options panel and pages ---------------------------------------------------------
  void ComboBoxFindSrcKeyDown();
  void sbFindSrcpasteClick();
  void sbFindSrcpasteClearClick();
  void sbRemoveStartPaseteClick();
  void sbRemoveEndPaseteClick();
  void sbRemoveStartClearClick();
  void sbRemoveEndClearClick();
  void ComboBoxRemoveStartMarkKeyDown();
  void ComboBoxRmoveEndMarkKeyDown();
  void sbInstructionHidedescClick();
  void CheckBoxSelectedWordWrapClick();
  void CheckBoxLocalIndivlCSSColorDupIgnoreClick();
  void ListBoxCSSColorClick();
  void PGMainChange();
  void btnDoInnerHTMLIndentClick();
  // ---- Analyser page (the web work) -----------------------------------------------------
  void tbGUICollapseExpandClick();
  void EditGUIUrlKeyDown();
  void tbGUIGoClick();
  void tbGUIOpenFileClick();
  void tbGUIStopClick();
  void tbGUIInnerHTMLClick();
  void tbGUIBrowseModeClick();
  void tbGUIOpenByBrowserClick();
  // ---- Panes and hit lists -------------------------------------------------------------
  void RichEditOrgClick();
  void RichEditNativeClick();
  void RichEditLocalClick();
  void RichEditResultClick();
  void RichEditSelectedClick();
  void RichEditRefOrgClick();
  void RichEditWorkClick();
  void RichEditTempClick();
  void RichEditInnerClick();
  void RichEditInnerRightClick();
  void ListBoxLocalClick();
  void ListBoxRefOrgClick();
  void ListBoxTempClick();
  void ListBoxResultClick();
  void ListBoxWorkClick();
  void ListBoxOrgClick();
  void ListBoxNativeClick();
  void ListBoxSelectedClick();
  void ListBoxInnerRightClick();

 protected:
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Building (MainWindowLayout.cpp).
  void FormCreate();
  void BuildMenus();
  void BuildToolBars();
  void BuildTopPanel();
  void BuildOptionsPanel(QWidget* parent);
  void BuildPages();
  void BuildWorkPage();
  void BuildLeftPages();
  void BuildRightPages();
  void BuildStatusBar();
  void RichEditExCreate();
  QWidget* PaneHost(PaneId id, QWidget* tab, QWidget* besideHitList = nullptr);
  // Start-up steps (MainWindowView.cpp).
  void GlobalInitialize();
  void TextInitialize();
  void RadioGroupInitialize();
  void PanelColorInitialize();
  void StatusbarInitialize();
  void BrowserInitialize();
  void FormShow();
  void FormResize();
  // Settings file (MainWindowSettings.cpp).
  QString LocateSettingsFileName() const;
  void SaveTopPanelHeight();
  // Comment marks (MainWindowMarkers.cpp).
  void MarkBoxInitialize();
  void PasteMark(QComboBox& box);
  // Search (MainWindowSearch.cpp).
  void BatchSearch(PaneId id);
  std::pair<QTabWidget*, QWidget*> PageOf(PaneId id) const;
  void ShowPanePage(PaneId id);
  void KeepSearchWords(const std::vector<std::string>& words);
  void ListBoxClick(PaneId id);
  void AddFindHistory(const QString& text, bool evenWhenThere);
  // Pipeline (MainWindowPipeline.cpp).
  void ShowIndentedOutput();
  void ShowOutputPage();
  void ReloadLocal(PaneId source, bool adjust);
  // Pane commands (MainWindowPanes.cpp).
  void RestorePane(PaneId id, const std::string& saved, const QCheckBox* wrap, const QCheckBox* spacing);
  void RedisplayClickedPane(const QCheckBox* wrap, const QCheckBox* spacing);
  void GoToTop();
  void GoToBottom();
  void SetClickedPane(PaneId id);
  std::string ClipboardText() const;
  // Tools (MainWindowTools.cpp, SourceWindows.cpp).
  void ShowElementCounts(PaneId source, QListWidget* list, QWidget* page);
  void ShowCheckList(const std::function<std::vector<std::string>(const std::string&, bool)>& check);
  void RemoveLeadingBlanksOfSelection(std::string (*remove)(std::string_view));
  void ConvertLocal(const std::function<std::string(const std::string&)>& convert);
  void FillCssColourList();
  void OpenSourceWindow(bool withSearch, std::string text);
  void WriteDefaultFolder(const QString& folder);
  // Files (MainWindowFiles.cpp).
  OpenedFile PageFile() const;
  // Saves a pane's text to `path`, in the encoding the save-charset choice
  // gives for `source`; the file as written, or nothing when nothing was.
  std::optional<FileIdentity> SavePaneTo(PaneId id, const std::string& path, const OpenedFile& source);
  // Asks for a name and saves; `source` as the file saved, or nothing when
  // nothing was saved.
  std::optional<OpenedFile> SavePaneAs(PaneId id, const OpenedFile& source, bool htmlFile);
  // Tells why a file command failed on the file `subject`.
  void TellFileError(const FileError& error, const QString& subject);
  QString DialogFolder() const;
  // Runs `work` off the user-interface thread while the window shows the
  // busy cursor and takes no input; returns when it is done. False when it
  // failed, which the person has then been told.
  [[nodiscard]] bool RunBusy(const std::function<void()>& work);
  Asker& asker() { return *asker_; }
  // The browsers and the analyser (MainWindowWeb.cpp).
  void GUIEditorInitialize();
  void CreateEditor();
  void NewDocument();
  QWebEngineView* MakeBrowser(QWidget* area, bool analyser);
  void AnalyserSourceLoaded(const QString& name, PageSource& source);
  void ReadAnalyserDocument();
  void ShowAnalyserBusy(bool loading);
  void RememberAnalyserAddress(const QString& address);
  void ShowWebMessage(const QString& message);
  void OpenFileInDefaultBrowser(const QString& path, const QString& missing);
  // Runs `work` now, or once a command running off the user-interface
  // thread has ended (results that arrive in the meantime wait).
  void WhenIdle(std::function<void()> work);

  std::unique_ptr<Asker> asker_;
  std::map<QString, QAction*> actions_;
  QWidget* topContent_ = nullptr;
  // With no settings, the tool bar and the options panel show.
  int topHeight_ = 260;
  bool busy_ = false;
  bool leftWidthPending_ = false;
  class WebParts;
  WebParts* web_ = nullptr;  // a child of the window

  friend class MainWindowTestAccess;
};

}  // namespace zelm::gui
