#!/usr/bin/env bash
# Runs two zelm-cli binaries on the same pages with the same options and
# compares what they give, byte for byte: standard output (or the file -o
# writes), standard error and the exit status. For checking that a change
# to the engine's shape keeps every byte.
#
#   bench/compare-outputs.sh OLD_ZELM_CLI NEW_ZELM_CLI [--sizes "1 5 20"] [--threads "1 2 3 4"] [--keep]
#
# Pages: the real pages (tests/data/pages, tests/data/pipeline/input) as
# they are and in Shift_JIS; pages of each size from bench/make_pages.py and
# from bench/PageGenerator; and variants of the middle-sized page that take
# the engine's other roads: UTF-8 and EUC-JP, lone line feeds and blank
# lines, a charset declaration in the body, <pre> and <textarea> stretches.
# Every option set runs with every thread count (-j), files and --paste.
# Prints one line per difference and a summary; exits 1 on any difference.
set -euo pipefail
export LC_ALL=C
cd "$(dirname "$0")/.."
root=$PWD

if [ $# -lt 2 ]; then sed -n '2,15p' "$0" | sed 's/^# \{0,1\}//'; exit 2; fi
old=$(realpath "$1")
new=$(realpath "$2")
shift 2
sizes="1 5 20"
threads="1 2 3 4"
keep=0
while [ $# -gt 0 ]; do
  case $1 in
    --sizes) sizes=$2; shift 2 ;;
    --threads) threads=$2; shift 2 ;;
    --keep) keep=1; shift ;;
    *) echo "compare-outputs.sh: unknown option $1" >&2; exit 2 ;;
  esac
done
for cli in "$old" "$new"; do [ -x "$cli" ] || { echo "compare-outputs.sh: $cli is not a program" >&2; exit 2; }; done

scratch=$(mktemp -d)
[ "$keep" -eq 1 ] && echo "compare-outputs.sh: working in $scratch" >&2 || trap 'rm -rf "$scratch"' EXIT
pages=$scratch/pages
mkdir -p "$pages" "$scratch/out"

# ---- Pages -----------------------------------------------------------------

