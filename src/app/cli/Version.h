// The version of Zelm and the Git revision zelm-cli was built from, made
// at every build (cmake/Revision.cmake).
#pragma once

namespace zelm::cli {

extern const char* const kVersion;   // "0.1.0"
extern const char* const kRevision;  // `git describe --always --dirty`, "unknown" outside a Git checkout

}  // namespace zelm::cli
