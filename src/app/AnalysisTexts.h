// The window's texts of the structure checks and the entity list, in
// Shift_JIS: the engine lays the results out, these are the words.
#pragma once

#include "indent/StructureReport.h"
#include "text/HtmlEntities.h"

namespace zelm {

// The labels of the tag-count lists, the check pane's line lists, the div
// skeleton and its summary, with the check pane's message when no line has
// a level tag elsewhere than at its start.
const StructureLabels& WindowStructureLabels();

// The entity list page, declared as Shift_JIS.
const EntityPageLabels& WindowEntityPageLabels();

}  // namespace zelm
