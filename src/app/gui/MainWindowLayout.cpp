// Building the main window's controls from the tables and connecting them.
#include <QAbstractScrollArea>
#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/gui/WindowFont.h"
#include "app/gui/MainWindow.h"
#include "app/gui/MainWindowTables.h"
#include "app/gui/WindowTexts.h"

namespace zelm::gui {
namespace {

QString U(const char* text) { return QString::fromUtf8(text); }

// The full height of the top panel's content; smaller heights of the panel
// show only its upper part.
constexpr int kTopContentHeight = 710;
constexpr int kToolBarHeight = 36;
constexpr int kSearchRowHeight = 46;
constexpr int kOptionsHeight = 260;
constexpr int kBodyPanelHeight = 40;
constexpr int kSplitterWidth = 6;
constexpr int kHitListWidth = 96;

// A panel that shows the top part of a taller content: the content keeps
// its height and follows the panel's width, so that lowering the panel
// hides the lower rows instead of squeezing them.
class ClippingPanel : public QWidget {
 public:
  explicit ClippingPanel(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Ignored);
  }
  void SetContent(QWidget* content, int height) {
    content_ = content;
    content_->setParent(this);
    content_->move(0, 0);
    content_->resize(width(), height);
  }
  QSize sizeHint() const override { return {0, kTopContentHeight}; }
  QSize minimumSizeHint() const override { return {0, 0}; }

 protected:
  void resizeEvent(QResizeEvent*) override {
    if (content_) content_->resize(width(), content_->height());
  }

 private:
  QWidget* content_ = nullptr;
};

}  // namespace

static QColor ToolColour(ToolKind kind) {
  switch (kind) {
    case ToolKind::File: return {0x2f, 0x6d, 0xb5};
    case ToolKind::Process: return {0x2e, 0x8b, 0x57};
    case ToolKind::View: return {0x6b, 0x72, 0x80};
    case ToolKind::Search: return {0xd2, 0x69, 0x1e};
    case ToolKind::Web: return {0x7b, 0x4f, 0xa6};
    case ToolKind::Tool: return {0x8b, 0x5a, 0x2b};
  }
  return Qt::gray;
}

// The icon of a tool button: its glyph on a rounded square of its kind's
// colour.
QIcon GlyphIcon(const char* glyph, ToolKind kind) {
  constexpr int kSize = 32;
  QPixmap pixmap(kSize, kSize);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(ToolColour(kind));
  painter.drawRoundedRect(QRectF(1, 1, kSize - 2, kSize - 2), 6, 6);
  QFont font = WindowFont();
  const QString text = U(glyph);
  font.setPixelSize(text.size() > 2 ? 11 : text.size() == 2 ? 13 : 19);
  font.setBold(true);
  painter.setFont(font);
  painter.setPen(Qt::white);
  painter.drawText(QRect(0, 0, kSize, kSize), Qt::AlignCenter, text);
  return QIcon(pixmap);
}

namespace {

QListWidget* NewList(const char* name, QWidget* parent) {
  auto* list = new QListWidget(parent);
  list->setObjectName(U(name));
  return list;
}

QToolButton* NewSpeedButton(const char* name, const char* caption, QWidget* parent) {
  auto* button = new QToolButton(parent);
  button->setObjectName(U(name));
  button->setText(U(caption));
  return button;
}

QComboBox* NewEditableCombo(const char* name, QWidget* parent) {
  auto* box = new QComboBox(parent);
  box->setObjectName(U(name));
  box->setEditable(true);
  // Entries are added by the commands, not by Enter itself.
  box->setInsertPolicy(QComboBox::NoInsert);
  return box;
}

// A tab page with a vertical layout and no margins.
QWidget* NewTab(QTabWidget* tabs, const char* name, const char* caption) {
  auto* page = new QWidget(tabs);
  page->setObjectName(U(name));
  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(2);
  tabs->addTab(page, U(caption));
  return page;
}

// Where a browser will be: an empty white area until the embedded browsers
// come.
QWidget* NewBrowserArea(const char* name, QWidget* parent) {
  auto* area = new QWidget(parent);
  area->setObjectName(U(name));
  area->setAutoFillBackground(true);
  QPalette palette = area->palette();
  palette.setColor(QPalette::Window, Qt::white);
  area->setPalette(palette);
  return area;
}

}  // namespace

