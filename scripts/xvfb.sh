# shellcheck shell=bash
# Sourced by the scripts that need a virtual X display (screenshots, the package check, the
# start-up benchmark). Not run on its own.

# start_xvfb [screen]: starts Xvfb on a display number of its own choosing (screen size
# 1280x1024x24 unless given), exports DISPLAY and leaves the server's pid in xvfb_pid. The
# caller kills it when done.
start_xvfb() {
    local screen="${1:-1280x1024x24}" displayfile
    displayfile="$(mktemp)"
    Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp 3>"$displayfile" 2>/dev/null &
    # shellcheck disable=SC2034 # the caller's to kill
    xvfb_pid=$!
    for _ in $(seq 100); do
        [ -s "$displayfile" ] && break
        sleep 0.1
    done
    if [ ! -s "$displayfile" ]; then
        rm -f "$displayfile"
        echo "Xvfb did not start" >&2
        return 1
    fi
    DISPLAY=":$(head -n 1 "$displayfile")"
    export DISPLAY
    rm -f "$displayfile"
}

# wait_for_window: prints the id of Korvane's window once it is mapped (20 s at most).
wait_for_window() {
    timeout 20 xdotool search --sync --onlyvisible --name '^KORVANE$' | head -n 1
}
