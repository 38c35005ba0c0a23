#!/usr/bin/env bash
# Kills a worker that changes the catalogue, again and again at random moments, and checks
# after each kill that nothing it should keep was lost.
#   tools/crashtest.sh BUILD_DIR writes ROUNDS        a writer of records: every write it
#                                                      reported done is still there
#   tools/crashtest.sh BUILD_DIR maintenance ROUNDS [SEED]   repair and delete-all by turns:
#       the catalogue opens, passes the integrity check, holds all its records (or none,
#       after a delete-all) and its lookup lists, title and options untouched
#   tools/crashtest.sh BUILD_DIR keys ROUNDS [SEED]   every sort key made again: the file
#       stays sound, no text changes, and the next opening finishes the keys
#   tools/crashtest.sh BUILD_DIR files ROUNDS [SEED]   the backup copy and the report's PDF
#       by turns, each written over an earlier one: both stay whole
#   tools/crashtest.sh BUILD_DIR salvage ROUNDS [SEED]   the salvage of a damaged catalogue
#       (a spoiled page, or its first bytes wiped, by turns): no child of it outlives the
#       killed worker, and a start leaves no temporary file and a whole catalogue
set -euo pipefail
build=${1:?build directory}
mode=${2:-writes}
rounds=${3:-200}
RANDOM=${4:-$$}
worker="$build/tools/crash_writer"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

if [ "$mode" = writes ]; then
  "$build/tools/make_catalogue" "$work/Zembo.mdb" --empty
  : >"$work/acks"
  for ((round = 1; round <= rounds; round++)); do
    "$worker" write "$work/Zembo.mdb" >>"$work/acks" &
    writer=$!
    sleep "0.$((RANDOM % 300 + 20))"
    kill -KILL "$writer"
    wait "$writer" 2>/dev/null || true
    if ! "$worker" check "$work/Zembo.mdb" "$work/acks"; then
      echo "crash test: round $round of $rounds failed" >&2
      exit 1
    fi
  done
  echo "crash test: $rounds kills, $(grep -c '^add' "$work/acks") acknowledged rows, all kept"
  exit 0
fi

if [ "$mode" = keys ]; then
  mkdir "$work/reference" "$work/folder"
  reference="$work/reference/Zembo.mdb"
  "$build/tools/make_catalogue" "$reference"
  "$worker" fill "$reference" 200000
  "$worker" keys "$work/reference"  # keyed, as the program leaves it
  for ((round = 1; round <= rounds; round++)); do
    cp "$reference" "$work/folder/Zembo.mdb"
    rm -f "$work/folder/Zembo.mdb-journal"
    "$worker" keys "$work/folder" >/dev/null &
    child=$!
    sleep "0.$(printf '%03d' $((RANDOM % 900 + 50)))"
    kill -KILL "$child" 2>/dev/null || true
    wait "$child" 2>/dev/null || true
    if ! "$worker" verify-keys "$work/folder" "$reference"; then
      echo "crash test: keys, round $round of $rounds failed" >&2
      exit 1
    fi
  done
  echo "crash test: $rounds kills while every sort key was made again, no text changed"
  exit 0
fi

if [ "$mode" = files ]; then
  files="$build/tools/crash_files"
  export QT_QPA_PLATFORM=offscreen
  layout="$(cd "$(dirname "$0")/.." && pwd)/data/Zembo1.rpt"
  mkdir "$work/folder"
  "$build/tools/make_catalogue" "$work/folder/Zembo.mdb"
  "$worker" fill "$work/folder/Zembo.mdb" 20000
  cp "$work/folder/Zembo.mdb" "$work/folder/Zembo.BAK"
  "$files" pdf "$work/folder" "$layout" once
  for ((round = 1; round <= rounds; round++)); do
    if ((round % 2)); then task=(backup "$work/folder"); else task=(pdf "$work/folder" "$layout"); fi
    "$files" "${task[@]}" >/dev/null &
    child=$!
    sleep "0.$(printf '%03d' $((RANDOM % 600 + 100)))"
    kill -KILL "$child" 2>/dev/null || true
    wait "$child" 2>/dev/null || true
    if ! "$files" verify "$work/folder"; then
      echo "crash test: ${task[0]}, round $round of $rounds failed" >&2
      exit 1
    fi
  done
  echo "crash test: $rounds kills while writing the backup and the PDF, both whole every time"
  exit 0
fi

if [ "$mode" = salvage ]; then
  mkdir "$work/folder"
  "$build/tools/make_catalogue" "$work/spoiled.mdb"
  "$worker" fill "$work/spoiled.mdb" 150000
  cp "$work/spoiled.mdb" "$work/wiped.mdb"
  pages=$(($(stat -c %s "$work/spoiled.mdb") / 4096))
  head -c 4096 /dev/urandom | dd of="$work/spoiled.mdb" bs=4096 seek=$((pages / 2)) conv=notrunc status=none
  head -c 100 /dev/zero | dd of="$work/wiped.mdb" bs=100 conv=notrunc status=none
  for ((round = 1; round <= rounds; round++)); do
    if ((round % 2)); then damaged="$work/spoiled.mdb"; else damaged="$work/wiped.mdb"; fi
    rm -f "$work/folder/"*
    cp "$damaged" "$work/folder/Zembo.mdb"
    "$worker" salvage "$work/folder" >/dev/null &
    child=$!
    sleep "$((RANDOM % 3)).$(printf '%03d' $((RANDOM % 1000)))"
    kill -KILL "$child" 2>/dev/null || true
    wait "$child" 2>/dev/null || true
    sleep 0.2
    if pgrep -f "$work/" >/dev/null; then
      echo "crash test: salvage, round $round of $rounds: a child outlived the worker:" >&2
      pgrep -af "$work/" >&2
      exit 1
    fi
    if ! "$worker" verify-salvage "$work/folder" "$damaged"; then
      echo "crash test: salvage, round $round of $rounds failed" >&2
      exit 1
    fi
  done
  echo "crash test: $rounds kills during salvages, no child left, every folder cleared"
  exit 0
fi

reference="$work/reference.mdb"
"$build/tools/make_catalogue" "$reference"
"$worker" fill "$reference" 20000
mkdir "$work/catalogue"
for ((round = 1; round <= rounds; round++)); do
  cp "$reference" "$work/catalogue/Zembo.mdb"
  rm -f "$work/catalogue/Zembo.mdb-journal"
  if ((round % 2)); then task=compact; empty=(); else task=deleteall; empty=(may-be-empty); fi
  "$worker" "$task" "$work/catalogue" >/dev/null &
  child=$!
  sleep "0.$(printf '%03d' $((RANDOM % 400)))"
  kill -KILL "$child" 2>/dev/null || true
  wait "$child" 2>/dev/null || true
  if ! "$worker" verify "$work/catalogue" "$reference" "${empty[@]}"; then
    echo "crash test: $task, round $round of $rounds failed" >&2
    exit 1
  fi
done
echo "crash test: $rounds kills during repairs and deletes, every catalogue whole"