int RadioGroup::ItemIndex() const { return buttons->checkedId(); }

void RadioGroup::SetItemIndex(int index) {
  if (QAbstractButton* button = buttons->button(index)) button->setChecked(true);
}

QAction* TAMainForm::action(const char* name) const {
  const auto found = actions_.find(U(name));
  return found == actions_.end() ? nullptr : found->second;
}

std::optional<PaneId> TAMainForm::IdOf(const Pane* target) const {
  for (PaneId id : kAllPanes) {
    if (panes[Index(id)] == target) return id;
  }
  return std::nullopt;
}

void TAMainForm::FormCreate() {
  ProgramFolder = QCoreApplication::applicationDirPath() + U("/");
  const QFileInfo program(QCoreApplication::applicationFilePath());
  SettingsFileName = program.absolutePath() + U("/") + program.completeBaseName() + U(".inf");
  ProductLongName = U(texts::kProductLongName);
  setWindowTitle(texts::CreationCaption());
  setFont(WindowFont());
  resize(1240, 826);
  setAcceptDrops(true);

  BuildMenus();
  BuildTopPanel();
  BuildPages();
  BuildStatusBar();
  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  SplitterMain = new QSplitter(Qt::Vertical, central);
  SplitterMain->setObjectName(U("SplitterMain"));
  SplitterMain->setHandleWidth(kSplitterWidth);
  SplitterMain->setChildrenCollapsible(false);
  auto* body = new QWidget(SplitterMain);
  auto* bodyLayout = new QVBoxLayout(body);
  bodyLayout->setContentsMargins(0, 0, 0, 0);
  bodyLayout->setSpacing(0);
  bodyLayout->addWidget(PanelMainBody);
  bodyLayout->addWidget(PGMain, 1);
  SplitterMain->addWidget(PanelMainTop);
  SplitterMain->addWidget(body);
  SplitterMain->setStretchFactor(1, 1);
  // A height the person drags the splitter to is the panel's height.
  connect(SplitterMain, &QSplitter::splitterMoved, this, [this](int position) { topHeight_ = position; });
  layout->addWidget(SplitterMain);
  setCentralWidget(central);

  RichEditExCreate();
  // The two work lists are plain string lists of the window.
  GlobalInitialize();
  TextInitialize();
  RadioGroupInitialize();
  MarkBoxInitialize();
  ListBoxInitialize();
  // The entity table: acted on by the tools work.
  PanelColorInitialize();
  StatusbarInitialize();
  BrowserInitialize();
  GUIEditorInitialize();
  CreateEditor();
}

void TAMainForm::BuildMenus() {
  QMenu* menu = nullptr;
  for (const MenuEntry& entry : MenuTable()) {
    const QString caption = U(entry.caption);
    QAction* item = nullptr;
    switch (entry.role) {
      case MenuRole::Bar:
        menu = menuBar()->addMenu(caption);
        menu->setObjectName(U(entry.name));
        item = menu->menuAction();
        break;
      case MenuRole::Spacer:
        item = menuBar()->addAction(caption);
        break;
      case MenuRole::Item:
      case MenuRole::Heading:
      case MenuRole::Check:
        item = menu->addAction(caption);
        break;
    }
    item->setObjectName(U(entry.name));
    actions_[U(entry.name)] = item;
    if (!entry.handler) continue;
    const Handler handler = entry.handler;
    if (entry.role == MenuRole::Check) {
      item->setCheckable(true);
      // The handler sets the mark itself, as a click on the item would: Qt's
      // own toggle is undone first.
      connect(item, &QAction::triggered, this, [this, item, handler] {
        item->setChecked(!item->isChecked());
        (this->*handler)();
      });
    } else {
      connect(item, &QAction::triggered, this, handler);
    }
  }
}

