#!/usr/bin/env bash
# Installs the build tree given as $1 into a temporary prefix, checks the desktop entry and the
# AppStream metadata, and runs the installed panel offscreen and in a network namespace of its own
# (no interface up, so no address is ever reached): as an unprivileged user (nobody) from a
# read-only prefix, its settings file lands in that user's configuration folder, and a change made
# there is read back at the next start; as root, who could write anywhere, it lands in root's
# configuration folder, and nothing is written beside the installed program. A copy in a folder the
# user can write keeps its settings beside itself, root's copy as well.
set -euo pipefail
build=$1
if [ "$(id -u)" -ne 0 ]; then
  echo "skipped: switching to another user and a network namespace needs root"
  exit 77
fi
work=$(mktemp -d)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
chmod 755 "$work"
prefix=$work/prefix
home=$work/home
root_home=$work/root
settings=$home/.config/Kovalta/Kovalta_Config.xml
cmake --install "$build" --prefix "$prefix" >/dev/null
desktop-file-validate "$prefix/share/applications/kovalta.desktop"
appstreamcli validate --no-net "$prefix/share/metainfo/example.kovalta.kovalta.metainfo.xml"
test -s "$prefix/share/icons/hicolor/scalable/apps/kovalta.svg"
chmod -R a-w "$prefix"
mkdir -p "$home" "$root_home"
chown nobody "$home"

# run_panel USER PROGRAM FILE: starts PROGRAM as USER (nobody, whose home is $home, or root,
# whose home is $root_home with the platform's default configuration folder), waits (10 s at
# most) for FILE to appear, then asks it to end as the system does at log-out; it must save and
# exit 0.
run_panel() {
  local as=(env -i HOME="$root_home")
  if [ "$1" = nobody ]; then
    as=(setpriv --reuid=nobody --regid=nogroup --clear-groups
      env -i HOME="$home" XDG_CONFIG_HOME="$home/.config")
  fi
  unshare -n "${as[@]}" QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 "$2" \
    >"$work/run.log" 2>&1 &
  local pid=$!
  for _ in $(seq 100); do
    [ -s "$3" ] && break
    sleep 0.1
  done
  sleep 0.5
  kill -TERM "$pid"
  local status=0
  wait "$pid" || status=$?
  if [ "$status" -ne 0 ]; then
    echo "the panel ended with $status:"
    cat "$work/run.log"
    return 1
  fi
}

# Nothing but the program itself in the installation's program folder.
only_the_program() {
  local others
  others=$(ls -A "$prefix/bin" | grep -vx kovalta || true)
  if [ -n "$others" ]; then
    echo "written beside the installed program:" $others
    return 1
  fi
}

run_panel nobody "$prefix/bin/kovalta" "$settings"
only_the_program
grep -q '<ServerTCP-Port>502</ServerTCP-Port>' "$settings"

# The operator points the panel at another gateway; the next start reads it and saves it back.
sed -i 's|<ServerTCP-IP>[^<]*</ServerTCP-IP>|<ServerTCP-IP>127.0.0.9</ServerTCP-IP>|' "$settings"
sed -i 's|<ServerTCP-ConnectAuto>[^<]*</ServerTCP-ConnectAuto>|<ServerTCP-ConnectAuto>0</ServerTCP-ConnectAuto>|' "$settings"
run_panel nobody "$prefix/bin/kovalta" "$settings"
grep -q '<ServerTCP-IP>127.0.0.9</ServerTCP-IP>' "$settings"
grep -q '<ServerTCP-ConnectAuto>0</ServerTCP-ConnectAuto>' "$settings"

# Root could write in the installation; the settings go to root's own folder all the same.
run_panel root "$prefix/bin/kovalta" "$root_home/.config/Kovalta/Kovalta_Config.xml"
only_the_program
grep -q '<ServerTCP-Port>502</ServerTCP-Port>' "$root_home/.config/Kovalta/Kovalta_Config.xml"

# A copy in a folder the user owns keeps its settings beside it.
portable=$work/portable
mkdir "$portable"
cp "$prefix/bin/kovalta" "$portable/"
chown -R nobody "$portable"
run_panel nobody "$portable/kovalta" "$portable/Kovalta_Config.xml"
grep -q '<ServerTCP-Port>502</ServerTCP-Port>' "$portable/Kovalta_Config.xml"
chown -R root "$portable"
rm "$portable/Kovalta_Config.xml"
run_panel root "$portable/kovalta" "$portable/Kovalta_Config.xml"
grep -q '<ServerTCP-Port>502</ServerTCP-Port>' "$portable/Kovalta_Config.xml"
echo "installed panel keeps its settings in the user's folder, root's included; a copy beside itself"
