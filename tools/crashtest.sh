#!/usr/bin/env bash
# Kills a worker that changes the catalogue, again and again at random moments, and checks
# after each kill that nothing it should keep was lost.
#   tools/crashtest.sh BUILD_DIR writes ROUNDS        a writer of records: every write it
#                                                      reported done is still there
#   tools/crashtest.sh BUILD_DIR maintenance ROUNDS [SEED]   repair and delete-all by turns:
#       the catalogue opens, passes the integrity check, holds all its records (or none,
#       after a delete-all) and its lookup lists, title and options untouched
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