void TAMainForm::BuildToolBars() {
  ToolBar1 = new QToolBar(this);
  ToolBar1->setObjectName(U("ToolBar1"));
  ToolBar2 = new QToolBar(this);
  ToolBar2->setObjectName(U("ToolBar2"));
  for (QToolBar* bar : {ToolBar1, ToolBar2}) {
    bar->setIconSize(QSize(24, 24));
    bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    bar->setMovable(false);
    bar->setFloatable(false);
  }
  for (const ToolEntry& entry : ToolTable()) {
    QToolBar* bar = entry.bar == 1 ? ToolBar1 : ToolBar2;
    if (entry.separatorBefore) bar->addSeparator();
    QAction* button = bar->addAction(GlyphIcon(entry.glyph, entry.kind), U(entry.hint));
    button->setObjectName(U(entry.name));
    button->setToolTip(U(entry.hint));
    actions_[U(entry.name)] = button;
    connect(button, &QAction::triggered, this, entry.handler);
  }
}

void TAMainForm::BuildTopPanel() {
  BuildToolBars();
  auto* panel = new ClippingPanel(this);
  PanelMainTop = panel;
  PanelMainTop->setObjectName(U("PanelMainTop"));
  topContent_ = new QWidget(PanelMainTop);
  auto* layout = new QVBoxLayout(topContent_);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  ToolBar1->setFixedHeight(kToolBarHeight);
  layout->addWidget(ToolBar1);
  PanelSetting = new QWidget(topContent_);
  PanelSetting->setObjectName(U("PanelSetting"));
  BuildOptionsPanel(PanelSetting);
  layout->addWidget(PanelSetting);

  GroupBox3 = new QGroupBox(U(texts::kGuidanceCaption), topContent_);
  GroupBox3->setObjectName(U("GroupBox3"));
  auto* guidance = new QHBoxLayout(GroupBox3);
  auto* notes = new QLabel(U(texts::kGuidanceText), GroupBox3);
  notes->setAlignment(Qt::AlignTop | Qt::AlignLeft);
  notes->setWordWrap(true);
  guidance->addWidget(notes, 1);
  sbInstructionHidedesc = NewSpeedButton("sbInstructionHidedesc", texts::kGuidanceHideButton, GroupBox3);
  guidance->addWidget(sbInstructionHidedesc, 0, Qt::AlignTop);
  layout->addWidget(GroupBox3, 1);
  panel->SetContent(topContent_, kTopContentHeight);

  PanelMainBody = new QWidget(this);
  PanelMainBody->setObjectName(U("PanelMainBody"));
  PanelMainBody->setFixedHeight(kBodyPanelHeight);
  auto* bodyLayout = new QHBoxLayout(PanelMainBody);
  bodyLayout->setContentsMargins(0, 0, 0, 0);
  bodyLayout->addWidget(ToolBar2);

  connect(sbInstructionHidedesc, &QToolButton::clicked, this, &TAMainForm::sbInstructionHidedescClick);
}

