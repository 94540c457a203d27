#!/usr/bin/env bash
# ardour-editor-test.sh PLUGIN.so WORK-FOLDER
# The native plug-in's editor in a real Linux host: Ardour 7 (Debian's
# package) on a virtual X display of its own loads Quillet.so as a Linux VST,
# opens its editor, a drag on the Volume knob moves it, and the value Ardour
# keeps for the parameter (as its saved session shows it) follows.
#
#   1. a fresh Ardour home in WORK-FOLDER: first-run marker, the dummy audio
#      backend as the engine to start, the plug-in scanned into Ardour's cache
#   2. a session made headless with ardour7-lua: one track, Quillet on it
#   3. Ardour opens the session with the plug-in's window open (as a session
#      saved with it open does), the editor embedded in it
#   4. xdotool drags the knob 40 pixels up, focuses Ardour and saves (Ctrl+S)
#   5. the session file holds Volume 0.5 + 40 / 64 / 4 = 0.65625
# On failure a picture of the screen is left in WORK-FOLDER/screen.png.
set -euo pipefail
plugin=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
screenshot=$(dirname "$plugin")/tools/screenshot/quillet-screenshot
work=$2
rm -rf "$work"
mkdir -p "$work/home/.config/ardour7" "$work/lxvst"
work=$(cd "$work" && pwd)
cp "$plugin" "$work/lxvst/Quillet.so"

export HOME=$work/home
export XDG_CONFIG_HOME=$HOME/.config XDG_CACHE_HOME=$HOME/.cache XDG_DATA_HOME=$HOME/.local/share
export LXVST_PATH=$work/lxvst
export QUILLET_LOCAL_APPDATA=$work/appdata
unset VST_PATH
session=$work/session
ardour_pid=

fail() {
  echo "ardour-editor-test: $*" >&2
  "$screenshot" "$work/screen.png" >/dev/null 2>&1 || true
  exit 1
}
stop_ardour() {
  [ -n "$ardour_pid" ] && kill "$ardour_pid" 2>/dev/null || true
  ardour_pid=
}
trap stop_ardour EXIT
# shellcheck source=tests/e2e/ardour-gui.sh
source "$(dirname "${BASH_SOURCE[0]}")/ardour-gui.sh"

command -v ardour >/dev/null || fail "ardour is not installed (scripts/setup.sh)"
command -v xdotool >/dev/null || fail "xdotool is not installed (scripts/setup.sh)"

# 1. Ardour's home: no first-run dialogue, the dummy backend started at once.
touch "$HOME/.config/ardour7/.a7"
# Ardour takes a cache entry only when it is newer than the plug-in file, in
# whole seconds: a copy made this second would count as changed since.
touch -d "@$(($(date +%s) - 60))" "$work/lxvst/Quillet.so"
LD_LIBRARY_PATH=/usr/lib/ardour7 /usr/lib/ardour7/ardour-vst-scanner -q -f "$work/lxvst/Quillet.so" \
  || fail "Ardour's scanner did not take the plug-in"

# 2. The session.
cat >"$work/session.lua" <<EOF
local backend = AudioEngine:set_backend("None (Dummy)", "", "")
backend:set_device_name("Silence")
create_session("$session", "session", 48000)
local tracks = Session:new_audio_track(2, 2, nil, 1, "Track", ARDOUR.PresentationInfo.max_order,
                                       ARDOUR.TrackMode.Normal, true)
-- Asking for the list reads the plug-in caches in, which new_plugin needs.
ARDOUR.LuaAPI.list_plugins()
local plugin = ARDOUR.LuaAPI.new_plugin(Session, "Quillet", ARDOUR.PluginType.LXVST, "")
assert(not plugin:isnil(), "no Quillet among Ardour's plug-ins")
tracks:front():add_processor_by_index(plugin, 0, nil, true)
Session:save_state("", false, false, false, false, false)
close_session()
EOF
ardour7-lua "$work/session.lua" >"$work/session.log" 2>&1 || fail "no session ($(tail -n 3 "$work/session.log"))"
file=$session/session.ardour
[ -f "$file" ] || fail "no session file"
route=$(grep -o '<Route [^>]*name="Track"' "$file" | grep -o ' id="[0-9]*"' | grep -o '[0-9]*')
processor=$(grep -o '<Processor id="[0-9]*" name="Quillet"' "$file" | grep -o '[0-9]*')
[ -n "$route" ] && [ -n "$processor" ] || fail "the session has no Quillet on its track"
volume() { grep -o '<Controllable name="Volume"[^>]*' "$file" | grep -o ' value="[^"]*"' | grep -o '[0-9.]*'; }
[ "$(volume)" = "0.5" ] || fail "Volume starts at $(volume), not 0.5"

cat >"$HOME/.config/ardour7/config" <<EOF
<?xml version="1.0" encoding="UTF-8"?>
<Ardour>
  <Config>
    <Option name="hide-dummy-backend" value="0"/>
    <Option name="try-autostart-engine" value="1"/>
    <Option name="discover-plugins-on-start" value="0"/>
  </Config>
  <Extra>
    <AudioMIDISetup>
      <EngineStates>
        <State backend="None (Dummy)" driver="Normal Speed" device="Silence" input-device="" output-device="" sample-rate="48000" buffer-size="1024" n-periods="0" input-latency="0" output-latency="0" lm-input="" lm-output="" active="1" use-buffered-io="0" midi-option="1 in, 1 out, Silence" lru="1">
          <MIDIDevices/>
        </State>
      </EngineStates>
    </AudioMIDISetup>
  </Extra>
</Ardour>
EOF

# The plug-in's window was open when the session was saved: Ardour opens it
# again with the session.
window="<Extra><UI><Window name=\"P-$route-$processor\" visible=\"1\" x-off=\"0\" y-off=\"0\""
window="$window x-size=\"984\" y-size=\"472\" custom-ui=\"1\"/></UI></Extra>"
sed -i "s|^</Session>|  $window\n</Session>|" "$file"

# 3. Ardour with the session; the plug-in's window comes up with it.
ardour_open_editor "$file" "$work"
[ "$WIDTH" = 984 ] && [ "$HEIGHT" = 432 ] || fail "the editor is ${WIDTH} x ${HEIGHT}"

# 4. Drag Volume 40 pixels up, then save.
ardour_drag_volume
ardour_save "$file"

# 5. What Ardour holds for Volume.
value=$(volume)
[ "$value" = "0.65625" ] || fail "Volume is $value in Ardour after the drag, expected 0.65625"
ardour_quit
echo "ardour-editor-test: Ardour opened the editor (984 x 432); the drag set Volume to $value"
