#!/usr/bin/env bash
# qtractor-clap-test.sh PLUGIN.clap WORK-FOLDER
# The CLAP binary in a real Linux host: Qtractor (Debian's package) on the
# virtual X display it is given (DISPLAY), with a private JACK server on the
# dummy driver and a private home in WORK-FOLDER.
#
#   1. a session file with one audio track and Quillet.clap on it; the track
#      monitors its input, so that Qtractor processes the plug-in (Qtractor
#      hands a CLAP plug-in parameter changes only in process calls)
#   2. Qtractor opens it; a first save (File > Save As, the session being
#      unmodified) writes every parameter of the plug-in into the file: all
#      29 are listed with their names, and the plug-in's state
#   3. a double-click on the plug-in opens its editor, embedded at 984 x 432;
#      a drag on the Volume knob 40 pixels up gives 0.65625 (as in the VST 2
#      build: the edit reaches Qtractor as a gesture in the process calls);
#      Ctrl+S saves it (a picture of the screen is left in
#      WORK-FOLDER/editor.png); File > Exit
#   4. the saved session, with Qtractor's own list of parameter values taken
#      out so that only the plug-in's state holds them, is reopened and saved
#      again: Volume is still 0.65625, restored from the state
#
# This machine has no ALSA sequencer (/dev/snd/seq), without which Qtractor's
# engine does not start: fakeseq/alsa-sequencer-standin.c, preloaded, stands
# in for it (no MIDI passes through Qtractor then; audio, plug-ins, editors
# and saving work). On failure a picture of the screen is left in
# WORK-FOLDER/screen.png.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
plugin=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
screenshot=$(dirname "$plugin")/tools/screenshot/quillet-screenshot
work=$2
rm -rf "$work"
mkdir -p "$work/home/.config/rncbc.org" "$work/home/.cache" "$work/clap" "$work/session"
work=$(cd "$work" && pwd)
cp "$plugin" "$work/clap/Quillet.clap"
gcc -O1 -shared -fPIC -o "$work/standin.so" "$here/fakeseq/alsa-sequencer-standin.c" -ldl

export HOME=$work/home
export XDG_CONFIG_HOME=$HOME/.config XDG_CACHE_HOME=$HOME/.cache XDG_DATA_HOME=$HOME/.local/share
export XDG_RUNTIME_DIR=$HOME/runtime
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
unset DBUS_SESSION_BUS_ADDRESS SESSION_MANAGER VST_PATH LXVST_PATH VST3_PATH LADSPA_PATH DSSI_PATH
export CLAP_PATH=$work/clap QUILLET_LOCAL_APPDATA=$work/appdata
export JACK_DEFAULT_SERVER=quillet-clap-$$ JACK_NO_START_SERVER=1
session=$work/session/clap.qtr
jack_pid= qt_pid= main=

fail() {
  echo "qtractor-clap-test: $*" >&2
  "$screenshot" "$work/screen.png" >/dev/null 2>&1 || true
  exit 1
}
stop() {
  local p
  for p in $qt_pid $jack_pid; do
    kill "$p" 2>/dev/null || continue
    for _ in $(seq 40); do kill -0 "$p" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$p" 2>/dev/null || true
  done
  qt_pid= jack_pid=
}
trap stop EXIT

# settings OPEN-EDITOR: a double-click on a plug-in opens its own editor
# (true) or Qtractor's form of sliders (false).
settings() {
  cat >"$HOME/.config/rncbc.org/Qtractor.conf" <<CONF
[AutoSave]
Enabled=false

[Options]
Display\\StdoutCapture=false
Logging\\MessagesLog=true
Logging\\MessagesLogPath=$work/messages.log

[Plugins]
OpenEditor=$1
CONF
}
cat >"$session" <<XML
<!DOCTYPE qtractorSession>
<session name="clap" version="Qtractor 0.9.31">
 <properties><directory>$work/session</directory><sample-rate>48000</sample-rate></properties>
 <tracks>
  <track type="audio" name="Quillet">
   <properties><input-bus>Master</input-bus><output-bus>Master</output-bus></properties>
   <state><mute>0</mute><solo>0</solo><record>0</record><monitor>1</monitor><gain>1</gain><panning>0</panning></state>
   <plugins>
    <plugin type="CLAP"><filename>$work/clap/Quillet.clap</filename><index>0</index><activated>1</activated>
</plugin>
   </plugins>
  </track>
 </tracks>
</session>
XML

jackd -r -n "$JACK_DEFAULT_SERVER" -d dummy -r 48000 -p 1024 >"$work/jackd.log" 2>&1 &
jack_pid=$!
for _ in $(seq 100); do jack_lsp >/dev/null 2>&1 && break; sleep 0.05; done
jack_lsp >/dev/null 2>&1 || fail "jackd did not start"
cd "$work"

