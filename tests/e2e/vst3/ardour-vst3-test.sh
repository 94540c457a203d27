#!/usr/bin/env bash
# ardour-vst3-test.sh BUNDLE WORK-FOLDER
# The Linux VST 3 bundle in a real host, headless: Ardour 7 (Debian's
# package) scans it, a session made with ardour7-lua puts Quillet after a
# sine generator and changes its Mix to 0.25, ardour7-export renders the
# session through it, and the session opened again reads Mix 0.25 back from
# the plug-in (restored from its saved state).
#
#   1. a fresh Ardour home in WORK-FOLDER, the bundle scanned into Ardour's
#      cache (the scanner exits 0 on failure: the cache file is checked)
#   2. the session: SinGen, then Quillet (Mix 0.25), saved; a session range
#      written into the file (Lua cannot set one, and without it the export
#      renders nothing and still exits 0)
#   3. the export's level: not silent, finite
#   4. the session loaded again: Mix is 0.25
set -euo pipefail
bundle=$(cd "$1" && pwd)
work=$2
rm -rf "$work"
mkdir -p "$work/home/.config/ardour7" "$work/vst3"
work=$(cd "$work" && pwd)
cp -r "$bundle" "$work/vst3/Quillet.vst3"
export HOME=$work/home
export XDG_CONFIG_HOME=$HOME/.config XDG_CACHE_HOME=$HOME/.cache XDG_DATA_HOME=$HOME/.local/share
export VST3_PATH=$work/vst3
export QUILLET_LOCAL_APPDATA=$work/appdata
unset VST_PATH LXVST_PATH
session=$work/session

fail() {
  echo "ardour-vst3-test: $*" >&2
  exit 1
}
command -v ardour7-lua >/dev/null || fail "ardour is not installed (scripts/setup.sh)"

# 1. Ardour takes a cache entry only when it is newer than the plug-in, in
# whole seconds: back-date the copy.
touch "$HOME/.config/ardour7/.a7"
find "$work/vst3" -exec touch -h -d "@$(($(date +%s) - 60))" {} +
LD_LIBRARY_PATH=/usr/lib/ardour7 /usr/lib/ardour7/ardour-vst3-scanner -q -f \
  "$work/vst3/Quillet.vst3" >"$work/scan.log" 2>&1 || true
grep -rqs 'uid="565354766D514C7175696C6C65740000"' "$XDG_CACHE_HOME/ardour7/vst" ||
  fail "Ardour's scanner did not take the bundle ($(tail -n 2 "$work/scan.log"))"

# 2. The session.
cat >"$work/make.lua" <<LUA
local backend = AudioEngine:set_backend("None (Dummy)", "", "")
backend:set_device_name("Silence")
create_session("$session", "session", 48000)
local tracks = Session:new_audio_track(2, 2, nil, 1, "Track", ARDOUR.PresentationInfo.max_order,
                                       ARDOUR.TrackMode.Normal, true)
ARDOUR.LuaAPI.list_plugins()
local sine = ARDOUR.LuaAPI.new_plugin(Session, "SinGen", ARDOUR.PluginType.Lua, "")
local quillet = ARDOUR.LuaAPI.new_plugin(Session, "Quillet", ARDOUR.PluginType.VST3, "")
assert(not quillet:isnil(), "no Quillet among Ardour's VST 3 plug-ins")
tracks:front():add_processor_by_index(sine, 0, nil, true)
tracks:front():add_processor_by_index(quillet, 1, nil, true)
ARDOUR.LuaAPI.set_processor_param(quillet, 1, 0.25)
Session:save_state("", false, false, false, false, false)
close_session()
LUA
ardour7-lua "$work/make.lua" >"$work/make.log" 2>&1 || fail "no session ($(tail -n 3 "$work/make.log"))"
file=$session/session.ardour
grep -q '<Processor [^>]*type="vst3" unique-id="565354766D514C7175696C6C65740000"' "$file" ||
  fail "the session holds no Quillet VST 3"
grep -q '<Controllable name="Mix"[^>]* value="0.25"' "$file" || fail "Mix was not saved as 0.25"
# One second of session range (superclock ticks).
sed -i 's|<Locations/>|<Locations><Location id="9001" name="session" start="a0" end="a282240000" flags="IsSessionRange" locked="0" timestamp="1" cue="0"/></Locations>|' "$file"
grep -q IsSessionRange "$file" || fail "no session range could be written"

# 3. The render through the plug-in. ardour7-export 7.3 sometimes hangs
# before rendering, its main thread waiting for the butler (seen about one run
# in three on a loaded machine, with no frame of the plug-in on any thread):
# such a run is stopped and the export tried again.
for attempt in 1 2 3; do
  rm -f "$work/out.wav"
  timeout 45 ardour7-export -b float -o "$work/out.wav" "$session" session >"$work/export.log" 2>&1 || true
  [ "$(stat -c %s "$work/out.wav" 2>/dev/null || echo 0)" -gt 1000 ] && break
done
[ "$(stat -c %s "$work/out.wav" 2>/dev/null || echo 0)" -gt 1000 ] ||
  fail "no render ($(tail -n 3 "$work/export.log"))"
level=$(sox "$work/out.wav" -n stat 2>&1 | awk '/RMS     amplitude/ { print $3 }')
awk -v l="$level" 'BEGIN { exit !(l > 0.01 && l < 2) }' || fail "render level $level"

# 4. Loaded again: the plug-in's state gives Mix back.
cat >"$work/load.lua" <<LUA
local backend = AudioEngine:set_backend("None (Dummy)", "", "")
backend:set_device_name("Silence")
load_session("$session", "session")
for r in Session:get_routes():iter() do
  if r:name() == "Track" then
    print("Mix=" .. ARDOUR.LuaAPI.get_processor_param(r:nth_plugin(1), 1, true))
  end
end
close_session()
LUA
ardour7-lua "$work/load.lua" >"$work/load.log" 2>&1 || fail "the session did not load again"
grep -q '^Mix=0.25' "$work/load.log" || fail "Mix after reloading: $(grep '^Mix=' "$work/load.log")"
echo "Ardour loaded, rendered (RMS $level), saved and reloaded the VST 3 bundle"
