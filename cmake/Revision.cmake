# Writes the version and the Git revision of the source tree into a small
# source file, at every build, and only when they changed: the program is
# then relinked, and nothing else is rebuilt.
#   cmake -DSOURCE_DIR=... -DOUTPUT=... -DVERSION=... -P Revision.cmake
set(revision "unknown")
find_package(Git QUIET)
if(GIT_FOUND)
  # Only the source tree's own checkout counts, not one it happens to lie in.
  execute_process(COMMAND "${GIT_EXECUTABLE}" rev-parse --show-toplevel
                  WORKING_DIRECTORY "${SOURCE_DIR}" OUTPUT_VARIABLE top RESULT_VARIABLE failed
                  OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  if(NOT failed)
    get_filename_component(top "${top}" REALPATH)
    get_filename_component(source "${SOURCE_DIR}" REALPATH)
  endif()
  if(NOT failed AND top STREQUAL source)
    execute_process(COMMAND "${GIT_EXECUTABLE}" describe --always --dirty
                    WORKING_DIRECTORY "${SOURCE_DIR}" OUTPUT_VARIABLE described RESULT_VARIABLE failed
                    OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    if(NOT failed AND NOT described STREQUAL "")
      set(revision "${described}")
    endif()
  endif()
endif()

set(content "// Made by cmake/Revision.cmake at every build; not to be edited.
#include \"app/cli/Version.h\"

namespace zelm::cli {
const char* const kVersion = \"${VERSION}\";
const char* const kRevision = \"${revision}\";
}  // namespace zelm::cli
")
if(EXISTS "${OUTPUT}")
  file(READ "${OUTPUT}" old)
endif()
if(NOT old STREQUAL content)
  file(WRITE "${OUTPUT}" "${content}")
endif()
