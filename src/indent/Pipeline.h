// The indentation pipeline: the input stages that bring a file or pasted
// text to the one-tag-per-line Local text, and the indent stage that turns
// the Local text into the marked Work text and the indented Result.
//
// The GUI and zelm-cli call exactly these functions; they hold no state.
// Each stage makes a plan of the page (PagePlan.h) and runs it through the
// one executor (PlanExecutor.h): a large page goes through the passes in
// parts side by side, a small one as one part, with the same bytes.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "encoding/CharCode.h"
#include "encoding/Converted.h"
#include "indent/LevelPass.h"

namespace zelm {

// How far each level is indented: the values of the IndentType setting,
// stored as they are in the settings file and .zelmrc.
enum class IndentType : int {
  kTwoSpaces = kIndentTwoSpaces,
  kFourSpaces = kIndentFourSpaces,
  kTab = kIndentTab,
  kFlushLeft = kIndentFlushLeft,
};

// How a file's bytes are read: the values of the OpenCharset setting, which
// are the encoding unit's codes (CharCode.h).
enum class OpenCharset : CharCodeIndex {
  kAutomatic = kCharCodeAuto,
  kEucJp = kCharCodeEucJp,
  kUtf8 = kCharCodeUtf8,
  kShiftJis = kCharCodeShiftJis,
  kIso2022Jp = kCharCodeIso2022Jp,
  kUtf8N = kCharCodeUtf8N,  // UTF-8 without byte-order mark
};

// A stored value of the setting, or nullopt when it names no choice.
std::optional<IndentType> IndentTypeFromValue(int value);
std::optional<OpenCharset> OpenCharsetFromValue(int value);
constexpr int LevelIndentOf(IndentType type) { return static_cast<int>(type); }
constexpr CharCodeIndex CharCodeOf(OpenCharset charset) { return static_cast<CharCodeIndex>(charset); }

// The user's settings that steer the pipeline, named after their settings
// keys: what the texts are.
struct PipelineSettings {
  zelm::IndentType IndentType = zelm::IndentType::kTwoSpaces;
  zelm::OpenCharset OpenCharset = zelm::OpenCharset::kAutomatic;
  bool ConvertUpper2Lower = false;  // always normalise tag case
  bool DontPreprocessing = false;   // keep the source's own lines (no or light breaking)
  bool DivCommentConcat = false;    // join "</div>" with a following "<!--" line in the Result
  // How a character without an exact Shift_JIS form is brought in: "?"
  // (reported as lost), or a numeric character reference ("&#165;").
  Unmappable UnmappableAs = Unmappable::Question;
  // Every byte from an opening <pre or <textarea to its closing tag stays as
  // it was (no breaking, indentation, trimming or blank lines dropped); the
  // tags are placed and indented as usual.
  bool KeepPre = false;
};

// How one run of a stage goes about its work: none of these is a setting,
// and the texts are the same bytes whatever they say.
struct ExecutionHints {
  // The threads the passes over one large page may share.
  unsigned Threads = 1;
  // FileToResultStage may give a large page's Result in pieces
  // (IndentedFileTexts::ResultPieces), for a caller that writes it out and
  // needs no copy of the whole.
  bool ResultInPieces = false;
  // FileToResultStage refuses a text that holds a NUL byte
  // (IndentedFileTexts::HoldsNul) instead of indenting it. A large page is
  // looked through in the pass that first reads its parts.
  bool RefuseNulBytes = false;
  // For tests and fuzzing: every stage cuts its text into parts of about
  // this many bytes however small it is, and passes them side by side as a
  // large page's (0: only a page of 2 MB or more that may use several
  // threads is cut).
  std::size_t CutPartBytes = 0;
};

// What a stage is given: the user's settings and the hints of this run.
struct PipelineOptions : PipelineSettings, ExecutionHints {};

// The texts of the file input stage, named after the panes they fill.
struct FileInputTexts {
  std::string Native;   // the file's bytes, line ends normalised, before conversion
  std::string Org;      // converted to Shift_JIS, tag case and charset declaration fixed
  std::string RefOrg;   // the same as Org, for comparison and hand correction
  std::string Local;    // one tag per line: the input of the indent stage
  CharCodeIndex DetectedCode = 0;  // the charset the document declares
  CharCodeIndex ReadAs = 0;        // the encoding the text was converted from
  ConversionLoss loss;  // characters that had no exact Shift_JIS form; positions in the converted text
  std::size_t lossLine = 0;  // the line of Org that holds the first such character, 0 when none
};

// The file input stage on the loaded text (as LoadTextFile gives it).
FileInputTexts FileInputStage(std::string_view native, const PipelineOptions& options);

// Which texts of the file input stage a caller keeps; the others are left
// empty, so that a caller that writes one of them holds no more than it needs.
struct WantedInputTexts {
  bool Native = true;
  bool Org = true;
  bool RefOrg = true;
  bool Local = true;
};

// The same, taking the loaded text over: intermediate texts are freed as
// soon as the next pass has read them. When Native is not wanted, the file's
// bytes may come with any line ends: the first pass drops blank lines and
// ends every line with CR LF, which gives the same text as after line-end
// normalisation.
FileInputTexts FileInputStage(std::string native, const PipelineOptions& options, WantedInputTexts wanted);

// The file input stage and the indent stage at once, for a caller that
// wants only the Result: the same texts as IndentStage(FileInputStage(native,
// options, Local only).Local, options, Result), but a large page goes through
// every pass in parts side by side (see PipelineOptions::Threads). Throws
// IndentationTooLarge as the indent stage does.
struct IndentedFileTexts {
  std::string Result;
  // With ResultInPieces, a large page's Result may come here instead (Result
  // is then empty): the pieces joined are the Result.
  std::vector<std::string> ResultPieces;
  CharCodeIndex DetectedCode = 0;
  CharCodeIndex ReadAs = 0;
  ConversionLoss loss;
  std::size_t lossLine = 0;
  bool HoldsNul = false;  // refused, all else empty (see PipelineOptions::RefuseNulBytes)
};
IndentedFileTexts FileToResultStage(std::string native, const PipelineOptions& options);
// The same for bytes the caller keeps, such as a mapped file.
IndentedFileTexts FileToResultStage(std::string_view native, const PipelineOptions& options);

// Builds the pattern tables of every pass, which the first page to use them
// would otherwise build on its way: a caller about to share a large page
// over several threads builds them on another thread while it reads the
// page.
void PreparePassTables();

// The file a name refers to: the name itself when it contains ".htm",
// otherwise the name with ".html" appended if that file exists; nullopt
// when neither applies.
std::optional<std::string> ResolveHtmlFileName(const std::string& name);

// The texts of the paste input stage.
struct PasteInputTexts {
  std::string Native;  // the text as pasted
  std::string Org;     // charset declaration rewritten, tags normalised, blank lines removed
  std::string RefOrg;
  std::string Local;
};

// Pasted text is taken only when it holds a body tag ("<body" or "<BODY").
bool IsAcceptablePaste(std::string_view text);

// The paste input stage. Pasted text is Shift_JIS already: no conversion.
// An empty text gives empty texts.
PasteInputTexts PasteInputStage(std::string_view text, const PipelineOptions& options);

// The texts of the indent stage.
struct IndentTexts {
  std::string Work;    // every line behind its level marker
  std::string Result;  // the indented text
};

// Which texts of the indent stage are made; the other one is left empty.
enum class WantedIndentTexts { WorkAndResult, Work, Result };

// The indent stage on the Local text. The Result is the Work text with the
// markers of the level pass cut; the marker symbol pairs are not deleted
// from it, since once the markers are gone they could only be the author's
// own text. Throws IndentationTooLarge for pages nested too deeply to indent.
IndentTexts IndentStage(std::string_view local, const PipelineOptions& options,
                        WantedIndentTexts wanted = WantedIndentTexts::WorkAndResult);

// Both stages on inner HTML: light or full breaking, adjustment, levels;
// with `keepLevelMarkers` the marked text is returned as it is, without it
// every line without the marker the level pass put in front of it.
std::string InnerHtmlStage(std::string_view innerHtml, const PipelineOptions& options, bool keepLevelMarkers);

// The indent stage's Result (without the join of "</div>" lines with
// comments) handed to `take` in pieces, one for each part of about
// `partBytes` of the Local text (more when the threads ask for more), in
// order, each dropped once taken: the whole Result is never held. Each
// piece ends at a line end.
void IndentStageInPieces(std::string_view local, const PipelineOptions& options, std::size_t partBytes,
                         const std::function<void(std::string_view)>& take);

// Line adjustment alone; an empty text gives an empty result.
std::string DoInnerTextTMLGo(std::string_view text);

}  // namespace zelm
