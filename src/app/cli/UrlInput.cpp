#include "app/cli/UrlInput.h"

#include <algorithm>
#include <filesystem>

#include "app/FileCommands.h"
#include "app/cli/CliSupport.h"
#include "indent/LevelPass.h"
#include "text/FileIO.h"
#include "web/WebUtil.h"

namespace zelm::cli {
namespace {

std::string LossWarning(const ConversionLoss& loss, std::size_t line, std::string_view what) {
  return std::to_string(loss.count) + " character" + (loss.count == 1 ? "" : "s") + " " + std::string(what) +
         " and became '?' (the first on line " + std::to_string(line) + ")";
}

// The emitted text of a downloaded page, encoded for output; throws as the
// conversion and the indent stage do.
JobOutcome IndentDownloadedPage(std::string downloaded, const IndentJobOptions& options) {
  JobOutcome outcome;
  if (options.emit == EmitText::Native) {
    outcome.pieces.push_back(std::move(downloaded));
    return outcome;
  }
  DownloadedPage page = DownloadedPageToShiftJis(downloaded, options.pipeline.OpenCharset);
  std::string().swap(downloaded);
  if (page.sjis.loss.any())
    outcome.warnings.push_back(LossWarning(page.sjis.loss, LineOfPosition(page.sjis.text, page.sjis.loss.firstPos),
                                           "have no Shift_JIS form"));
  PasteInputTexts input = PasteInputStage(page.sjis.text, options.pipeline);
  std::string text;
  switch (options.emit) {
    case EmitText::Native: break;
    case EmitText::Org: text = std::move(input.Org); break;
    case EmitText::Local: text = std::move(input.Local); break;
    case EmitText::Work: text = IndentStage(input.Local, options.pipeline, WantedIndentTexts::Work).Work; break;
    case EmitText::Result: text = IndentStage(input.Local, options.pipeline, WantedIndentTexts::Result).Result; break;
  }
  const CharCodeIndex encoding = SaveEncodingFor(options.outputCharset, page.declared, page.readAs);
  Converted encoded = EncodeForSaving(std::move(text), encoding);
  if (encoded.loss.any())
    outcome.warnings.push_back(LossWarning(encoded.loss, LineOfPosition(encoded.text, encoded.loss.firstPos),
                                           "have no form in the output encoding"));
  outcome.pieces.push_back(std::move(encoded.text));
  return outcome;
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
  } catch (const IndentationTooLarge& error) {
    PrintError(address + ": " + error.what() + "; '--indent none' indents it flush left");
    return kExitFailure;
  } catch (const EncodingError& error) {
    PrintError(address + ": cannot convert the text: " + error.what());
    return kExitFailure;
  }
  for (const std::string& warning : outcome.warnings) PrintError("warning: " + address + ": " + warning);
  const std::string& bytes = outcome.pieces.front();  // a downloaded page comes in one piece

  if (output.empty()) {
    if (WriteAllStdout(bytes)) return kExitOk;
    PrintError("cannot write standard output");
    return kExitFailure;
  }
  // A new output file named without an extension is saved as a page.
  std::error_code ignored;
  const std::string target = std::filesystem::exists(output, ignored) ? output : WithHtmlExtension(output);
  const SaveResult saved = SaveTextFile(bytes, target);
  if (!saved.ok()) {
    PrintError(target + ": " + saved.message);
    return kExitFailure;
  }
  return kExitOk;
}

}  // namespace zelm::cli
