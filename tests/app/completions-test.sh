#!/usr/bin/env bash
# The bash and zsh completions of zelm-cli load without errors and offer
# every command and every option that the commands' --help names.
#   completions-test.sh ZELM_CLI COMPLETIONS_FOLDER
set -euo pipefail
cli=$1 folder=$2
source "$(dirname "$0")/cli-options.sh"
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

bash -n "$folder/zelm-cli.bash" || fail "bash cannot parse zelm-cli.bash"
errors=$(source "$folder/zelm-cli.bash" 2>&1 >/dev/null) || fail "sourcing zelm-cli.bash failed"
[ -z "$errors" ] || fail "sourcing zelm-cli.bash printed: $errors"
source "$folder/zelm-cli.bash"
complete -p zelm-cli | grep -qF -- "-F _zelm_cli" || fail "no completion is registered for zelm-cli"

# What bash offers for the words given (the last one being completed).
offered() {
  COMP_WORDS=("$@")
  COMP_CWORD=$(($# - 1))
  COMPREPLY=()
  _zelm_cli 2>/dev/null
  printf '%s\n' "${COMPREPLY[@]}"
}

# Does bash offer `want` for the words given? (The list is taken whole
# first: grep -q leaving a pipe early would fail it under pipefail.)
offers() {
  local want=$1 list
  shift
  list=$(offered "$@")
  grep -qx -- "$want" <<<"$list"
}

commands=$(offered zelm-cli "")
for command in $(cli_commands "$cli"); do
  grep -qx "$command" <<<"$commands" || fail "bash does not offer the command $command"
  grep -qE "'$command:" "$folder/_zelm-cli" || fail "zsh does not offer the command $command"
  options=$(offered zelm-cli "$command" -)
  for option in $(cli_options "$cli" "$command"); do
    grep -qx -- "$option" <<<"$options" || fail "bash does not offer $command $option"
    grep -qE -- "(^|[^a-zA-Z-])${option}([]=+[,}]|$)" "$folder/_zelm-cli" || fail "zsh does not know $command $option"
  done
done
# A few values and names.
offers tab zelm-cli indent --indent t || fail "bash does not offer --indent tab"
offers utf-8 zelm-cli indent --output-charset = u || fail "bash does not offer --output-charset=utf-8"
offers remove zelm-cli divmark re || fail "bash does not offer divmark remove"

# zsh parses the function and its completion system takes it for zelm-cli.
zsh -n "$folder/_zelm-cli" || fail "zsh cannot parse _zelm-cli"
dump=$(mktemp -d)
trap 'rm -rf "$dump"' EXIT
registered=$(zsh -f -c "fpath=('$folder' \$fpath); autoload -U compinit; compinit -u -d '$dump/compdump'; print -r -- \${_comps[zelm-cli]}" 2>&1)
[ "$registered" = "_zelm-cli" ] || fail "zsh's compinit does not take _zelm-cli for zelm-cli: $registered"

[ "$failures" -eq 0 ] || exit 1
echo "completions: every command and option offered by bash and zsh"
