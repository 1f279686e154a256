#!/usr/bin/env bash
# The Windows installer of a Windows build (made first by `cmake --build --preset windows --target
# package`), under Wine in a fresh prefix of its own:
#  1. installed silently into a chosen folder: the program, the template folder, the uninstaller,
#     the Start-menu shortcut, the entry in the installed programs, "InstallPath" and "Setup" = 1;
#     no conduit libraries unless the build was given the vendor's;
#  2. the installed tavolex.exe, with the stand-ins of the tests where a user's Palm Desktop and the
#     vendor's libraries would be, runs the first-run steps at its first start: the thank-you
#     message, "Setup" = 0, the conduit copied and registered, Palm Desktop's entry integrated;
#  3. the installed command line, typed as `tavolex` in a new Command Prompt (tavolex.com on the
#     PATH): its version, the sample folder's meetings and a search for a Japanese word, its UTF-8
#     read back from redirected files, and a calendar and a workbook from a folder of a Japanese name
#     into files of Japanese names;
#  4. uninstalled silently: the installed files, the shortcut, the entry and the PATH's folder are
#     gone; a report in the output folder, a template the user added and the settings stay.
# With --screenshots it also writes build/screenshot-installer.png (the installer's first page) and
# build/screenshot-installed-about.png (the installed program's About box).
# Usage: tests/packaging/installer_test.sh [--screenshots] [windows build folder]
set -Eeuo pipefail
# A step that fails outside a check of its own still says which one it was.
# (In a function, the line it was called from comes first.)
trap 's=$?; echo "installer test: line ${BASH_LINENO[0]:-0}>$LINENO: \"$BASH_COMMAND\" exited with status $s" >&2' ERR
top=$(cd "$(dirname "$0")/../.." && pwd)
screenshots=
if [ "${1:-}" = --screenshots ]; then screenshots=1; shift; fi
build=$(cd "${1:-$top/build/windows}" && pwd)
fail() { echo "installer test: $*" >&2; exit 1; }

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
vendor=$(sed -n 's/^TAVOLEX_VENDOR_DLL_DIR:PATH=//p' "$build/CMakeCache.txt")
setup="$build/Tavolex-$version-setup.exe"
tool="$build/tests/packaging/window_tool.exe"
for f in "$setup" "$tool" "$build/tests/win32/UserData.dll" "$build/tests/win32/condinst.dll"; do
  [ -f "$f" ] || fail "missing $f: build the package, window_tool and the stand-in libraries first"
done

work="$build/installer-test"
rm -rf "$work"
mkdir -p "$work"
export WINEPREFIX="$work/wineprefix" WINEDEBUG=-all LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
export WINEDLLOVERRIDES="mscoree,mshtml="
display=":$((200 + RANDOM % 200))"
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY="$display"
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  kill "$xvfb" >/dev/null 2>&1 || true
}
trap cleanup EXIT
sleep 1
wineboot -i >/dev/null 2>&1
quiet() { "$@" >/dev/null 2>&1; }
settle() { timeout 120 wineserver -w || fail "Wine programs still running after 120 s"; }
# The data of one registry value as `reg query` prints it.
value() { wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | sed -nE "s/^ +$2 +REG_[A-Z_]+ +//p"; }
expect() {  # key, name, expected data
  local got
  got=$(value "$1" "$2")
  [ "$got" = "$3" ] || fail "$1 \"$2\" is '$got', expected '$3'"
}
shot() {
  [ -n "$screenshots" ] || return 0
  sleep 3
  import -window root "$top/build/screenshot-$1.png"
  echo "wrote build/screenshot-$1.png"
}

app='HKCU\Software\Brenmark\Tavolex'
entry='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tavolex'
drive="$WINEPREFIX/drive_c"
folder='C:\Tavolex Apps\Tavolex'
installed="$drive/Tavolex Apps/Tavolex"
menu="$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/Tavolex"

