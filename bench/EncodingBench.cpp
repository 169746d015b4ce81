#include <map>

#include "BenchSupport.h"
#include "encoding/AnyCodeToShiftJIS.h"
#include "encoding/CharsetLabel.h"
#include "encoding/JisConvert.h"
#include "encoding/Utf8Convert.h"
#include "text/StringUtil.h"

namespace zelm::bench {
namespace {

// The generated Shift_JIS page of state.range(0) megabytes in another
// encoding, made once per size; its charset label names that encoding.
template <typename Convert>
const std::string& PageIn(int megabytes, std::string_view label, Convert convert) {
  static std::map<std::pair<int, std::string>, std::string> pages;
  const auto key = std::make_pair(megabytes, std::string(label));
  auto it = pages.find(key);
  if (it == pages.end()) {
    const std::string relabelled = ReplaceAllText(PageOfMegabytes(megabytes), "charset=Shift_JIS", label);
    it = pages.emplace(key, convert(relabelled).text).first;
  }
  return it->second;
}

const std::string& EucPage(int mb) {
  return PageIn(mb, "charset=EUC-JP", [](std::string_view text) { return SjisToEuc(text); });
}
const std::string& Utf8Page(int mb) { return PageIn(mb, "charset=utf-8", SjisToUtf8); }
const std::string& JisPage(int mb) {
  return PageIn(mb, "charset=iso-2022-jp", [](std::string_view text) { return SjisToJis(text); });
}
int Megabytes(const benchmark::State& state) { return static_cast<int>(state.range(0)); }

void BM_GetCharCodeFromMeta(benchmark::State& state) {
  RunOverPage(state, [](const std::string& page) { return GetCharCodeFromMeta(page); });
}
ZELM_PAGE_BENCHMARK(BM_GetCharCodeFromMeta);

void BM_AutoShiftJisPage(benchmark::State& state) {
  RunOverPage(state, [](const std::string& page) { return ConvertAutomatically(page).result.text; });
}
ZELM_PAGE_BENCHMARK(BM_AutoShiftJisPage);

void BM_AutoEucJpPage(benchmark::State& state) {
  RunOver(state, EucPage(Megabytes(state)), [](const std::string& page) { return AnyCodeToShiftJIS(page, 0).text; });
}
ZELM_PAGE_BENCHMARK(BM_AutoEucJpPage);

void BM_AutoUtf8Page(benchmark::State& state) {
  RunOver(state, Utf8Page(Megabytes(state)), [](const std::string& page) { return AnyCodeToShiftJIS(page, 0).text; });
}
ZELM_PAGE_BENCHMARK(BM_AutoUtf8Page);

void BM_AutoIso2022JpPage(benchmark::State& state) {
  RunOver(state, JisPage(Megabytes(state)), [](const std::string& page) { return AnyCodeToShiftJIS(page, 0).text; });
}
ZELM_PAGE_BENCHMARK(BM_AutoIso2022JpPage);

void BM_Utf8NToShiftJis(benchmark::State& state) {
  RunOver(state, Utf8Page(Megabytes(state)), [](const std::string& page) { return AnyCodeToShiftJIS(page, 5).text; });
}
ZELM_PAGE_BENCHMARK(BM_Utf8NToShiftJis);

void BM_SjisToUtf8(benchmark::State& state) {
  RunOverPage(state, [](const std::string& page) { return SjisToUtf8(page).text; });
}
ZELM_PAGE_BENCHMARK(BM_SjisToUtf8);

void BM_SjisToJis(benchmark::State& state) {
  RunOverPage(state, [](const std::string& page) { return SjisToJis(page).text; });
}
ZELM_PAGE_BENCHMARK(BM_SjisToJis);

void BM_SjisToEuc(benchmark::State& state) {
  RunOverPage(state, [](const std::string& page) { return SjisToEuc(page).text; });
}
ZELM_PAGE_BENCHMARK(BM_SjisToEuc);

}  // namespace
}  // namespace zelm::bench
