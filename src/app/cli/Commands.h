// The subcommands of zelm-cli. Each lives in its own file.
#pragma once

#include "app/cli/CliSupport.h"

namespace zelm::cli {

int RunPassCommand(const Args& args);
int RunRtfCommand(const Args& args);
int RunTokensCommand(const Args& args);

}  // namespace zelm::cli
