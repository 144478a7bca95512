#!/usr/bin/env bash
# The Debian package as a user gets it: built by CPack from the build tree it is run in,
# unpacked into a scratch root, and the installed programs run from there with a fresh home.
# Nothing may be written under the install prefix while they run.
#
# package_test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$(realpath "$1")
source_dir=$(realpath "$2")

passed=0
failed=0
check() {  # check "what" command...
  local what=$1
  shift
  if "$@" >"$work/last.log" 2>&1; then
    passed=$((passed + 1))
    # PACKAGE_TEST_VERBOSE=1 shows what the passing checks printed too.
    [ -z "${PACKAGE_TEST_VERBOSE:-}" ] || { echo "ok: $what"; sed 's/^/    /' "$work/last.log"; }
  else
    failed=$((failed + 1))
    echo "FAILED: $what"
    sed 's/^/    /' "$work/last.log" | tail -n 30
  fi
}

work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
mkdir -p "$work/out" "$work/root" "$work/home" "$work/work" "$work/xdg"

# Gzip instead of xz: the sanitizer build's programs are large and the test only unpacks them.
cpack --config "$build/CPackConfig.cmake" -B "$work/out" \
  -D CPACK_DEBIAN_COMPRESSION_TYPE=gzip >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; exit 1; }
debs=("$work"/out/ql40win_*_amd64.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { echo "no single ql40win_*_amd64.deb"; ls "$work/out"; exit 1; }
deb=${debs[0]}
version=$(dpkg-deb -f "$deb" Version)

# The control data: dependencies worked out from the binaries, descriptions, no scripts.
control_ok() {
  local depends description
  depends=$(dpkg-deb -f "$deb" Depends)
  description=$(dpkg-deb -f "$deb" Description)
  echo "Depends: $depends"
  [[ $depends == *libc6* && $depends == *libqt6widgets6* ]] &&
    [ "$(wc -l <<<"$description")" -gt 5 ] && [[ $description == *dialout* ]] &&
    [ "$(dpkg-deb -f "$deb" Section)" = electronics ] &&
    [ "$(basename "$deb")" = "ql40win_${version}_amd64.deb" ]
}
check "control fields" control_ok
no_scripts() {
  mkdir -p "$work/control"
  dpkg-deb -e "$deb" "$work/control"
  [ -z "$(ls "$work/control" | grep -v -x -e control -e md5sums)" ]
}
check "no maintainer scripts" no_scripts
lintian_clean() {
  # Tags that only the sanitizer build of the test gets are no concern of the package.
  lintian --fail-on error --suppress-tags hardening-no-fortify-functions "$deb"
}
check "lintian: no errors" lintian_clean

dpkg -x "$deb" "$work/root"
prefix=$work/root/usr
snapshot() { (cd "$work/root" && find . -printf '%p %y %m %s %T@\n' | sort); }
snapshot >"$work/before"

export HOME=$work/home
unset XDG_CONFIG_HOME XDG_DATA_HOME
cd "$work/work"

# The command line, with the installed default band files.
check "ql40 --version" bash -c '[ "$("$1"/bin/ql40 --version)" = "ql40 $2" ] &&
  [ "$("$1"/bin/ql40-radiosim --version)" = "ql40-radiosim $2" ]' _ "$prefix" "$version"
installed_defaults() {
  local band file
  for band in vhf:defaultv:VHF vhf-lo:defaultl:"VHF Lo Band" uhf:defaultu:UHF; do
    IFS=: read -r name file label <<<"$band"
    file=$prefix/share/ql40win/$file.q40
    [ "$(stat -c %a "$file")" = 444 ] || return 1
    [[ $("$prefix/bin/ql40" info "$file") =~ Band:\ *$label$'\n' ]] || return 1
    "$prefix/bin/ql40" new --band "$name" -o "$work/work/$name.q40" || return 1
    cmp "$file" "$work/work/$name.q40" || return 1
  done
}
check "ql40 new/info and the installed default files" installed_defaults

# Desktop entry, metadata, manual pages and the file type as a desktop sees them.
check "desktop-file-validate" desktop-file-validate "$prefix/share/applications/ql40win.desktop"
check "appstreamcli validate" appstreamcli validate --no-net \
  "$prefix"/share/metainfo/*.metainfo.xml
man_pages() {
  local page
  for page in ql40 ql40win ql40-radiosim; do
    [ -z "$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$prefix/share/man/man1/$page.1.gz" \
      2>&1 >/dev/null)" ] || return 1
  done
}
check "manual pages without warnings" man_pages
every_option_documented() {
  # Each command and option of the programs' own help is in their manual page (where a
  # manual page writes every '-' as '\-').
  local sub opt
  zcat "$prefix/share/man/man1/ql40.1.gz" | sed 's/\\-/-/g' >"$work/ql40.1"
  zcat "$prefix/share/man/man1/ql40-radiosim.1.gz" | sed 's/\\-/-/g' >"$work/ql40-radiosim.1"
  for sub in $("$prefix/bin/ql40" --help | awk '/^Subcommands:/{on=1;next} on&&/^  [a-z]/{print $1}'); do
    grep -q -E "^\.B[IR]? \"?$sub[ \"]" "$work/ql40.1" || { echo "ql40 $sub is not in ql40(1)"; return 1; }
  done
  for opt in $("$prefix/bin/ql40-radiosim" --help | grep -o -E -- ' --[a-z-]+' | sort -u); do
    grep -q -E -- "^\.B[IR]? .*$opt( |\"|$)" "$work/ql40-radiosim.1" ||
      { echo "ql40-radiosim $opt is not in ql40-radiosim(1)"; return 1; }
  done
}
check "every command and option in the manual pages" every_option_documented
completion() {
  # Completing "ql40 " offers every command; "ql40 download --v" its verify option.
  bash -c 'shopt -s extglob; PATH=$1/bin:$PATH; source "$1/share/bash-completion/completions/ql40"
    comp() { COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); COMPREPLY=(); _ql40; echo "${COMPREPLY[*]}"; }
    commands=$(ql40 --help | awk "/^Subcommands:/{on=1;next} on&&/^  [a-z]/{print \$1}" | xargs)
    echo "commands: $(comp ql40 "")"; echo "download --v: $(comp ql40 download --v)"
    [ "$(comp ql40 "")" = "$commands" ] && [ "$(comp ql40 download --v)" = "--verify" ]' _ "$prefix"
}
check "bash completion" completion
file_type() {
  cp -r "$prefix/share/applications" "$prefix/share/icons" "$work/xdg/"
  mkdir -p "$work/xdg/mime/packages"
  cp "$prefix/share/mime/packages/ql40win.xml" "$work/xdg/mime/packages/"
  update-mime-database "$work/xdg/mime"
  update-desktop-database -q "$work/xdg/applications"
  cp "$prefix/share/ql40win/defaultv.q40" "$work/work/Car12.Q40"
  # The desktop hides an entry whose program is not on the PATH (TryExec).
  local type opener
  type=$(XDG_DATA_DIRS=$work/xdg gio info -a standard::content-type "$work/work/Car12.Q40")
  opener=$(PATH=$prefix/bin:$PATH XDG_DATA_DIRS=$work/xdg gio mime application/x-ql40-codeplug)
  echo "$type"; echo "$opener"
  [[ $type == *application/x-ql40-codeplug* && $opener == "Default application"*ql40win.desktop* ]]
}
check "a .q40 file is a QL40 codeplug that opens in ql40win" file_type

# The desktop program under Xvfb: a file from the command line, then F1.
desktop_program() {
  cp "$prefix/share/ql40win/defaultu.q40" "$work/work/car12.q40"
  inotifywait -q -m -e open -o "$work/help-opened" "$prefix/share/ql40win/help" &
  local watch=$!
  sleep 0.5
  # The leak checker has nothing to say about a program stopped from outside.
  ASAN_OPTIONS=detect_leaks=0 QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1024x768x24" \
    bash -c '
      "$1/bin/ql40win" "$2" >"$3/ql40win.log" 2>&1 &
      app=$!
      win=$(timeout 30 xdotool search --sync --onlyvisible --name "car12.q40 - QL40Win" | head -1)
      [ -n "$win" ] || { echo "no main window naming car12.q40"; kill $app; exit 1; }
      xdotool windowfocus --sync "$win" key F1
      help=$(timeout 15 xdotool search --sync --onlyvisible --name "^QL40Win Help$" | head -1)
      [ -n "$help" ] || { echo "F1 opened no help window"; kill $app; exit 1; }
      sleep 0.5
      xdotool windowfocus --sync "$win" key alt+f x
      timeout 15 tail --pid=$app -f /dev/null || { echo "File > Exit did not end it"; kill $app; exit 1; }
    ' _ "$prefix" "$work/work/car12.q40" "$work"
  local status=$?
  kill $watch 2>/dev/null
  wait $watch 2>/dev/null || true
  cat "$work/ql40win.log"
  echo "help pages opened: $(xargs <"$work/help-opened")"
  [ $status -eq 0 ] && grep -q '\.html' "$work/help-opened"
}
check "ql40win opens a file from the command line and F1 finds the installed help" desktop_program

# The user's files went to the XDG folders; nothing was written under the prefix.
user_files() {
  [ -f "$HOME/.config/ql40win/QL40Win.ini" ] && grep -q 'CX=' "$HOME/.config/ql40win/QL40Win.ini" &&
    [ -d "$HOME/.local/share/ql40win" ] && [ ! -e "$work/work/QL40Win.ini" ]
}
check "settings in ~/.config/ql40win, data in ~/.local/share/ql40win" user_files
check "nothing written under the install prefix" bash -c 'diff "$1/before" <(cd "$1/root" &&
  find . -printf "%p %y %m %s %T@\n" | sort)' _ "$work"

echo "package: $passed passed, $failed failed"
[ $failed -eq 0 ]