if [ -n "$screenshots" ]; then
  wine explorer /desktop=Setup,1024x768 "$setup" >/dev/null 2>&1 &
  sleep 5
  shot installer
  wineserver -k >/dev/null 2>&1 || true
  sleep 1
fi

# 1. Silent installation into a chosen folder.
# /D= takes the rest of the command line unquoted, as Windows passes it: through cmd.
quiet wine cmd /c "$(winepath -w "$setup") /S /D=$folder"
settle
shipped=(tavolex.exe tavolex.com)
while IFS= read -r -d '' template; do
  shipped+=("templates/${template#"$top/templates/"}")
done < <(find "$top/templates" -path "$top/templates/src" -prune -o -type f ! -name make_templates.py ! -name '.*' -print0)
for f in "${shipped[@]}" uninstall.exe; do
  [ -f "$installed/$f" ] || fail "the installation lacks $f"
done
[ ! -e "$installed/templates/src" ] || fail "the installation holds the templates' sources"
if [ -z "$vendor" ]; then
  for f in condinst.dll TavolexConduit.dll UserData.dll MAPI32.DLL; do
    [ -z "$(find "$installed" -iname "$f")" ] || fail "the installer ships $f without the vendor's folder"
  done
fi
[ -f "$menu/Tavolex.lnk" ] || fail "no Start-menu shortcut"
strings -a -el "$menu/Tavolex.lnk" | grep -qi 'tavolex apps\\tavolex\\tavolex.exe' ||
  fail "the shortcut does not point at the installed program"
expect "$entry" DisplayName Tavolex
expect "$entry" DisplayVersion "$version"
expect "$entry" UninstallString "\"$folder\\uninstall.exe\""
expect "$entry" InstallLocation "$folder"
expect "$app" InstallPath "$folder\\"
expect "$app" Setup 0x1
environment='HKLM\SYSTEM\CurrentControlSet\Control\Session Manager\Environment'
grep -qF ";$folder" <<<";$(value "$environment" Path)" || fail "the PATH lacks the install folder: $(value "$environment" Path)"

# 2. The first start with Palm Desktop and the conduit libraries in place.
cp -r "$top/samples/palm" "$work/palm"
mkdir -p "$work/hotsync"
cp "$build/tests/win32/UserData.dll" "$work/hotsync/"
printf '1\tTanakaT\tTanakaT\n2\tSuzukiH\tSuzukiH\n' > "$work/hotsync/UserData.txt"
if [ -z "$vendor" ]; then
  cp "$build/tests/win32/condinst.dll" "$installed/"
  printf 'conduit\n' > "$installed/TavolexConduit.dll"
fi
core='HKCU\Software\U.S. Robotics\Pilot Desktop\Core'
component='HKCU\Software\U.S. Robotics\Pilot Desktop\Tavolex'
quiet wine reg add "$core" /v Path /d "$(winepath -w "$work/palm")" /f
quiet wine reg add "$core" /v HotSyncPath /d "$(winepath -w "$work/hotsync")\\HotSync.exe" /f
quiet wine reg add "$component" /v Creator /t REG_DWORD /d 0x54766c78 /f
quiet wine reg add "$app" /v UserPath /d 'TanakaT\' /f

wine "$folder\\tavolex.exe" >/dev/null 2>&1 &
message=$(wine "$tool" answer 90 2>/dev/null | tr -d '\r') || fail "no message at the first start"
[ "$(sed -n 1p <<<"$message")" = "ご使用ありがとうございます" ] || fail "the first start said: $message"
wine "$tool" close 60 >/dev/null 2>&1 || fail "the program's window did not open after the first-run message"
settle
expect "$app" Setup 0x0
expect "$app" Version 2.7.1
grep -qF "InstallConduit|$folder\\|Tvlx|$(winepath -w "$work/hotsync")|TavolexConduit.dll|" "$installed/condinst.log" ||
  fail "the conduit was not registered: $(cat "$installed/condinst.log" 2>/dev/null)"
