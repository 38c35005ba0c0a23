#!/usr/bin/env bash
# How long the counts or browse window takes to appear and to answer a key, with the
# accessibility bridge on and off. Run on an X display with a session bus and the
# accessibility bus (Xvfb, dbus-launch, /usr/libexec/at-spi-bus-launcher, a window manager),
# ideally with a screen reader running (orca); needs xdotool and bc.
#   tools/a11y_timing.sh CATALOGUE counts|browse [RUNS]
set -euo pipefail
catalogue=$1
window=$2
runs=${3:-2}
program=$(dirname "$0")/../build/bin/quorvane
case $window in
  counts) open() { xdotool key alt+c; sleep 0.2; xdotool key Return; }; title='^Counts$' ;;
  browse) open() { xdotool key alt+b; }; title='^Browse$' ;;
  *) echo "counts or browse" >&2; exit 2 ;;
esac
seconds() { date +%s.%N; }
for run in $(seq "$runs"); do
  for bridge in 0 1; do
    QT_LINUX_ACCESSIBILITY_ALWAYS_ON=$bridge "$program" --catalogue "$catalogue" >/dev/null 2>&1 &
    pid=$!
    main=
    for _ in $(seq 100); do
      main=$(xdotool search --onlyvisible --name '^Quorvane$' 2>/dev/null | head -1) && [ -n "$main" ] && break
      sleep 0.2
    done
    sleep 2
    xdotool windowactivate --sync "$main" 2>/dev/null || true
    start=$(seconds)
    open
    xdotool search --sync --onlyvisible --name "$title" >/dev/null
    shown=$(seconds)
    xdotool key Escape  # answered once the window has gone again
    while xdotool search --onlyvisible --name "$title" >/dev/null 2>&1; do sleep 0.02; done
    answered=$(seconds)
    printf 'run %s bridge %s %s: shown %.2f s, answered %.2f s\n' "$run" "$bridge" "$window" \
      "$(echo "$shown - $start" | bc)" "$(echo "$answered - $start" | bc)"
    kill "$pid"
    wait "$pid" 2>/dev/null || true
  done
done
