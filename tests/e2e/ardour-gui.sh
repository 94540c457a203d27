# ardour-gui.sh: the steps the Ardour tests take in Ardour's GUI on their
# virtual display, sourced by ardour-editor-test.sh and lv2/ardour-lv2-test.sh.
# The sourcing script defines fail MESSAGE and keeps ardour_pid for its exit
# trap.

# Starts Ardour with the session file FILE (its log in WORK/ardour.log) and
# waits for the plug-in's editor in Ardour's plug-in window; sets ardour_pid,
# editor and the editor's geometry (X, Y, WIDTH, HEIGHT).
ardour_open_editor() {
  local file=$1 work=$2
  ardour -n -a "$file" >"$work/ardour.log" 2>&1 &
  ardour_pid=$!
  editor=
  for _ in $(seq 120); do
    editor=$(xdotool search --classname '^IPlug$' 2>/dev/null | head -n 1 || true)
    [ -n "$editor" ] && break
    kill -0 "$ardour_pid" 2>/dev/null || fail "Ardour ended ($(tail -n 3 "$work/ardour.log"))"
    sleep 0.5
  done
  [ -n "$editor" ] || fail "no editor window in Ardour's plug-in window"
  sleep 2  # the editor's first frames
  eval "$(xdotool getwindowgeometry --shell "$editor")"
}

# Drags the Volume knob (62, 198 of the editor at X, Y) 40 pixels up.
ardour_drag_volume() {
  xdotool mousemove $((X + 62)) $((Y + 198))
  sleep 0.2
  xdotool mousedown 1
  for _ in 1 2 3 4 5 6 7 8; do
    sleep 0.05
    xdotool mousemove_relative -- 0 -5
  done
  sleep 0.2
  xdotool mouseup 1
  sleep 0.5
}

# Ctrl+S in Ardour's main window, then waits until the session file FILE
# changed.
ardour_save() {
  local file=$1 main before
  main=$(xdotool search --name '^\*?session - Ardour$' 2>/dev/null | head -n 1 || true)
  [ -n "$main" ] || fail "no Ardour main window"
  before=$(stat -c %Y "$file")
  xdotool windowfocus "$main"
  sleep 0.3
  xdotool key ctrl+s
  for _ in $(seq 40); do
    [ "$(stat -c %Y "$file")" != "$before" ] && break
    sleep 0.25
  done
  sleep 0.5
}

# Ctrl+Q, and waits for Ardour to end.
ardour_quit() {
  xdotool key ctrl+q
  for _ in $(seq 40); do
    kill -0 "$ardour_pid" 2>/dev/null || { ardour_pid=; break; }
    sleep 0.25
  done
}
