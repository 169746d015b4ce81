// The subcommands of zelm-cli. Each lives in its own file.
#pragma once

#include "app/cli/CliSupport.h"

namespace zelm::cli {

// zelm-cli indent FILE|FOLDER...: both pipeline stages on pages.
int RunIndentCommand(const Args& args);
// zelm-cli pass NAME: one engine pass on standard input.
int RunPassCommand(const Args& args);
// zelm-cli detect FILE...: declared and automatic encoding of each file.
int RunDetectCommand(const Args& args);
// zelm-cli convert: standard input from one encoding to another.
int RunConvertCommand(const Args& args);
// zelm-cli rtf: the syntax-coloured RTF document of standard input.
int RunRtfCommand(const Args& args);
// zelm-cli analyze REPORT FILE...: element counts, misplaced level tags and
// the div nesting of pages.
int RunAnalyzeCommand(const Args& args);
// zelm-cli tokens: the colouring scanner's tokens, one per line.
int RunTokensCommand(const Args& args);
// zelm-cli config FILE...: the .zelmrc and the choices that apply to pages.
int RunConfigCommand(const Args& args);
// zelm-cli divmark insert|remove|replace FILE...: comment labels of closing div tags.
int RunDivmarkCommand(const Args& args);

}  // namespace zelm::cli
