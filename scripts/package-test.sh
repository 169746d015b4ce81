#!/usr/bin/env bash
# Builds the Debian package from the release tree in build/ (scripts/build.sh
# first) and checks it: every file it must hold, its dependencies, and
# zelm-cli run from a root the package is unpacked in.
set -euo pipefail
cd "$(dirname "$0")/.."

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "package-test: $*" >&2; exit 1; }

(cd build && cpack -G DEB -B "$work/out" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log" >&2; fail "cpack failed"; }
shopt -s nullglob
debs=("$work"/out/zelm_*_amd64.deb)
[ ${#debs[@]} -eq 1 ] || fail "expected one zelm_<version>_amd64.deb, found: ${debs[*]:-none}"
deb=${debs[0]}
version=$(basename "$deb" _amd64.deb)
version=${version#zelm_}

listing=$(dpkg-deb -c "$deb" | awk '{print $NF}')
for file in \
  ./usr/bin/zelm-cli \
  ./usr/bin/zelm \
  ./usr/share/applications/zelm.desktop \
  ./usr/share/icons/hicolor/scalable/apps/zelm.svg \
  ./usr/share/man/man1/zelm-cli.1.gz \
  ./usr/share/man/man1/zelm.1.gz \
  ./usr/share/bash-completion/completions/zelm-cli \
  ./usr/share/zsh/vendor-completions/_zelm-cli; do
  grep -qxF "$file" <<<"$listing" || fail "$file is not in the package"
done

depends=$(dpkg-deb -f "$deb" Depends)
for package in libc6 libqt6widgets6 libcurl4 libqt6svg6 qt6-qpa-plugins; do
  grep -qE "(^|, )$package( |,|$)" <<<"$depends" || fail "the package does not depend on $package: $depends"
done
for field in Maintainer Description Section; do
  [ -n "$(dpkg-deb -f "$deb" "$field")" ] || fail "the package has no $field"
done

# Unpacked into a root of its own, zelm-cli runs and knows its version.
dpkg -x "$deb" "$work/root"
printed=$("$work/root/usr/bin/zelm-cli" --version)
[[ $printed =~ ^zelm-cli\ ${version//./\\.}\ \(revision\ [^\ ]+\)$ ]] || fail "unexpected version line: $printed"
"$work/root/usr/bin/zelm-cli" indent samples/sample.html >"$work/indented.html" || fail "zelm-cli from the package cannot indent"
[ -s "$work/indented.html" ] || fail "zelm-cli from the package wrote nothing"
QT_QPA_PLATFORM=offscreen "$work/root/usr/bin/zelm" --version >/dev/null 2>&1 || fail "zelm from the package does not start"

# Every dependency can be installed here (when apt knows the archive).
if compgen -G "/var/lib/apt/lists/*_Packages*" >/dev/null; then
  apt-get install --simulate --no-install-recommends "$deb" >"$work/apt.log" 2>&1 ||
    { cat "$work/apt.log" >&2; fail "apt cannot install the package's dependencies"; }
fi
echo "package-test: $(basename "$deb") holds every file and runs from an unpacked root ($printed)"
