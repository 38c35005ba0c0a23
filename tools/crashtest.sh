#!/usr/bin/env bash
# Kills a process writing through the recordset, again and again, at random moments, and
# checks after each kill that the catalogue is sound and holds every write it reported.
#   tools/crashtest.sh BUILD_DIR [ROUNDS]
set -euo pipefail
build=${1:?build directory}
rounds=${2:-200}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/tools/make_catalogue" "$work/Zembo.mdb" --empty
: >"$work/acks"
for ((round = 1; round <= rounds; round++)); do
  "$build/tools/crash_writer" write "$work/Zembo.mdb" >>"$work/acks" &
  writer=$!
  sleep "0.$((RANDOM % 300 + 20))"
  kill -KILL "$writer"
  wait "$writer" 2>/dev/null || true
  if ! "$build/tools/crash_writer" check "$work/Zembo.mdb" "$work/acks"; then
    echo "crash test: round $round of $rounds failed" >&2
    exit 1
  fi
done
echo "crash test: $rounds kills, $(grep -c '^add' "$work/acks") acknowledged rows, all kept"
