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

// ---- Whitespace, entities, CSS colours -------------------------------------------------------
void TAMainForm::MenuToolEntityListClick() {
  // Acted on by the tools work: the entity table in the result browser.
}

}  // namespace zelm::gui