[ -f "$work/hotsync/tavolexconduit.dll" ] || fail "the conduit was not copied into the HotSync folder"
expect "$component" Integrate 0x1
expect "$component" Module "$folder\\tavolex.exe"

if [ -n "$screenshots" ]; then
  quiet wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Tavolex /f
  quiet wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Tavolex /d 1024x768 /f
  wine explorer /desktop=Tavolex,1024x768 "$folder\\tavolex.exe" >/dev/null 2>&1 &
  for _ in $(seq 1 30); do quiet wine "$build/desktop/screenshot_driver.exe" wait && break; sleep 1; done
  quiet wine "$build/desktop/screenshot_driver.exe" post 104
  shot installed-about
  wineserver -k >/dev/null 2>&1 || true
  sleep 1
fi

# The user's own files: a report in the output folder, a template of their own in the program's
# template folder. The stand-ins placed above are the test's, not the installer's: they go.
output=$(value "$app\\TanakaT" OutputPath)
[ -n "$output" ] || fail "the first start wrote no output folder"
output_unix=$(winepath -u "$output")
printf '<html>minutes</html>\r\n' > "$output_unix/kept.htm"
printf '<html>{ TITLE }</html>\r\n' > "$installed/templates/mine.htm"
if [ -z "$vendor" ]; then
  rm "$installed/condinst.dll" "$installed/TavolexConduit.dll" "$installed/condinst.log"
fi

# 3. The command line from a new Command Prompt, its output redirected into files.
got=$(wine cmd /c tavolex --version 2>/dev/null | tr -d '\r')
[ "$got" = "tavolex $version" ] || fail "tavolex --version in a Command Prompt said '$got'"
palm=$(winepath -w "$work/palm")
quiet wine cmd /c "tavolex --palm-folder $palm --user TanakaT meetings > C:\meetings.txt"
grep -q $'^1\t週次定例会議\t' "$drive/meetings.txt" || fail "tavolex meetings wrote: $(head -c 300 "$drive/meetings.txt")"
quiet wine cmd /c "tavolex --palm-folder $palm --user TanakaT search 予算 > C:\search.txt"
grep -q '予算レビュー' "$drive/search.txt" || fail "tavolex search 予算 wrote: $(head -c 300 "$drive/search.txt")"
# Folders and files of Japanese names, given as options.
cp -r "$work/palm" "$work/パーム"
quiet wine cmd /c "tavolex --palm-folder $(winepath -w "$work/パーム") --user TanakaT calendar -o C:\議事録.ics"
grep -q 'SUMMARY:週次定例会議' "$drive/議事録.ics" || fail "no calendar written from a folder of a Japanese name into a file of one"
# The workbook's own file code (libxlsxwriter's) with a Japanese name: a zip whose sheets openpyxl reads.
quiet wine cmd /c "tavolex --palm-folder $(winepath -w "$work/パーム") --user TanakaT xlsx C:\議事録.xlsx"
/usr/bin/python3 -c "import openpyxl, sys; sys.exit(openpyxl.load_workbook(sys.argv[1])['ミーティング']['E2'].value != '週次定例会議')" \
  "$drive/議事録.xlsx" || fail "no workbook written into a file of a Japanese name"
settle

# 4. Silent uninstallation.
quiet wine "$folder\\uninstall.exe" /S
settle
for f in "${shipped[@]}" uninstall.exe; do
  [ ! -e "$installed/$f" ] || fail "the uninstaller left $f"
done
[ ! -e "$menu" ] || fail "the uninstaller left the Start-menu folder"
quiet wine reg query "$entry" && fail "the uninstaller left the installed-programs entry"
[ -f "$output_unix/kept.htm" ] || fail "the uninstaller removed a report of the output folder"
[ -f "$installed/templates/mine.htm" ] || fail "the uninstaller removed a template the user added"
expect "$app" InstallPath "$folder\\"
grep -qF ";$folder" <<<";$(value "$environment" Path)" && fail "the uninstaller left the install folder in the PATH"
echo "installer test: Tavolex-$version-setup.exe passed"