void TAMainForm::BuildOptionsPanel(QWidget* parent) {
  auto* layout = new QVBoxLayout(parent);
  layout->setContentsMargins(4, 0, 4, 0);
  layout->setSpacing(0);

  // The search line: keyword box, the clicked hit entry, the marker boxes.
  auto* searchRow = new QWidget(parent);
  searchRow->setFixedHeight(kSearchRowHeight);
  auto* row = new QHBoxLayout(searchRow);
  row->setContentsMargins(0, 4, 0, 4);
  row->addWidget(new QLabel(U(texts::kFindLabel), searchRow));
  ComboBoxFindSrc = NewEditableCombo("ComboBoxFindSrc", searchRow);
  ComboBoxFindSrc->setMinimumWidth(320);
  row->addWidget(ComboBoxFindSrc);
  sbFindSrcpaste = NewSpeedButton("sbFindSrcpaste", texts::kFindPasteButton, searchRow);
  sbFindSrcpasteClear = NewSpeedButton("sbFindSrcpasteClear", texts::kFindClearButton, searchRow);
  row->addWidget(sbFindSrcpaste);
  row->addWidget(sbFindSrcpasteClear);
  LabelCommonLineNumber = new QLabel(searchRow);
  LabelCommonLineNumber->setObjectName(U("LabelCommonLineNumber"));
  LabelCommonLineNumber->setMinimumWidth(80);
  LabelCommonLineNumber->setFixedHeight(24);
  LabelCommonLineNumber->setFrameShape(QFrame::StyledPanel);
  row->addWidget(LabelCommonLineNumber);
  ComboBoxRepDst = NewEditableCombo("ComboBoxRepDst", searchRow);
  ComboBoxRepDst->hide();
  row->addSpacing(16);
  row->addWidget(new QLabel(U(texts::kRemoveStartLabel), searchRow));
  ComboBoxRemoveStartMark = NewEditableCombo("ComboBoxRemoveStartMark", searchRow);
  row->addWidget(ComboBoxRemoveStartMark);
  sbRemoveStartPasete = NewSpeedButton("sbRemoveStartPasete", texts::kMarkPasteButton, searchRow);
  sbRemoveStartClear = NewSpeedButton("sbRemoveStartClear", texts::kMarkClearButton, searchRow);
  row->addWidget(sbRemoveStartPasete);
  row->addWidget(sbRemoveStartClear);
  row->addWidget(new QLabel(U(texts::kRemoveEndLabel), searchRow));
  ComboBoxRmoveEndMark = NewEditableCombo("ComboBoxRmoveEndMark", searchRow);
  row->addWidget(ComboBoxRmoveEndMark);
  sbRemoveEndPasete = NewSpeedButton("sbRemoveEndPasete", texts::kMarkPasteButton, searchRow);
  sbRemoveEndClear = NewSpeedButton("sbRemoveEndClear", texts::kMarkClearButton, searchRow);
  row->addWidget(sbRemoveEndPasete);
  row->addWidget(sbRemoveEndClear);
  row->addStretch(1);
  layout->addWidget(searchRow);

  // The choices: radio groups, then two columns of option boxes, down to
  // the height that shows the tool bar and the options panel.
  auto* choices = new QWidget(parent);
  choices->setFixedHeight(kOptionsHeight - kToolBarHeight - kSearchRowHeight);
  auto* grid = new QHBoxLayout(choices);
  grid->setContentsMargins(0, 0, 0, 2);
  auto* radios = new QGridLayout();
  int radioColumn = 0;
  for (const RadioEntry& entry : RadioGroupTable()) {
    RadioGroup& group = this->*entry.group;
    group.box = new QGroupBox(U(entry.caption), choices);
    group.box->setObjectName(U(entry.name));
    group.buttons = new QButtonGroup(group.box);
    auto* items = new QGridLayout(group.box);
    items->setContentsMargins(6, 2, 6, 2);
    items->setVerticalSpacing(0);
    const int columns = entry.items.size() > 3 ? 2 : static_cast<int>(entry.items.size());
    for (std::size_t i = 0; i < entry.items.size(); ++i) {
      auto* button = new QRadioButton(U(entry.items[i]), group.box);
      group.buttons->addButton(button, static_cast<int>(i));
      items->addWidget(button, static_cast<int>(i) / columns, static_cast<int>(i) % columns);
    }
    // The open charset on its own; save charset and indent type share a column.
    if (radioColumn == 0) {
      radios->addWidget(group.box, 0, 0, 2, 1, Qt::AlignTop);
    } else {
      radios->addWidget(group.box, radioColumn - 1, 1, Qt::AlignTop);
    }
    ++radioColumn;
  }
  grid->addLayout(radios);
  QVBoxLayout* columns[2] = {new QVBoxLayout(), new QVBoxLayout()};
  for (QVBoxLayout* column : columns) column->setSpacing(0);
  for (const CheckEntry& entry : CheckBoxTable()) {
    auto* box = new QCheckBox(U(entry.caption), choices);
    box->setObjectName(U(entry.name));
    this->*entry.box = box;
    switch (entry.place) {
      case BoxPlace::Column1: columns[0]->addWidget(box); break;
      case BoxPlace::Column2: columns[1]->addWidget(box); break;
      case BoxPlace::Hidden: box->hide(); break;
      case BoxPlace::HiddenSet:
        box->setChecked(true);
        box->hide();
        break;
    }
  }
  for (QVBoxLayout* column : columns) {
    column->addStretch(1);
    grid->addLayout(column);
  }
  grid->addStretch(1);
  layout->addWidget(choices);

  connect(ComboBoxFindSrc->lineEdit(), &QLineEdit::returnPressed, this, &TAMainForm::ComboBoxFindSrcKeyDown);
  connect(sbFindSrcpaste, &QToolButton::clicked, this, &TAMainForm::sbFindSrcpasteClick);
  connect(sbFindSrcpasteClear, &QToolButton::clicked, this, &TAMainForm::sbFindSrcpasteClearClick);
  connect(sbRemoveStartPasete, &QToolButton::clicked, this, &TAMainForm::sbRemoveStartPaseteClick);
  connect(sbRemoveEndPasete, &QToolButton::clicked, this, &TAMainForm::sbRemoveEndPaseteClick);
  connect(sbRemoveStartClear, &QToolButton::clicked, this, &TAMainForm::sbRemoveStartClearClick);
  connect(sbRemoveEndClear, &QToolButton::clicked, this, &TAMainForm::sbRemoveEndClearClick);
  connect(ComboBoxRemoveStartMark->lineEdit(), &QLineEdit::returnPressed, this,
          &TAMainForm::ComboBoxRemoveStartMarkKeyDown);
  connect(ComboBoxRmoveEndMark->lineEdit(), &QLineEdit::returnPressed, this,
          &TAMainForm::ComboBoxRmoveEndMarkKeyDown);
  connect(CheckBoxLocalIndivlCSSColorDupIgnore, &QCheckBox::clicked, this,
          &TAMainForm::CheckBoxLocalIndivlCSSColorDupIgnoreClick);
}