cp tests/data/pages/*.html "$pages/"
for page in tests/data/pipeline/input/*.html; do cp "$page" "$pages/pipeline-$(basename "$page")"; done
python3 bench/make_pages.py --pages tests/data/pages --out "$scratch/made" --real-out "$scratch/real" \
  --megabytes $sizes >/dev/null
for page in "$scratch"/made/*.html; do cp "$page" "$pages/made-$(basename "$page")"; done
for page in "$scratch"/real/*.html; do cp "$page" "$pages/sjis-$(basename "$page")"; done
c++ -std=c++20 -O2 -o "$scratch/make-page" bench/MakePage.cpp bench/PageGenerator.cpp
for size in $sizes; do "$scratch/make-page" $((size << 20)) 7 "$pages/generated-${size}mb.html"; done

# Variants of the middle-sized page (the one of 5 MB when there is one).
middle=$(set -- $sizes; [ $# -ge 2 ] && echo "$2" || echo "$1")
base=$pages/made-page-${middle}mb.html
sed 's/charset=Shift_JIS/charset=UTF-8/' "$base" | iconv -c -f CP932 -t UTF-8 >"$pages/variant-utf8.html"
sed 's/charset=Shift_JIS/charset=EUC-JP/' "$base" | iconv -c -f CP932 -t EUC-JP >"$pages/variant-eucjp.html"
python3 - "$base" "$pages" <<'EOF'
import pathlib, sys
base = pathlib.Path(sys.argv[1]).read_bytes()
out = pathlib.Path(sys.argv[2])
lines = base.split(b"\r\n")
# Lone line feeds, blank lines and blanks at line ends every few hundred lines.
mixed = b"".join(line + (b"\n" if i % 301 == 0 else b"\r\n \r\n\t\r\n" if i % 499 == 0 else b"\r\n")
                 for i, line in enumerate(lines))
(out / "variant-line-ends.html").write_bytes(mixed)
# A charset declaration in the middle of the body.
middle = len(lines) // 2
declared = lines[:middle] + [b'<meta http-equiv="Content-Type" content="text/html; charset=shift_jis">'] + lines[middle:]
(out / "variant-declaration.html").write_bytes(b"\r\n".join(declared))
# Preformatted stretches: blank lines, leading blanks and tags inside.
stretch = (b"<PRE class=x>\r\n  indented <b>bold</b>\r\n\r\n\r\n\tTAB   </PRE>",
           b"<textarea name=t>\r\n line one\r\n\r\n<div>not a tag</div>\r\n</textarea>")
kept = [line + (b"\r\n" + stretch[i // 997 % 2] if i % 997 == 500 else b"") for i, line in enumerate(lines)]
(out / "variant-pre.html").write_bytes(b"\r\n".join(kept))
EOF

# ---- Option sets -------------------------------------------------------------

option_sets=(
  ""
  "--indent 4" "--indent tab" "--indent none"
  "--lower" "--no-preprocess" "--div-comment-concat" "--keep-pre"
  "--lower --no-preprocess --div-comment-concat --keep-pre --indent tab"
  "--lower --div-comment-concat"
  "--emit native" "--emit org" "--emit local" "--emit work"
  "--emit work --keep-pre --div-comment-concat" "--emit local --no-preprocess --lower"
  "--output-charset shift_jis" "--output-charset utf-8" "--unmappable ncr" "--output-charset utf-8 --unmappable ncr"
  "--open-charset shift_jis" "--open-charset euc-jp" "--open-charset utf-8" "--open-charset iso-2022"
  "--open-charset utf-8n"
  "--verify" "--verify --keep-pre" "--verify --div-comment-concat"
  "-o"
  "--paste" "--paste --no-preprocess" "--paste --keep-pre --emit work" "--paste --emit org --lower"
  "--paste --div-comment-concat --indent none"
)

# One run: run CLI TAG PAGE JOBS OPTIONS... ; leaves TAG.out, TAG.err, TAG.rc.
run() {
  local cli=$1 tag=$2 page=$3 jobs=$4
  shift 4
  local out=$scratch/out/$tag
  local -a options=("$@")
  set +e
  if [ "${options[0]:-}" = "-o" ]; then
    rm -f "$out.file.html"
    "$cli" indent -q -j "$jobs" "${options[@]:1}" "$page" -o "$out.file.html" >"$out.out" 2>"$out.err"
    echo $? >"$out.rc"
    cat "$out.file.html" >>"$out.out" 2>/dev/null
  elif [ "${options[0]:-}" = "--paste" ]; then
    "$cli" indent -q -j "$jobs" "${options[@]}" <"$page" >"$out.out" 2>"$out.err"
    echo $? >"$out.rc"
  else
    "$cli" indent -q -j "$jobs" "${options[@]}" "$page" >"$out.out" 2>"$out.err"
    echo $? >"$out.rc"
  fi
  set -e
}

runs=0
differences=0
bytes=0
for page in "$pages"/*.html; do
  name=$(basename "$page")
  for set in "${option_sets[@]}"; do
    read -r -a options <<<"$set"
    for jobs in $threads; do
      run "$old" old "$page" "$jobs" "${options[@]}"
      run "$new" new "$page" "$jobs" "${options[@]}"
      runs=$((runs + 1))
      bytes=$((bytes + $(stat -c %s "$scratch/out/new.out")))
      what=()
      cmp -s "$scratch/out/old.out" "$scratch/out/new.out" || what+=("output")
      cmp -s "$scratch/out/old.err" "$scratch/out/new.err" || what+=("messages")
      cmp -s "$scratch/out/old.rc" "$scratch/out/new.rc" || what+=("exit status $(cat "$scratch/out/old.rc") -> $(cat "$scratch/out/new.rc")")
      if [ ${#what[@]} -gt 0 ]; then
        differences=$((differences + 1))
        echo "DIFFERENT: $name [${set:-default}] -j $jobs: ${what[*]}"
      fi
    done
  done
  echo "compare-outputs.sh: $name done ($runs runs so far, $differences different)" >&2
done

page_count=$(ls "$pages"/*.html | wc -l)
echo "compare-outputs.sh: $runs runs of each binary ($page_count pages, ${#option_sets[@]} option sets, -j $threads), $((bytes >> 20)) MB of output compared: $differences different"
[ "$differences" -eq 0 ]