start_qtractor() {
  : >"$work/messages.log"
  LD_PRELOAD=$work/standin.so qtractor "$session" >>"$work/qtractor.out" 2>&1 </dev/null &
  qt_pid=$!
  for _ in $(seq 300); do grep -q 'Open session' "$work/messages.log" 2>/dev/null && break; sleep 0.1; done
  grep -q 'Open session' "$work/messages.log" || fail "Qtractor did not open the session"
  main=
  for _ in $(seq 50); do
    main=$(xdotool search --name 'clap\.qtr' 2>/dev/null | head -n1 || true)
    [ -n "$main" ] && break
    sleep 0.1
  done
  [ -n "$main" ] || fail "no Qtractor main window"
  sleep 1
}
wait_saved() {
  for _ in $(seq 100); do [ "$(stat -c %y "$session")" != "$1" ] && break; sleep 0.05; done
  [ "$(stat -c %y "$session")" != "$1" ] || fail "$2 did not save"
  sleep 0.3
}
save() {
  local before
  before=$(stat -c %y "$session")
  xdotool windowfocus "$main"; sleep 0.2; xdotool key ctrl+s
  wait_saved "$before" "Ctrl+S"
}
save_as() {
  local before w=
  before=$(stat -c %y "$session")
  xdotool windowfocus "$main"; sleep 0.2; xdotool key alt+f; sleep 0.3; xdotool key a
  for _ in $(seq 50); do
    w=$(xdotool search --name '^Save Session' 2>/dev/null | head -n1 || true)
    [ -n "$w" ] && break
    sleep 0.1
  done
  [ -n "$w" ] || fail "no Save Session dialog"
  xdotool windowfocus "$w"; sleep 0.2; xdotool key ctrl+a; xdotool type --delay 5 "$session"
  xdotool key Return; sleep 0.5
  xdotool search --name '^Save Session' >/dev/null 2>&1 && xdotool key y
  wait_saved "$before" "Save As"
}
quit() {
  xdotool windowfocus "$main"; sleep 0.2; xdotool key alt+f; sleep 0.3; xdotool key x
  for _ in $(seq 150); do kill -0 "$qt_pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$qt_pid" 2>/dev/null && fail "Qtractor did not quit"
  qt_pid=
}
open_editor() { # open_editor TITLE-REGEX
  local w=
  eval "$(xdotool getwindowgeometry --shell "$main")"
  xdotool mousemove $((X + 178)) $((Y + 180)) click --repeat 2 --delay 80 1
  for _ in $(seq 100); do
    w=$(xdotool search --name "$1" 2>/dev/null | head -n1 || true)
    [ -n "$w" ] && break
    sleep 0.1
  done
  [ -n "$w" ] || fail "Qtractor did not open the editor"
  sleep 1.5
  echo "$w"
}
editor_size() {
  local iplug
  iplug=$(xdotool search --classname '^IPlug$' | head -n1 || true)
  [ -n "$iplug" ] || fail "no editor window inside Qtractor's"
  eval "$(xdotool getwindowgeometry --shell "$iplug")"
  echo "${WIDTH}x$HEIGHT"
}
# The saved value of a parameter of the plug-in.
param() {
  sed -n "s/.*<param [^>]*name=\"$1\"[^>]*>\\([^<]*\\)<.*/\\1/p" "$session" | head -n1
}

settings true
start_qtractor
save_as
count=$(grep -c '<param ' "$session" || true)
[ "$count" = 29 ] || fail "Qtractor lists $count parameters"
[ "$(param 'Grain Mode')" = 0 ] || fail "Grain Mode is $(param 'Grain Mode')"
[ "$(param Volume)" = 0.5 ] || fail "Volume is $(param Volume)"
grep -q '<config key="state">' "$session" || fail "no plug-in state in the session"
echo "Qtractor listed the 29 parameters"

open_editor '^Quillet - Quillet' >/dev/null
[ "$(editor_size)" = 984x432 ] || fail "the editor is $(editor_size)"
iplug=$(xdotool search --classname '^IPlug$' | head -n1 || true)
eval "$(xdotool getwindowgeometry --shell "$iplug")"
xdotool mousemove $((X + 62)) $((Y + 198)); sleep 0.2; xdotool mousedown 1
for _ in $(seq 10); do sleep 0.05; xdotool mousemove_relative -- 0 -4; done
sleep 0.2; xdotool mouseup 1; sleep 0.5
"$screenshot" "$work/editor.png" >/dev/null 2>&1 || true
save
[ "$(param Volume)" = 0.65625 ] || fail "after the drag Volume is $(param Volume)"
echo "Qtractor opened the editor; the drag set Volume $(param Volume)"
quit

# Only the plug-in's state is left to hold the values.
sed -i '/<params>/,/<\/params>/d' "$session"
grep -q '<param ' "$session" && fail "the parameter list is still in the session"
start_qtractor
save_as
[ "$(param Volume)" = 0.65625 ] || fail "after reopening Volume is $(param Volume)"
quit
echo "Qtractor reopened the session with the plug-in's state: Volume $(param Volume)"
