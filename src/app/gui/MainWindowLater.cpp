// Handlers whose controls exist and are connected, and whose work comes with
// the web side (browsers, analyser, external browser), the settings file,
// the </div> marker tools and the analysis, entity, whitespace and colour
// tools. Each says who acts on it; fill the body there.
#include "app/gui/MainWindow.h"

namespace zelm::gui {

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
void TAMainForm::MenuToolEntityListClick() {
  // Acted on by the tools work: the entity table in the result browser.
}
void TAMainForm::tbMakecssColorListClick() {
  // Acted on by the tools work: the CSS colour list.
}
void TAMainForm::CheckBoxLocalIndivlCSSColorDupIgnoreClick() {
  // Acted on by the tools work: the CSS colour list without duplicates.
}

}  // namespace zelm::gui