void TAMainForm::BuildPages() {
  PGMain = new QTabWidget(this);
  PGMain->setObjectName(U("PGMain"));
  PGMainTab01IndentProcessing = NewTab(PGMain, "PGMainTab01IndentProcessing", texts::kPageIndentProcessing);
  PGMainTab02Tips = NewTab(PGMain, "PGMainTab02Tips", texts::kPageTips);
  PGmainTab03DiveComment = NewTab(PGMain, "PGmainTab03DiveComment", texts::kPageDivComment);
  for (const char* name : {"PGMainTab04Aux4", "PGMainTab05Aux5", "PGMainTab06Aux6"}) {
    NewTab(PGMain, name, "");
    PGMain->setTabVisible(PGMain->count() - 1, false);
  }
  for (auto [page, text] : {std::pair{PGMainTab02Tips, texts::kTipsText},
                            std::pair{PGmainTab03DiveComment, texts::kDivCommentText}}) {
    auto* label = new QLabel(U(text), page);
    label->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    label->setMargin(16);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    page->layout()->addWidget(label);
  }
  BuildWorkPage();
  connect(PGMain, &QTabWidget::currentChanged, this, &TAMainForm::PGMainChange);
}

void TAMainForm::BuildWorkPage() {
  SplitterWork = new QSplitter(Qt::Horizontal, PGMainTab01IndentProcessing);
  SplitterWork->setObjectName(U("SplitterWork"));
  SplitterWork->setHandleWidth(kSplitterWidth);
  PanelPGMainTab01Left = new QWidget(SplitterWork);
  PanelPGMainTab01Left->setObjectName(U("PanelPGMainTab01Left"));
  auto* leftLayout = new QVBoxLayout(PanelPGMainTab01Left);
  leftLayout->setContentsMargins(0, 0, 0, 0);
  PGZ0PGMainTab01Left = new QTabWidget(PanelPGMainTab01Left);
  PGZ0PGMainTab01Left->setObjectName(U("PGZ0PGMainTab01Left"));
  leftLayout->addWidget(PGZ0PGMainTab01Left);
  auto* right = new QWidget(SplitterWork);
  right->setObjectName(U("PanelPGMainTab01Right"));
  auto* rightLayout = new QVBoxLayout(right);
  rightLayout->setContentsMargins(0, 0, 0, 0);
  PGZ1PGMainTab01Right = new QTabWidget(right);
  PGZ1PGMainTab01Right->setObjectName(U("PGZ1PGMainTab01Right"));
  rightLayout->addWidget(PGZ1PGMainTab01Right);
  SplitterWork->addWidget(PanelPGMainTab01Left);
  SplitterWork->addWidget(right);
  SplitterWork->setStretchFactor(1, 1);
  PGMainTab01IndentProcessing->layout()->addWidget(SplitterWork);
  BuildLeftPages();
  BuildRightPages();
  // Resizing the left side only resets the margins; the splitter handlers
  // and the page changes of both sides do nothing else.
  connect(SplitterWork, &QSplitter::splitterMoved, this, [this] { DoSetMargin(); });
  SplitterWork->installEventFilter(this);
}

