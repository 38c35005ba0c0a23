#!/bin/sh
# Installs a build into a scratch prefix and checks what a new user gets there: every file
# in place, the command line answered without a display, and a first start that copies the
# empty catalogue into the user's data folder.
#   tools/installtest.sh BUILD_DIR
set -eu
build=$1
work=$(mktemp -d)
pid=
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

cmake --install "$build" --prefix "$work/usr" >/dev/null
for file in bin/quorvane share/applications/quorvane.desktop \
            share/icons/hicolor/48x48/apps/quorvane.png share/icons/hicolor/256x256/apps/quorvane.png \
            share/quorvane/Zembo1.rpt share/quorvane/Zembo2.rpt share/quorvane/Quorvane.hlp \
            share/quorvane/VodiZav.Mid share/quorvane/Zembo-template.mdb \
            lib/quorvane/quorvane-dbpage.so share/doc/quorvane/copyright \
            share/doc/quorvane/changelog.gz share/man/man1/quorvane.1.gz; do
  [ -f "$work/usr/$file" ] || { echo "not installed: $file"; exit 1; }
done
[ -z "$(ls "$work/usr/bin" | grep -v '^quorvane$')" ] || { echo "more than the program in bin/"; exit 1; }

DISPLAY= QT_QPA_PLATFORM= "$work/usr/bin/quorvane" --version | grep -q '^quorvane [0-9]'
# The manual page names every option the program's help lists (the column before the text).
manual=$(gzip -dc "$work/usr/share/man/man1/quorvane.1.gz" | sed 's/\\-/-/g')
options=$(DISPLAY= QT_QPA_PLATFORM= "$work/usr/bin/quorvane" --help |
          sed -nE 's/^ +(-[^ ].*)$/\1/p' | sed 's/  .*//' | grep -oE -- '--?[a-z][a-z-]*')
[ -n "$options" ] || { echo "no options in the help"; exit 1; }
# It names the files where this prefix put them.
for path in "$work/usr/share/quorvane/Zembo1.rpt" "$work/usr/lib/quorvane/quorvane-dbpage.so"; do
  dir=$(dirname "$path")
  printf '%s\n' "$manual" | grep -qF "$dir" || { echo "the manual page does not name $dir"; exit 1; }
done
for option in $options; do
  printf '%s\n' "$manual" | grep -qE -- "(^|[^a-z-])$option([^a-z-]|\$)" ||
    { echo "not in the manual page: $option"; exit 1; }
done

# A first start for a user with a fresh home: $XDG_DATA_HOME unset, then set.
first_start() {
  home=$1 catalogue=$2
  mkdir -p "$home"
  HOME="$home" QT_QPA_PLATFORM=offscreen "$work/usr/bin/quorvane" >/dev/null 2>&1 &
  pid=$!
  # The program waits at its "where the catalogue is" message: the file is there by then.
  for _ in $(seq 150); do
    [ -f "$catalogue" ] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.2
  done
  sleep 0.5
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  pid=
  [ -f "$catalogue" ] || { echo "no catalogue made at $catalogue"; exit 1; }
  [ "$(sqlite3 "$catalogue" 'SELECT count(*) FROM Main')" = 0 ] || { echo "records in $catalogue"; exit 1; }
  [ "$(sqlite3 "$catalogue" 'SELECT count(*) FROM Options')" = 3 ] || { echo "no options in $catalogue"; exit 1; }
  [ -z "$(ls "$(dirname "$catalogue")" | grep -v '^Zembo.mdb$')" ] || { echo "leftovers beside $catalogue"; exit 1; }
}
(unset XDG_DATA_HOME; first_start "$work/alice" "$work/alice/.local/share/quorvane/Zembo.mdb")
(XDG_DATA_HOME="$work/bob-data"; export XDG_DATA_HOME; first_start "$work/bob" "$work/bob-data/quorvane/Zembo.mdb")
echo "installed tree checked"
