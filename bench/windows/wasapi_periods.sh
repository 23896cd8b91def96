#!/usr/bin/env bash
# Missed periods of the Windows sound output on a loaded machine: wasapi_periods.exe under Wine,
# playing to a null sink of a private PulseAudio daemon, while two busy loops take both cores
# (beside whatever else the machine runs), once for each latency given; "bare:N" runs a bare
# render loop at N frames instead (no mixer, no clock), to tell the game's misses from Wine's.
#   [REALTIME=1] bench/windows/wasapi_periods.sh <Windows build folder> <seconds> [frames | bare:N ...]
# REALTIME=1 (as root) gives the sound threads what Windows gives them and Wine does not pass on:
# real-time priority for the thread in the "Pro Audio" class, for Windows' own audio engine (Wine's
# engine thread) and for the Wine server, which every wait of theirs goes through.
set -euo pipefail
build="$(cd "$1" && pwd)"
seconds="${2:-600}"
shift 2 || true
latencies=("${@:-0}")
scratch="$build/bench-wasapi"
mkdir -p "$scratch/pulse-runtime" "$scratch/home"
export XDG_RUNTIME_DIR="$scratch/pulse-runtime" PULSE_SERVER="unix:$scratch/pulse-runtime/pulse/native"
export WINEPREFIX="$scratch/wine-prefix" HOME="$scratch/home" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
pulseaudio -n --daemonize=yes --exit-idle-time=-1 --load=module-native-protocol-unix \
  --load="module-null-sink sink_name=bench rate=48000" 2>/dev/null
load_pids=()
cleanup() {
  for pid in "${load_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  [ -f "$XDG_RUNTIME_DIR/pulse/pid" ] && kill "$(head -n1 "$XDG_RUNTIME_DIR/pulse/pid")" 2>/dev/null || true
  wineserver -k 2>/dev/null || true
}
trap cleanup EXIT
# Windows gives a sound thread the system's audio scheduling class, which Wine does not pass on;
# where we may (as root) Wine runs ahead of the load instead, as the game's tests run it: the
# program and the Wine server that every one of its waits goes through, started first and kept
# up, so that no server started at the load's priority by the set-up below serves the program.
ahead=()
[ "$(id -u)" -eq 0 ] && ahead=(nice -n -10)
wineserver -k 2>/dev/null || true
ulimit -e 40 2>/dev/null || true
"${ahead[@]}" wineserver -p
[ -f "$WINEPREFIX/system.reg" ] || wineboot -i >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\Drivers' /v Audio /d pulse /f >/dev/null 2>&1
for _ in 1 2; do (while :; do :; done) & load_pids+=($!); done
# Once the program's sound thread and Wine's engine thread run, both and the server go real-time.
ours() {
  for pid in $(pgrep "$@"); do
    grep -qzx "WINEPREFIX=$WINEPREFIX" "/proc/$pid/environ" 2>/dev/null && echo "$pid"
  done
}
realtime() {
  local pid="" task made=0
  until [ -n "$pid" ]; do pid="$(ours -f wasapi_periods.exe | head -n1)"; sleep 0.05; done
  until [ "$made" -ge 2 ]; do
    made=0
    for task in /proc/"$pid"/task/*; do
      case "$(cat "$task/comm" 2>/dev/null)" in
        "tapdash sound" | winepulse_timer) chrt -f -p 10 "${task##*/}" && made=$((made + 1)) ;;
      esac
    done
    [ -d "/proc/$pid" ] || return 0
    sleep 0.05
  done
  for pid in $(ours -x wineserver64); do chrt -f -p 10 "$pid"; done
  echo "real-time: the sound thread, Wine's engine thread and the Wine server"
}
for latency in "${latencies[@]}"; do
  [ "${REALTIME:-0}" = 1 ] && realtime &
  args=("$latency")
  [ "${latency#bare:}" != "$latency" ] && args=("${latency#bare:}" bare)
  echo "load: $(cut -d' ' -f1-3 /proc/loadavg)"
  "${ahead[@]}" wine "$build/bench/windows/wasapi_periods.exe" "$seconds" "${args[@]}" | tr -d '\r'
done
