// zelm-cli indent on a web address: the page is downloaded, brought to
// Shift_JIS by the charset it declares, and run through the paste input
// stage and the indent stage, as the analyser browser does.
#pragma once

#include <string>
#include <vector>

#include "app/cli/IndentJob.h"

namespace zelm::cli {

// Whether one of the inputs is an http:// or https:// address.
bool NamesWebAddress(const std::vector<std::string>& inputs);

// Indents the page at the one address among the inputs and writes it to
// standard output, or to `output` when that is not empty, in the page's own
// encoding unless the job names another. Returns the exit status: a failed
// download is a failure with its reason, an address among other inputs or
// with --in-place or --verify a usage error.
int IndentWebAddress(const std::vector<std::string>& inputs, const std::string& output, bool inPlace,
                     const IndentJobOptions& job);

}  // namespace zelm::cli
