// A downloaded page brought to Shift_JIS.
#include "encoding/AnyCodeToShiftJIS.h"
#include "encoding/CharsetLabel.h"
#include "web/WebUtil.h"

namespace zelm {

DownloadedPage DownloadedPageToShiftJis(std::string_view text, CharCodeIndex chosen, Unmappable unmappable) {
  DownloadedPage page;
  page.declared = GetCharCodeFromMeta(text);
  const CharCodeIndex code = chosen != kCharCodeAuto ? chosen : page.declared;
  if (code == kCharCodeAuto) {
    // No label: the automatic mode tries UTF-8, else keeps the bytes.
    AutoConversion automatic = ConvertAutomatically(text, unmappable);
    page.sjis = std::move(automatic.result);
    page.readAs = automatic.readAs;
  } else {
    page.sjis = AnyCodeToShiftJIS(text, code, unmappable);
    page.readAs = code;
  }
  return page;
}

}  // namespace zelm
