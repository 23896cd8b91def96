#!/usr/bin/env bash
# Missed periods of the Windows sound output on a loaded machine: wasapi_periods.exe under Wine,
# playing to a null sink of a private PulseAudio daemon, while two busy loops take both cores
# (beside whatever else the machine runs), once for each latency given.
#   bench/windows/wasapi_periods.sh <Windows build folder> <seconds> [latency frames ...]
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
[ -f "$WINEPREFIX/system.reg" ] || wineboot -i >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\Drivers' /v Audio /d pulse /f >/dev/null 2>&1
for _ in 1 2; do (while :; do :; done) & load_pids+=($!); done
# Windows gives a sound thread the system's audio scheduling class, which Wine does not pass on;
# where we may (as root) Wine runs ahead of the load instead, as the game's tests run it.
ahead=()
[ "$(id -u)" -eq 0 ] && ahead=(nice -n -10)
for latency in "${latencies[@]}"; do
  "${ahead[@]}" wine "$build/bench/windows/wasapi_periods.exe" "$seconds" "$latency" | tr -d '\r'
done