void TAMainForm::BuildLeftPages() {
  QTabWidget* tabs = PGZ0PGMainTab01Left;
  PGZ0PGMainTab01LeftTab01Main = NewTab(tabs, "PGZ0PGMainTab01LeftTab01Main", texts::kTabLocal);
  PGZ0PGMainTab01LeftTab02RefOrg = NewTab(tabs, "PGZ0PGMainTab01LeftTab02RefOrg", texts::kTabRefOrg);
  PGZ0PGMainTab01LeftTab03Browser = NewTab(tabs, "PGZ0PGMainTab01LeftTab03Browser", texts::kTabResultBrowser);
  PGZ0PGMainTab01LeftTab04ProfBrowser =
      NewTab(tabs, "PGZ0PGMainTab01LeftTab04ProfBrowser", texts::kTabAnalyserBrowser);
  PGZ0PGMainTab01LeftTab05Temp = NewTab(tabs, "PGZ0PGMainTab01LeftTab05Temp", texts::kTabTemp);
  PGZ0PGMainTab01LeftTab06TagCntList = NewTab(tabs, "PGZ0PGMainTab01LeftTab06TagCntList", texts::kTabTagCountLeft);
  PGZ0PGMainTab01LeftTab07Inner = NewTab(tabs, "PGZ0PGMainTab01LeftTab07Inner", texts::kTabInner);

  WebBrowserPGZ0PGMainTab01LeftTab03 = NewBrowserArea("WebBrowserPGZ0PGMainTab01LeftTab03", PGZ0PGMainTab01LeftTab03Browser);
  PGZ0PGMainTab01LeftTab03Browser->layout()->addWidget(WebBrowserPGZ0PGMainTab01LeftTab03);

  // The analyser page: its tool bar with the address box, then the editor.
  ToolBarGUI = new QToolBar(PGZ0PGMainTab01LeftTab04ProfBrowser);
  ToolBarGUI->setObjectName(U("ToolBarGUI"));
  ToolBarGUI->setIconSize(QSize(20, 20));
  QAction* collapse = ToolBarGUI->addAction(GlyphIcon("↕", ToolKind::View), U(texts::kAnalyserCollapse));
  collapse->setObjectName(U("tbGUICollapseExpand"));
  actions_[U("tbGUICollapseExpand")] = collapse;
  connect(collapse, &QAction::triggered, this, &TAMainForm::tbGUICollapseExpandClick);
  ToolBarGUI->addWidget(new QLabel(U(texts::kAnalyserUrlLabel), ToolBarGUI));
  EditGUIUrl = NewEditableCombo("EditGUIUrl", ToolBarGUI);
  EditGUIUrl->setMinimumWidth(400);
  ToolBarGUI->addWidget(EditGUIUrl);
  connect(EditGUIUrl->lineEdit(), &QLineEdit::returnPressed, this, &TAMainForm::EditGUIUrlKeyDown);
  PGZ0PGMainTab01LeftTab04ProfBrowser->layout()->addWidget(ToolBarGUI);
  Editor = NewBrowserArea("Editor", PGZ0PGMainTab01LeftTab04ProfBrowser);
  PGZ0PGMainTab01LeftTab04ProfBrowser->layout()->addWidget(Editor);

  CheckBoxIgnoreExtraComment = new QCheckBox(U(texts::kIgnoreExtraComment), PGZ0PGMainTab01LeftTab05Temp);
  CheckBoxIgnoreExtraComment->setObjectName(U("CheckBoxIgnoreExtraComment"));
  PGZ0PGMainTab01LeftTab05Temp->layout()->addWidget(CheckBoxIgnoreExtraComment);

  ListBoxTagCountListLeft = NewList("ListBoxTagCountListLeft", PGZ0PGMainTab01LeftTab06TagCntList);
  PGZ0PGMainTab01LeftTab06TagCntList->layout()->addWidget(ListBoxTagCountListLeft);
  ListBoxCSSColor = NewList("ListBoxCSSColor", PGZ0PGMainTab01LeftTab01Main);
  connect(ListBoxCSSColor, &QListWidget::itemClicked, this, &TAMainForm::ListBoxCSSColorClick);
}

