# shellcheck shell=bash
# Sourced by the test scripts. start_two_monitors DIR starts Xorg with the
# dummy video driver (Xvfb shows one monitor only) on a display number the
# server picks itself, gives its outputs DUMMY0 and DUMMY1 modes of their own
# (xrandr --newmode / --addmode) and puts them side by side: 1024x768, the
# primary, and 800x600 right of it. The root window is grey, so that a
# monitor nothing covers shows. Exports DISPLAY and sets xorg to the server's
# process id; DIR keeps its configuration and log. Needs root.
start_two_monitors() {
    local dir=$1 numfile
    cat >"$dir/xorg.conf" <<'CONF'
Section "Device"
    Identifier "dummy"
    Driver "dummy"
    VideoRam 65536
EndSection
Section "Monitor"
    Identifier "monitor"
    HorizSync 5.0 - 1000.0
    VertRefresh 5.0 - 200.0
EndSection
Section "Screen"
    Identifier "screen"
    Device "dummy"
    Monitor "monitor"
    DefaultDepth 24
    SubSection "Display"
        Depth 24
        Virtual 1824 768
    EndSubSection
EndSection
Section "ServerFlags"
    Option "AutoAddDevices" "false"
    Option "DontVTSwitch" "true"
EndSection
CONF
    # Xorg writes its display number to fd 3 once it accepts connections.
    numfile="$dir/display"
    Xorg -config "$dir/xorg.conf" -logfile "$dir/xorg.log" -nolisten tcp -noreset -novtswitch \
        -sharevts -displayfd 3 3>"$numfile" >/dev/null 2>&1 &
    xorg=$!
    for _ in $(seq 300); do
        grep -q '^[0-9][0-9]*$' "$numfile" 2>/dev/null && break
        kill -0 "$xorg" 2>/dev/null || break
        sleep 0.1
    done
    if ! grep -q '^[0-9][0-9]*$' "$numfile" 2>/dev/null; then
        echo "Xorg did not start:" >&2
        tail -20 "$dir/xorg.log" >&2 || true
        return 1
    fi
    DISPLAY=":$(cat "$numfile")"
    export DISPLAY
    xrandr --newmode e2e1024 63.50 1024 1072 1176 1328 768 771 775 798 -hsync +vsync
    xrandr --newmode e2e800 38.25 800 832 912 1024 600 603 607 624 -hsync +vsync
    xrandr --addmode DUMMY0 e2e1024
    xrandr --addmode DUMMY1 e2e800
    xrandr --output DUMMY0 --mode e2e1024 --pos 0x0 --primary \
        --output DUMMY1 --mode e2e800 --right-of DUMMY0
    xsetroot -solid "#808080"
    [ "$(xrandr --listactivemonitors | head -1)" = "Monitors: 2" ]
}

# The parts of the screen the two monitors show, for `convert -crop`.
PRIMARY_AREA=1024x768+0+0
SECOND_AREA=800x600+1024+0
