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

// ---- External browser and new-window buttons ---------------------------------------
void TAMainForm::tbSaveLocalIEOpenClick() {
  // Acted on by the web work: the opened page in the default browser.
}
void TAMainForm::tbOpeIEWithRefOrgClick() {
  // Acted on by the web work: RefOrg in the default browser.
}
void TAMainForm::tbResultTempFileOpenIEClick() {
  // Acted on by the web work: "ZZ_tmp.html" in the default browser.
}
void TAMainForm::tbOpenByIEClick() {
  // Acted on by the web work: an existing page in the default browser.
}
void TAMainForm::EditGUIUrlKeyDown() {
  // Acted on by the web work: loads the address into the analyser.
}

// ---- Whitespace, entities, CSS colours -------------------------------------------------------
void TAMainForm::MenuToolEntityListClick() {
  // Acted on by the tools work: the entity table in the result browser.
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
