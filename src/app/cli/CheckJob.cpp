#include "app/cli/CheckJob.h"

#include "encoding/JisConvert.h"
#include "encoding/Utf8Convert.h"
#include "text/LineDiff.h"

namespace zelm::cli {

PageCheck ComparePage(std::string_view page, const JobOutcome& outcome, const std::string& name, bool wantDiff) {
  PageCheck check;
  std::string_view rest = page;
  for (const std::string& piece : outcome.pieces) {
    if (!rest.starts_with(piece)) {
      check.changed = true;
      break;
    }
    rest.remove_prefix(piece.size());
  }
  check.changed = check.changed || !rest.empty();
  if (!check.changed || !wantDiff) return check;
  for (std::size_t at = page.find('\n'); at != std::string_view::npos && !check.bareLineFeeds; at = page.find('\n', at + 1))
    check.bareLineFeeds = at == 0 || page[at - 1] != '\r';
  std::string result;
  for (const std::string& piece : outcome.pieces) result += piece;
  check.diff = UnifiedDiff(ToUtf8ForDisplay(page, outcome.readAs), ToUtf8ForDisplay(result, outcome.written),
                           DiffHeaderName("a", name), DiffHeaderName("b", name), 3, &check.diffMinimal);
  return check;
}

JobOutcome CheckFile(const std::string& path, const IndentJobOptions& options, bool wantDiff, PageCheck& check) {
  PageReadOptions read;
  read.unchangedSince = options.unchangedSince;
  TextFileRead file = ReadTextFile(path, read);
  if (!file.ok()) {
    JobOutcome failed;
    failed.ok = false;
    failed.message = file.error->Describe();
    return failed;
  }
  JobOutcome outcome = IndentPageBytes(file.bytes, options);
  outcome.read = file.identity;
  if (outcome.ok) check = ComparePage(file.bytes, outcome, path, wantDiff);
  return outcome;
}

std::string ToUtf8ForDisplay(std::string_view bytes, CharCodeIndex encoding) {
  switch (encoding) {
    case kCharCodeUtf8:
    case kCharCodeUtf8N: return std::string(bytes);
    case kCharCodeEucJp: return SjisToUtf8(EucToSjis(bytes).text).text;
    case kCharCodeIso2022Jp: return SjisToUtf8(JisToSjis(bytes).text).text;
    default: return SjisToUtf8(bytes).text;
  }
}

std::string DiffHeaderName(std::string_view side, std::string_view path) {
  while (path.starts_with("./")) path.remove_prefix(2);
  while (path.starts_with('/')) path.remove_prefix(1);
  return std::string(side) + "/" + std::string(path);
}

}  // namespace zelm::cli
