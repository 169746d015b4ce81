// The ten text panes of the main window, in the order they are created.
#pragma once

#include <array>

namespace zelm::gui {

enum class PaneId {
  Org,         // original text after code conversion
  Native,      // raw text before code conversion
  Local,       // the text being worked on (hand-editable)
  Result,      // indentation result
  Selected,    // HTML of the element clicked in the analyser editor
  RefOrg,      // original kept for comparison (editable; saved separately)
  Work,        // intermediate text of the indentation
  Temp,        // check lists of the analysis tools
  Inner,       // inner HTML read from the analyser editor
  InnerRight,  // inner HTML (second reading) to be indented
};

inline constexpr int kPaneCount = 10;

inline constexpr std::array<PaneId, kPaneCount> kAllPanes = {
    PaneId::Org,    PaneId::Native, PaneId::Local, PaneId::Result, PaneId::Selected,
    PaneId::RefOrg, PaneId::Work,   PaneId::Temp,  PaneId::Inner,  PaneId::InnerRight,
};

inline constexpr int Index(PaneId id) { return static_cast<int>(id); }

}  // namespace zelm::gui
