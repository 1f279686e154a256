#!/usr/bin/env bash
# The Debian package of a Linux build (made first by `cmake --build --preset linux --target package`):
# unpacked with dpkg-deb into a temporary root, it holds the program, the templates, the man page,
# the bash completion and the documentation, the same files as `cmake --install` puts down; its
# dependencies were computed from the binary; the unpacked tavolex finds its templates at
# ../share/tavolex/templates with no --templates and writes a template report of the samples; the
# completion completes the commands; lintian finds no error.
# Usage: tests/packaging/deb_test.sh [linux build folder]   (default build/linux)
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$top/build/linux}" && pwd)
fail() { echo "deb test: $*" >&2; exit 1; }

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
deb=$(ls "$build"/tavolex_"$version"_*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || fail "no tavolex_${version}_*.deb in $build: build the package target first"

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"

expected=(usr/bin/tavolex usr/share/bash-completion/completions/tavolex usr/share/doc/tavolex/README.md
  usr/share/doc/tavolex/copyright usr/share/doc/tavolex/changelog.gz)
[ -f "$top/packaging/tavolex.1.in" ] && expected+=(usr/share/man/man1/tavolex.1.gz)
while IFS= read -r -d '' template; do
  expected+=("usr/share/tavolex/templates/${template#"$top/templates/"}")
done < <(find "$top/templates" -path "$top/templates/src" -prune -o -type f ! -name make_templates.py ! -name '.*' -print0)
for f in "${expected[@]}"; do
  [ -f "$root/$f" ] || fail "the package lacks /$f"
done
[ ! -e "$root/usr/share/tavolex/templates/src" ] || fail "the package ships the templates' sources"

# `cmake --install` puts down the same files as the package.
cmake --install "$build" --prefix "$root/installed/usr" >/dev/null
diff <(cd "$root/installed" && find . -type f | sort) <(cd "$root" && find ./usr -type f | sort) >/dev/null ||
  fail "cmake --install and the package put down different files"
rm -rf "$root/installed"

depends=$(dpkg-deb -f "$deb" Depends)
[[ $depends == *libicu* && $depends == *libjpeg* && $depends == *libc6* ]] ||
  fail "Depends is not computed from the binary: '$depends'"
[ "$("$root/usr/bin/tavolex" --version)" = "tavolex $version" ] || fail "--version is not $version"
if [ -f "$root/usr/share/man/man1/tavolex.1.gz" ]; then
  zcat "$root/usr/share/man/man1/tavolex.1.gz" | grep -q "$version" || fail "the man page does not name $version"
fi

# The unpacked program with a fresh settings store and no template folder named: its installed
# template folder serves.
out="$root/reports"
mkdir -p "$out"
report=$(HOME="$root/home" XDG_CONFIG_HOME="$root/config" "$root/usr/bin/tavolex" --palm-folder "$top/samples/palm" \
  --user TanakaT --output "$out" report 2 --template 議題とToDo.htm) || fail "the unpacked tavolex wrote no report"
[ -s "$report" ] || fail "the report $report is missing or empty"
# The template expanded for the meeting: its title, in the report's Shift-JIS.
grep -qF "$(printf '新製品企画会議' | iconv -f UTF-8 -t CP932)" "$report" || fail "$report does not hold the meeting's title"

# The completion, loaded the way bash-completion loads it, completes the commands and options.
if [ -f /usr/share/bash-completion/bash_completion ]; then
  words=$(bash -c '. /usr/share/bash-completion/bash_completion; . "$1"
    COMP_WORDS=(tavolex rep); COMP_CWORD=1; COMP_LINE="tavolex rep"; COMP_POINT=${#COMP_LINE}; _tavolex tavolex rep tavolex
    echo "${COMPREPLY[*]}"
    COMP_WORDS=(tavolex report 2 --ki); COMP_CWORD=3; COMP_LINE="tavolex report 2 --ki"; COMP_POINT=${#COMP_LINE}
    _tavolex tavolex --ki 2; echo "${COMPREPLY[*]}"' _ "$root/usr/share/bash-completion/completions/tavolex")
  [ "$words" = $'report reports\n--kind' ] || fail "bash completion gave '$words'"
fi

if command -v lintian >/dev/null; then
  lintian --fail-on error "$deb" || fail "lintian reports errors on $deb"
else
  fail "lintian is not installed (scripts/setup installs it)"
fi
echo "deb test: $(basename "$deb") passed"
