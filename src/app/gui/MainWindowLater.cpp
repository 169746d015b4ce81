// Handlers whose controls exist and are connected, and whose work comes with
// the web side (browsers, analyser, external browser), the settings file,
// the </div> marker tools and the analysis, entity, whitespace and colour
// tools. Each says who acts on it; fill the body there.
#include "app/gui/MainWindow.h"

namespace zelm::gui {

// ---- Settings menu -------------------------------------------------------------
void TAMainForm::ManuSettingsSaveClick() {
  // Acted on by the settings work: SaveIniSettings(SettingsFileName).
}

// ---- Source window -------------------------------------------------------------------
void TAMainForm::tbNewWindowClick() {
  // Acted on by the tools work: the indented source in a window of its own.
}

// ---- Structure analysis ------------------------------------------------------------------
void TAMainForm::MenuToolCountBlockTagOriginalClick() {
  // Acted on by the tools work: element counts of the original.
}
void TAMainForm::MenuToolCountTagClick() {
  // Acted on by the tools work: element counts of Local.
}
void TAMainForm::btTestOnlyClick() {
  // Acted on by the tools work: element counts.
}
void TAMainForm::MenuToolTagLevelCountClick() {
  // Acted on by the tools work: level tags that do not start their line.
}
void TAMainForm::MenuToolTagLevelListExceptDivClick() {
  // Acted on by the tools work: level-tag lines other than </div>.
}
void TAMainForm::MenuToolMakeSkeltonClick() {
  // Acted on by the tools work: the div skeleton.
}
void TAMainForm::tbMakeSkeltonClick() {
  // Acted on by the tools work: the div skeleton.
}
void TAMainForm::MenuToolMakeSkeltonDetailClick() {
  // Acted on by the tools work: the nesting summary.
}

// ---- Whitespace, entities, CSS colours -------------------------------------------------------
void TAMainForm::MenuToolRemoveLeadingSpaceClick() {
  // Acted on by the tools work: leading half-width blanks of the selection.
}
void TAMainForm::MenuToolRemveZSPClick() {
  // Acted on by the tools work: leading full-width blanks of the selection.
}
void TAMainForm::MenuToolConvertAllChar2EntityClick() {
  // Acted on by the tools work: every character of Local to an entity.
}
void TAMainForm::MenuToolConvertSpelChar2EntityClick() {
  // Acted on by the tools work: < > & " of Local to entities.
}
void TAMainForm::tbMakecssColorListClick() {
  // Acted on by the tools work: the CSS colour list.
}
void TAMainForm::CheckBoxLocalIndivlCSSColorDupIgnoreClick() {
  // Acted on by the tools work: the CSS colour list without duplicates.
}

// ---- </div> comment markers -----------------------------------------------------------------
void TAMainForm::MenuTooBatchInsertResultDivAttrClick() {
  // Acted on by the marker work: insert marks into Result.
}
void TAMainForm::MenuTooBatchInsertOrgDivAttrClick() {
  // Acted on by the marker work: insert marks into RefOrg.
}
void TAMainForm::MenuToolBatchRemoveDontAppendTextClick() {
  // Acted on by the marker work: inverts the item's check mark.
}
void TAMainForm::MenuToolBatchRemoveResultDivAttrClick() {
  // Acted on by the marker work: remove marks from Result.
}
void TAMainForm::MenuToolBatchRemoveOrgDivAttrClick() {
  // Acted on by the marker work: remove marks from RefOrg.
}
void TAMainForm::MenuToolbatchRemoveDontAppendSpaceClick() {
  // Acted on by the marker work: inverts the item's check mark.
}
void TAMainForm::MenuToolBatchReplaceResultCommentClick() {
  // Acted on by the marker work: marks of Result to comments.
}
void TAMainForm::MenuToolReplaceOrgDivCommentClick() {
  // Acted on by the marker work: marks of RefOrg to comments.
}
void TAMainForm::MenuTooBatchReplaceDontAppendSpaceClick() {
  // Acted on by the marker work: inverts the item's check mark.
}
void TAMainForm::sbRemoveStartPaseteClick() {
  // Acted on by the marker work: the clipboard into the start mark box.
}
void TAMainForm::sbRemoveEndPaseteClick() {
  // Acted on by the marker work: the clipboard into the end mark box.
}
void TAMainForm::sbRemoveStartClearClick() {
  // Acted on by the marker work: empties the start mark box.
}
void TAMainForm::sbRemoveEndClearClick() {
  // Acted on by the marker work: empties the end mark box.
}
void TAMainForm::ComboBoxRemoveStartMarkKeyDown() {
  // Acted on by the marker work: Enter adds the start mark to its list.
}
void TAMainForm::ComboBoxRmoveEndMarkKeyDown() {
  // Acted on by the marker work: Enter adds the end mark to its list.
}

}  // namespace zelm::gui
