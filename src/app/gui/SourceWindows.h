// The detached source windows: a window of its own showing a text in a
// coloured, line-numbered pane (TFormSource, the indented source), and the
// same with the keyword search of the panes (TFormSOTSource). Each has the
// button "この位置に、このｻｲｽﾞで出現させる" that keeps its present position
// and size in its section of the settings file; it opens there the next
// time it is opened.
//
// The pane shows a copy of the text: it is read-only, so that nobody edits
// there believing the main window's text changes with it.
#pragma once

#include <QWidget>

#include <functional>
#include <string>

#include "app/Settings.h"

class QComboBox;
class QLabel;
class QPushButton;
class QHBoxLayout;
class QVBoxLayout;

namespace zelm::gui {

class Asker;
class PaneHitList;
class RichEditEx;

// What a source window takes from the main window.
struct SourceWindowContext {
  Asker* asker = nullptr;                        // tells what went wrong
  std::function<std::string()> settingsFile;     // the settings file's path (local bytes)
  std::function<bool()> colour;                  // whether texts are coloured
  std::function<bool()> blackBeforeSearch;       // the search option "検索時テキスト全体を【 黒字 】にする"
};

class SourceWindowBase : public QWidget {
  Q_OBJECT

 public:
  // Opens the window (or brings it to the front) showing `text` (Shift_JIS),
  // coloured unless the context says not to; `fileName` goes into the
  // title. A window that was closed opens where its section of the settings
  // file places it.
  void ShowSource(std::string text, const QString& fileName);
  // Keeps the present position and size in the window's section of the
  // settings file (the button's action). Only into a settings file that
  // exists; otherwise the person is told why nothing was kept.
  void StorePlacement();
  // Position (of the frame) and size (of the inside) as they are kept.
  WindowPlacement Placement() const;
  // Places the window: each stored value that is greater than 0.
  void ApplyPlacement(const WindowPlacement& placement);

  RichEditEx* RichEditSource = nullptr;
  QPushButton* btnStorePlacement = nullptr;
  QLabel* LabelPlacement = nullptr;

 protected:
  SourceWindowBase(SourceWindow which, const char* title, SourceWindowContext context, QWidget* parent);
  // The rows above the pane, and the row of the button among them.
  QVBoxLayout* rows_ = nullptr;
  QHBoxLayout* bar_ = nullptr;
  // The row of the pane (subclasses add beside it).
  QHBoxLayout* body_ = nullptr;
  SourceWindowContext context_;

 private:
  SourceWindow which_;
  const char* title_;
};

// The indented source in a window of its own.
class TFormSource : public SourceWindowBase {
  Q_OBJECT

 public:
  TFormSource(SourceWindowContext context, QWidget* parent);
  QPushButton* btnOpenSearchWindow = nullptr;

 signals:
  // The person asks for the text in the window with the keyword search.
  void OpenSearchWindow();
};

// A source window with the keyword search of the panes: up to seven words,
// every occurrence marked, the hits listed beside the pane as line/column.
class TFormSOTSource : public SourceWindowBase {
  Q_OBJECT

 public:
  TFormSOTSource(SourceWindowContext context, QWidget* parent);
  // Searches the pane for the words of the keyword box (Enter in the box,
  // the search button).
  void Search();

  QComboBox* ComboBoxSOTFind = nullptr;
  QPushButton* btnSOTSearch = nullptr;
  PaneHitList* ListBoxSOTSource = nullptr;
  QLabel* LabelSOTLineNumber = nullptr;
};

}  // namespace zelm::gui
