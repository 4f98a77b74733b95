# shellcheck shell=bash
# Sourced by the test scripts. start_xvfb WxHxDEPTH [ARG...] starts a virtual X screen
# on a display number the server picks itself (-displayfd: it writes the
# number once it accepts connections, so no fixed or random number can meet a
# server or a lock file already there), exports DISPLAY and sets xvfb to the
# server's process id. Further arguments go to Xvfb (such as -noreset).
start_xvfb() {
    local screen=$1 numfile
    shift
    numfile=$(mktemp)
    Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp "$@" 3>"$numfile" >/dev/null 2>&1 &
    xvfb=$!
    for _ in $(seq 300); do
        if grep -q '^[0-9][0-9]*$' "$numfile" 2>/dev/null; then
            DISPLAY=":$(cat "$numfile")"
            export DISPLAY
            rm -f "$numfile"
            return 0
        fi
        kill -0 "$xvfb" 2>/dev/null || break
        sleep 0.1
    done
    rm -f "$numfile"
    echo "Xvfb did not start" >&2
    return 1
}