void TAMainForm::BuildRightPages() {
  QTabWidget* tabs = PGZ1PGMainTab01Right;
  PGZ1PGMainTab01RightTab01Main = NewTab(tabs, "PGZ1PGMainTab01RightTab01Main", texts::kTabResult);
  PGZ1PGMainTab01RightTab04Work = NewTab(tabs, "PGZ1PGMainTab01RightTab04Work", texts::kTabWork);
  PGZ1PGMainTab01RightTab03Org = NewTab(tabs, "PGZ1PGMainTab01RightTab03Org", texts::kTabOrg);
  PGZ1PGMainTab01RightTab05Selected = NewTab(tabs, "PGZ1PGMainTab01RightTab05Selected", texts::kTabSelected);
  PGZ1PGMainTab01RightTab05Browser = NewTab(tabs, "PGZ1PGMainTab01RightTab05Browser", texts::kTabOriginalBrowser);
  PGZ1PGMainTab01RightTab06Native = NewTab(tabs, "PGZ1PGMainTab01RightTab06Native", texts::kTabNative);
  PGZ1PGMainTab01RightTab07HTMLTag = NewTab(tabs, "PGZ1PGMainTab01RightTab07HTMLTag", texts::kTabHtmlTag);
  tabs->setTabVisible(tabs->indexOf(PGZ1PGMainTab01RightTab07HTMLTag), false);
  PGZ1PGMainTab01RightTab08TagCount = NewTab(tabs, "PGZ1PGMainTab01RightTab08TagCount", texts::kTabTagCountRight);
  PGZ1PGMainTab01RightTab09Inner = NewTab(tabs, "PGZ1PGMainTab01RightTab09Inner", texts::kTabInnerRight);

  CheckBoxSelectedWordWrap = new QCheckBox(U(texts::kSelectedWordWrap), PGZ1PGMainTab01RightTab05Selected);
  CheckBoxSelectedWordWrap->setObjectName(U("CheckBoxSelectedWordWrap"));
  PGZ1PGMainTab01RightTab05Selected->layout()->addWidget(CheckBoxSelectedWordWrap);
  connect(CheckBoxSelectedWordWrap, &QCheckBox::clicked, this, &TAMainForm::CheckBoxSelectedWordWrapClick);

  WebBrowserPGZ1PGMainTab01RightTab05 = NewBrowserArea("WebBrowserPGZ1PGMainTab01RightTab05", PGZ1PGMainTab01RightTab05Browser);
  PGZ1PGMainTab01RightTab05Browser->layout()->addWidget(WebBrowserPGZ1PGMainTab01RightTab05);

  ListBoxTagCountListRight = NewList("ListBoxTagCountListRight", PGZ1PGMainTab01RightTab08TagCount);
  PGZ1PGMainTab01RightTab08TagCount->layout()->addWidget(ListBoxTagCountListRight);

  // The inner-HTML page: its indent button, the level box and the hint.
  auto* innerBar = new QWidget(PGZ1PGMainTab01RightTab09Inner);
  auto* innerRow = new QHBoxLayout(innerBar);
  innerRow->setContentsMargins(2, 2, 2, 2);
  btnDoInnerHTMLIndent = new QPushButton(U(texts::kInnerIndentButton), innerBar);
  btnDoInnerHTMLIndent->setObjectName(U("btnDoInnerHTMLIndent"));
  CheckBoxInnerRightRemoveLevel = new QCheckBox(U(texts::kInnerRightRemoveLevel), innerBar);
  CheckBoxInnerRightRemoveLevel->setObjectName(U("CheckBoxInnerRightRemoveLevel"));
  innerRow->addWidget(btnDoInnerHTMLIndent);
  innerRow->addWidget(CheckBoxInnerRightRemoveLevel);
  // The picture between the two halves of the hint is the analyser's
  // inner-HTML tool button.
  auto* hint = new QLabel(U(texts::kInnerHintBefore) + U("［ 内部HTML ］") + U(texts::kInnerHintAfter), innerBar);
  // The hint may be cut rather than widen the whole right side.
  hint->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  innerRow->addWidget(hint, 1);
  PGZ1PGMainTab01RightTab09Inner->layout()->addWidget(innerBar);
  connect(btnDoInnerHTMLIndent, &QPushButton::clicked, this, &TAMainForm::btnDoInnerHTMLIndentClick);
}

