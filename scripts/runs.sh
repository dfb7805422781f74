# Sourced by scripts/demo, scripts/bench, scripts/soak and tests/support/with_screen_reader_bus.sh:
# runs the built panel against the gateway simulator on loopback, on a virtual display, with a
# screen reader's accessibility bus when asked. Every process started here is remembered and ended
# by kov_stop_all, last started first. The panel reads its settings beside its executable, so each
# run gets a copy of the program in a directory of its own whose settings file points at the
# simulator on 127.0.0.1; the panel never sees its default gateway address.

KOV_PIDS=()

# kov_stop_all: ends every process started here, the last one first.
kov_stop_all() {
  local i
  for ((i = ${#KOV_PIDS[@]} - 1; i >= 0; i--)); do
    kill "${KOV_PIDS[i]}" 2>/dev/null || true
  done
  for ((i = ${#KOV_PIDS[@]} - 1; i >= 0; i--)); do
    wait "${KOV_PIDS[i]}" 2>/dev/null || true
  done
  KOV_PIDS=()
}

# kov_stop PID: ends one process started here and forgets it.
kov_stop() {
  local i
  for i in "${!KOV_PIDS[@]}"; do
    if [ "${KOV_PIDS[i]}" = "$1" ]; then
      kill "$1" 2>/dev/null || true
      wait "$1" 2>/dev/null || true
      unset 'KOV_PIDS[i]'
    fi
  done
  KOV_PIDS=("${KOV_PIDS[@]}")
}

# kov_start_sim LOG PORT [FLAG...]: starts build/tools/g700-sim on 127.0.0.1:PORT (0 picks a
# free port), its output into LOG. Sets KOV_SIM_PID and KOV_SIM_PORT.
kov_start_sim() {
  local log=$1 port=$2
  shift 2
  "$KOV_RELEASE_DIR/tools/g700-sim" --listen "127.0.0.1:$port" "$@" >"$log" 2>&1 &
  KOV_SIM_PID=$!
  KOV_PIDS+=("$KOV_SIM_PID")
  KOV_SIM_PORT=""
  local _
  for _ in $(seq 100); do
    KOV_SIM_PORT=$(sed -n 's/.*listening on 127\.0\.0\.1:\([0-9]*\).*/\1/p' "$log")
    [ -n "$KOV_SIM_PORT" ] && return 0
    kill -0 "$KOV_SIM_PID" 2>/dev/null || break
    sleep 0.1
  done
  echo "the simulator did not start:" >&2
  cat "$log" >&2
  return 1
}

# kov_write_settings DIR PORT: the panel's settings file in DIR, pointing at 127.0.0.1:PORT
# with the link started automatically.
kov_write_settings() {
  cat >"$1/Kovalta_Config.xml" <<XML
<?xml version="1.0" encoding="UTF-8"?>
<Kovalta_Config>
  <Records>5</Records>
  <ServerTCP-IP>127.0.0.1</ServerTCP-IP>
  <ServerTCP-Port>$2</ServerTCP-Port>
  <ServerTCP-ConstIP>1</ServerTCP-ConstIP>
  <ServerTCP-AutoIP>0</ServerTCP-AutoIP>
  <ServerTCP-ConnectAuto>1</ServerTCP-ConnectAuto>
</Kovalta_Config>
XML
}

# kov_panel_copy DIR PORT: a copy of the built panel in DIR (made if missing) with its own
# settings file pointing at the simulator on 127.0.0.1:PORT.
kov_panel_copy() {
  mkdir -p "$1"
  cp "$KOV_RELEASE_DIR/app/kovalta" "$1/kovalta"
  kov_write_settings "$1" "$2"
}

# kov_start_display WORK: a virtual X display (Xvfb) on a free display number, its screen kept in
# WORK/Xvfb_screen0 (an xwd image); sets DISPLAY.
kov_start_display() {
  local numberFile=$1/display
  : >"$numberFile"
  Xvfb -displayfd 3 -screen 0 480x960x24 -fbdir "$1" -nolisten tcp 3>"$numberFile" 2>/dev/null &
  KOV_PIDS+=($!)
  local _
  for _ in $(seq 100); do
    if [ -s "$numberFile" ]; then
      export DISPLAY=":$(head -n1 "$numberFile")"
      export QT_QPA_PLATFORM=xcb
      return 0
    fi
    sleep 0.1
  done
  echo "the virtual display did not start" >&2
  return 1
}

# kov_start_accessibility_bus WORK: a private D-Bus session (its address in WORK/bus) with the
# accessibility bus of at-spi-bus-launcher on it, enabled as a screen reader enables it
# (org.a11y.Status IsEnabled and ScreenReaderEnabled), so that a Qt program started afterwards on
# the X11 platform serves it; sets DBUS_SESSION_BUS_ADDRESS, and XDG_RUNTIME_DIR to a folder of
# WORK's, where the buses' sockets go, apart from any other run's.
kov_start_accessibility_bus() {
  local addressFile=$1/bus
  : >"$addressFile"
  export XDG_RUNTIME_DIR=$1/runtime
  mkdir -m 700 -p "$XDG_RUNTIME_DIR"
  dbus-daemon --session --nofork --nopidfile --print-address=3 3>"$addressFile" 2>/dev/null &
  KOV_PIDS+=($!)
  local _
  for _ in $(seq 100); do
    [ -s "$addressFile" ] && break
    sleep 0.1
  done
  [ -s "$addressFile" ] || { echo "the D-Bus session did not start" >&2; return 1; }
  DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$addressFile")
  export DBUS_SESSION_BUS_ADDRESS
  /usr/libexec/at-spi-bus-launcher >/dev/null 2>&1 &
  KOV_PIDS+=($!)
  for _ in $(seq 100); do
    dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
      org.a11y.Bus.GetAddress >/dev/null 2>&1 && break
    sleep 0.1
  done
  local property
  for property in IsEnabled ScreenReaderEnabled; do
    dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
      org.freedesktop.DBus.Properties.Set string:org.a11y.Status "string:$property" \
      variant:boolean:true >/dev/null || { echo "the accessibility bus did not start" >&2; return 1; }
  done
}

# kov_cpu_ns PID: the CPU time of the process's threads so far, in nanoseconds, from the
# scheduler's own count (/proc/PID/task/*/schedstat): a figure of half a percent of a core moves
# by a fraction of a per cent between two runs, where clock ticks of 10 ms would move it by three.
kov_cpu_ns() {
  cat /proc/"$1"/task/*/schedstat | awk '{ ns += $1 } END { printf "%d\n", ns }'
}

# kov_status_kib PID FIELD: a figure of /proc/PID/status in KiB (VmHWM, VmRSS, ...).
kov_status_kib() {
  awk -v field="$2:" '$1 == field { print $2 }' "/proc/$1/status"
}
