// The control tables of the main window: every menu item, tool button,
// option box, radio group and pane with its name, caption and handler. The
// layout builds the controls from them; the captions are the program's own
// texts.
#pragma once

#include <QIcon>
#include <span>

#include "app/gui/MainWindow.h"

namespace zelm::gui {

enum class MenuRole {
  Bar,      // a menu of the menu bar; the items after it belong to it
  Spacer,   // a menu-bar entry of blanks without items
  Item,     // a command
  Check,    // a command with a check mark
  Heading,  // a caption that groups the items below it; no action
};

struct MenuEntry {
  const char* name;
  const char* caption;
  MenuRole role;
  Handler handler;  // null for bars, spacers and headings without one
};
std::span<const MenuEntry> MenuTable();

// The face of a tool button; the hint is its caption.
enum class ToolKind { File, Process, View, Search, Web, Tool };

struct ToolEntry {
  const char* name;
  const char* hint;
  const char* glyph;  // the short text drawn on the button's icon
  ToolKind kind;
  int bar;  // 1 main tool bar, 2 second tool bar
  bool separatorBefore;
  Handler handler;
};
std::span<const ToolEntry> ToolTable();
// The icon of a tool button: its glyph on a rounded square of its kind's
// colour.
QIcon GlyphIcon(const char* glyph, ToolKind kind);

// Where an option box goes.
enum class BoxPlace { Column1, Column2, Hidden, HiddenSet };

struct CheckEntry {
  const char* name;
  const char* caption;
  QCheckBox* TAMainForm::*box;
  BoxPlace place;
};
std::span<const CheckEntry> CheckBoxTable();

struct RadioEntry {
  const char* name;
  const char* caption;
  RadioGroup TAMainForm::*group;
  std::span<const char* const> items;
};
std::span<const RadioEntry> RadioGroupTable();

struct PaneEntry {
  PaneId id;
  const char* name;         // "RichEditOrg"
  const char* hostName;     // the panel that holds it
  const char* hitListName;  // null for the pane without a hit list
  bool wordWrap;            // at creation
  Handler click;
  Handler hitListClick;
};
// In the order the panes are created.
std::span<const PaneEntry> PaneTable();
const PaneEntry& PaneEntryOf(PaneId id);

}  // namespace zelm::gui
