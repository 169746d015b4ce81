#!/usr/bin/env bash
# The manual pages are clean roff (groff finds nothing to warn about), and
# zelm-cli(1) names every command and every option of the program's help.
#   man-pages-test.sh ZELM_CLI MAN_FOLDER
set -euo pipefail
cli=$1 folder=$2
source "$(dirname "$0")/cli-options.sh"
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

for page in "$folder"/*.1; do
  warnings=$(groff -man -Tutf8 -ww -z "$page" 2>&1) || fail "groff failed on $page"
  [ -z "$warnings" ] || fail "groff warns about $page: $warnings"
done

# The page's text with roff's escaped hyphens as plain ones.
text=$(sed 's/\\-/-/g' "$folder/zelm-cli.1")
for command in $(cli_commands "$cli"); do
  grep -qE "^\.SS \"?$command( |\"|$)" <<<"$text" || fail "zelm-cli(1) has no section for $command"
  for option in $(cli_options "$cli" "$command"); do
    grep -qE -- "(^|[^a-zA-Z-])${option}([^a-zA-Z-]|$)" <<<"$text" || fail "zelm-cli(1) does not name $command $option"
  done
done

[ "$failures" -eq 0 ] || exit 1
echo "manual pages: clean, every command and option named"
