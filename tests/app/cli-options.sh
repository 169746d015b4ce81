# Sourced by the tests of the completions and manual pages: what zelm-cli's
# own help names, so that neither can fall behind the program.

# The commands of `zelm-cli --help`, one a line.
cli_commands() {
  "$1" --help | awk '/^Commands:/ {listing = 1; next} listing && /^  [a-z]/ {print $1} listing && /^$/ {exit}'
}

# The options of `zelm-cli COMMAND --help`: those on the lines of its
# option table (lines that start with blanks and a '-'), one a line.
cli_options() {
  "$1" "$2" --help | grep -E '^[[:space:]]+-' | grep -oE -- '(^|[[:space:],])--?[a-zA-Z][a-zA-Z0-9-]*' |
    tr -d ' ,\t' | sort -u
}
