#include "app/cli/UrlInput.h"

#include <algorithm>

#include "app/cli/CliSupport.h"
#include "web/WebUtil.h"

namespace zelm::cli {
namespace {

// A downloaded page (its bytes as served) through the paste input stage and
// the indent stage, as the analyser browser takes it: brought to Shift_JIS
// by the charset it declares (or pipeline.OpenCharset), and encoded for
// output in it unless the job names another encoding. Throws EncodingError
// when the system cannot convert at all.
JobOutcome IndentDownloadedPage(std::string downloaded, const IndentJobOptions& options) {
  JobOutcome outcome;
  if (options.emit == EmitText::Native) {
    outcome.pieces.push_back(std::move(downloaded));
    return outcome;
  }
  const DownloadedPage page =
      DownloadedPageToShiftJis(downloaded, CharCodeOf(options.pipeline.OpenCharset), options.pipeline.UnmappableAs);
  std::string().swap(downloaded);  // its memory back before the stages run
  Report(outcome, ReportLoss(page.sjis.loss, page.sjis.text, kCharCodeShiftJis));
  const CharCodeIndex encoding = SaveEncodingFor(options.outputCharset, page.declared, page.readAs);
  return IndentShiftJisText(std::move(outcome), page.sjis.text, encoding, options);
}

}  // namespace

bool NamesWebAddress(const std::vector<std::string>& inputs) {
  return std::any_of(inputs.begin(), inputs.end(), [](const std::string& input) { return IsWebUrl(input); });
}

int IndentWebAddress(const std::vector<std::string>& inputs, const std::string& output, bool inPlace,
                     const IndentJobOptions& job) {
  auto usage = [](const std::string& message) {
    PrintError(message + " (see 'zelm-cli indent --help')");
    return kExitUsage;
  };
  if (inputs.size() != 1) return usage("an address is indented alone: name one address and nothing else");
  if (inPlace) return usage("--in-place has no file to replace for an address: use -o FILE");
  if (job.verify) return usage("--verify checks files, not addresses");
  const std::string& address = inputs.front();

  DownloadResult download = DownloadUrlText(address);
  if (!download.ok()) {
    PrintError(address + ": " + download.message);
    return kExitFailure;
  }
  if (download.text.empty()) {
    PrintError(address + ": the page is empty: nothing to indent");
    return kExitFailure;
  }
  JobOutcome outcome;
  try {
    outcome = IndentDownloadedPage(std::move(download.text), job);
  } catch (const EncodingError& error) {
    PrintError(address + ": cannot convert the text: " + error.what());
    return kExitFailure;
  }
  PrintWarnings(address, outcome.warnings, outcome.notes);
  if (outcome.ok && output.empty() && !WriteAllStdout(outcome.pieces)) {
    PrintError("cannot write standard output");
    return kExitFailure;
  }
  if (outcome.ok && !output.empty()) WriteOutcome(outcome, WithHtmlExtensionIfNew(output), /*inPlace=*/false, job.force);
  if (!outcome.ok) {
    PrintError(address + ": " + outcome.message);
    return kExitFailure;
  }
  return kExitOk;
}

}  // namespace zelm::cli
