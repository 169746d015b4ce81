// The settings reader and writer on any file: nothing crashes, an
// unchanged file is written back with only its line ends made CR LF, a
// written file reads back as what was written, and writing it again
// changes nothing.
//
// Input: the bytes of a settings file.
#include <string>

#include "FuzzSupport.h"
#include "app/IniText.h"
#include "app/Settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zelm;
  using namespace zelm::fuzz;
  const std::string_view file(reinterpret_cast<const char*>(data), size);

  const IniText ini(file);
  ZELM_CHECK(ini.Bytes() == JoinLines(SplitLines(file)), "an unchanged file changed");
  for (std::string_view key : {"Search", "Replace", "Url", "Top"}) {
    for (std::string_view section : {"Edit", "Analyze", "SOTSource"}) {
      const auto value = ini.Get(section, key);
      ZELM_CHECK(!value || value->size() <= kIniValueLimit, "a value longer than the limit");
    }
  }

  const Settings read = ReadSettings(file).settings;
  const std::string written = SettingsFileText(file, read);
  const Settings reread = ReadSettings(written).settings;
  ZELM_CHECK(reread == read, "the written file reads otherwise: " + Show(written, 400));
  ZELM_CHECK(SettingsFileText(written, read) == written, "writing the same settings again changed the file");
  return 0;
}
