#!/usr/bin/env bash
# The hooks, run as Git and the pre-commit framework run them: the Git
# pre-commit hook of docs/git-hooks refuses a commit of a page that is not
# indented and lets it through once it is; the entries of
# .pre-commit-hooks.yaml check and re-indent the pages named, leaving out
# what .zelmignore names.
#   hooks-test.sh ZELM_CLI SOURCE_DIR
set -euo pipefail
cli=$1 source=$(cd "$2" && pwd)
export PATH="$(cd "$(dirname "$cli")" && pwd):$PATH"
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
repo=$(mktemp -d)
trap 'rm -rf "$repo"' EXIT
cd "$repo"

page=$'<html><head><meta http-equiv="Content-Type" content="text/html; charset=Shift_JIS"></head>\r\n<body><div><p>x</p></div></body></html>\r\n'
mkdir -p site/vendor
printf '%s' "$page" >site/index.html
printf '%s' "$page" >site/vendor/lib.html
printf 'vendor/\n' >site/.zelmignore

git init -q .
git config user.name test
git config user.email test@example.org
cp "$source/docs/git-hooks/pre-commit" .git/hooks/pre-commit
git add .
if git commit -q -m pages 2>"$repo/err"; then
  fail "the Git hook let a page that is not indented through"
fi
grep -q "site/index.html is not indented" "$repo/err" || fail "the Git hook did not name the page: $(cat "$repo/err")"
grep -q "vendor" "$repo/err" && fail "the Git hook checked a page .zelmignore leaves out: $(cat "$repo/err")"
zelm-cli indent --in-place site/index.html
git add site/index.html
git commit -q -m pages 2>"$repo/err" || fail "the Git hook refused an indented page: $(cat "$repo/err")"

# The framework runs an entry with the names of the staged pages it matches.
entry() { sed -n "/^- id: $1\$/,/^- id:/ s/^  entry: //p" "$source/.pre-commit-hooks.yaml"; }
files=$(sed -n 's/^  files: //p' "$source/.pre-commit-hooks.yaml" | sort -u)
[ "$files" = '\.html?$' ] || fail "the hooks match other files: $files"
printf '%s' "$page" >site/index.html
if out=$($(entry zelm-check) site/index.html site/vendor/lib.html); then
  fail "zelm-check passed a page that is not indented"
fi
[ "$out" = "site/index.html" ] || fail "zelm-check listed: $out"
$(entry zelm-indent) site/index.html site/vendor/lib.html || fail "zelm-indent failed"
$(entry zelm-check) site/index.html site/vendor/lib.html || fail "zelm-check failed after zelm-indent"
printf '%s' "$page" >"$repo/.git/page"
cmp -s site/vendor/lib.html "$repo/.git/page" || fail "zelm-indent rewrote a page .zelmignore leaves out"
cmp -s site/index.html "$repo/.git/page" && fail "zelm-indent did not re-indent the page"

[ "$failures" -eq 0 ] || exit 1
echo "hooks: the Git hook and both pre-commit hooks work"