void TAMainForm::BuildStatusBar() {
  QStatusBar* bar = statusBar();
  bar->setObjectName(U("StatusBarGlobal"));
  bar->setSizeGripEnabled(true);
  for (std::size_t i = 0; i < StatusBarGlobal.size(); ++i) {
    auto* panel = new QLabel(bar);
    panel->setObjectName(U("StatusBarGlobalPanel") + QString::number(i));
    panel->setFixedWidth(texts::kStatusPanelWidths[i]);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    bar->addWidget(panel);
    StatusBarGlobal[i] = panel;
  }
}

// The host panel of a pane on its tab, with the pane's hit list to its right.
QWidget* TAMainForm::PaneHost(PaneId id, QWidget* tab, QWidget* besideHitList) {
  const PaneEntry& entry = PaneEntryOf(id);
  auto* host = new QWidget(tab);
  host->setObjectName(U(entry.hostName));
  auto* row = new QHBoxLayout(host);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(2);
  Pane* created = CreatePane(host, entry.wordWrap);
  created->setObjectName(U(entry.name));
  panes[Index(id)] = created;
  connect(created, &RichEditEx::Clicked, this, entry.click);
  row->addWidget(created, 1);
  if (entry.hitListName) {
    auto* side = new QVBoxLayout();
    side->setSpacing(2);
    HitList* hits = CreateHitList(host);
    hits->setObjectName(U(entry.hitListName));
    hits->setFixedWidth(kHitListWidth);
    hitLists[Index(id)] = hits;
    side->addWidget(hits, 1);
    if (besideHitList) {
      besideHitList->setParent(host);
      besideHitList->setFixedWidth(kHitListWidth);
      side->addWidget(besideHitList, 1);
    }
    row->addLayout(side);
    connect(hits, &QListWidget::itemClicked, this, entry.hitListClick);
  }
  tab->layout()->addWidget(host);
  return host;
}

void TAMainForm::RichEditExCreate() {
  const std::pair<PaneId, QWidget*> hosts[] = {
      {PaneId::Org, PGZ1PGMainTab01RightTab03Org},
      {PaneId::Native, PGZ1PGMainTab01RightTab06Native},
      {PaneId::Local, PGZ0PGMainTab01LeftTab01Main},
      {PaneId::Result, PGZ1PGMainTab01RightTab01Main},
      {PaneId::Selected, PGZ1PGMainTab01RightTab05Selected},
      {PaneId::RefOrg, PGZ0PGMainTab01LeftTab02RefOrg},
      {PaneId::Work, PGZ1PGMainTab01RightTab04Work},
      {PaneId::Temp, PGZ0PGMainTab01LeftTab05Temp},
      {PaneId::Inner, PGZ0PGMainTab01LeftTab07Inner},
      {PaneId::InnerRight, PGZ1PGMainTab01RightTab09Inner},
  };
  for (auto [id, tab] : hosts) PaneHost(id, tab, id == PaneId::Local ? ListBoxCSSColor : nullptr);
}

}  // namespace zelm::gui
