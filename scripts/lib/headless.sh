# Sourced by scripts/test, scripts/bench, scripts/run and scripts/desktop: a test display,
# a desktop on it and a JACK server for machines that have none. Whatever is started here
# is stopped, and every folder made here removed, by stop_started_services.

started_pids=()
started_dirs=()

stop_started_services() {
    for pid in "${started_pids[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    for pid in "${started_pids[@]}"; do
        # Not all are our children (the session bus is dbus-launch's): wait for those by hand.
        wait "$pid" 2>/dev/null || true
        for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    done
    started_pids=()
    if [ ${#started_dirs[@]} -gt 0 ]; then
        rm -rf "${started_dirs[@]}"
    fi
    started_dirs=()
}

# Starts a virtual display of our own, of the size given (1280x800 unless given), and
# points DISPLAY at it. Xvfb chooses a free display number itself and reports it when it
# is ready, so two runs starting at once never end up sharing one display (and each
# other's windows and key presses).
start_private_display() {
    local size=${1:-1280x800} number_file
    number_file=$(mktemp)
    # -noreset keeps atoms interned by a client alive after it disconnects.
    Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp -noreset 3>"$number_file" >/dev/null 2>&1 &
    local xvfb=$!
    started_pids+=($xvfb)
    for _ in $(seq 100); do
        [ -s "$number_file" ] && break
        kill -0 "$xvfb" 2>/dev/null || break
        sleep 0.1
    done
    local number
    number=$(tr -dc 0-9 <"$number_file")
    rm -f "$number_file"
    if [ -z "$number" ]; then
        echo "could not start a virtual display (Xvfb)" >&2
        return 1
    fi
    export DISPLAY=":$number"
    # Without a window manager nobody creates the protocol atoms, and the framework then
    # ignores close requests: create them here.
    for atom in WM_PROTOCOLS WM_DELETE_WINDOW _NET_WM_PING WM_STATE _NET_WM_STATE; do
        xprop -root -f "$atom" 32a -set "$atom" "$atom" >/dev/null 2>&1 || true
        xprop -root -remove "$atom" >/dev/null 2>&1 || true
    done
}

# A folder of our own for the desktop's session (mode 700, as a runtime folder must be),
# made once per run and removed by stop_started_services.
session_dir() {
    if [ -z "${orvo_session_dir:-}" ]; then
        orvo_session_dir=$(mktemp -d "${TMPDIR:-/tmp}/orvo-desktop.XXXXXX")
        started_dirs+=("$orvo_session_dir")
    fi
    echo "$orvo_session_dir"
}

# Gives the display the scale a desktop set to that many times 100 % announces to its
# programs: GNOME's XSETTINGS (window scaling factor and DPI), served by xsettingsd. The
# framework reads the scale there first; GSETTINGS_BACKEND=memory keeps the settings of
# whoever runs this out of the desktop's programs, so the scale comes from here alone.
start_scaled_settings() {
    local scale=${1:-1} config
    session_dir >/dev/null
    config="$(session_dir)/xsettingsd.conf"
    cat >"$config" <<END
Gdk/WindowScalingFactor $scale
Gdk/UnscaledDPI 98304
Xft/DPI $((98304 * scale))
END
    xsettingsd -c "$config" >/dev/null 2>&1 &
    started_pids+=($!)
    export GSETTINGS_BACKEND=memory
    for _ in $(seq 100); do
        dump_xsettings 2>/dev/null | grep -q "^Gdk/WindowScalingFactor $scale\$" && return 0
        sleep 0.05
    done
    echo "could not start the desktop's settings (xsettingsd)" >&2
    return 1
}

# Starts a window manager on DISPLAY (mutter, GNOME's, unless given; or openbox) with a
# session bus and a runtime folder of its own, so that runs side by side never share one,
# and waits until it manages the screen and has set the work area (without which the
# framework computes no display scale).
start_window_manager() {
    local wm=${1:-mutter} dir
    dir=$(session_dir)
    mkdir -p "$dir/runtime" "$dir/config" "$dir/cache" "$dir/data"
    chmod 700 "$dir/runtime"
    export XDG_RUNTIME_DIR="$dir/runtime"
    local session=(env XDG_CONFIG_HOME="$dir/config" XDG_CACHE_HOME="$dir/cache" XDG_DATA_HOME="$dir/data")
    local bus
    if ! bus=$("${session[@]}" dbus-launch --sh-syntax --exit-with-x11); then
        echo "could not start a session bus" >&2
        return 1
    fi
    eval "$bus"
    export DBUS_SESSION_BUS_ADDRESS
    started_pids+=("$DBUS_SESSION_BUS_PID")
    case $wm in
        mutter) "${session[@]}" mutter --x11 --replace --sm-disable >"$dir/$wm.log" 2>&1 & ;;
        openbox) "${session[@]}" openbox --sm-disable >"$dir/$wm.log" 2>&1 & ;;
        *) echo "no such window manager: $wm (mutter or openbox)" >&2; return 1 ;;
    esac
    local manager=$!
    started_pids+=($manager)
    for _ in $(seq 200); do
        if xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" \
                && xprop -root _NET_WORKAREA 2>/dev/null | grep -q "= "; then
            return 0
        fi
        kill -0 "$manager" 2>/dev/null || break
        sleep 0.05
    done
    echo "could not start the window manager $wm:" >&2
    cat "$dir/$wm.log" >&2
    return 1
}

# Uses DISPLAY when it works, and starts a virtual display otherwise.
ensure_display() {
    if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
        return 0
    fi
    start_private_display
    echo "started a virtual display $DISPLAY (no display was available)"
}

# Starts a JACK server with the dummy backend under the given private name, at 48 kHz
# with the given period (256 samples unless given), without real-time scheduling.
start_jack_dummy() {
    local name=$1 period=${2:-256} log
    session_dir >/dev/null
    log="$(session_dir)/jackd-$name.log"
    jackd -n "$name" -r -d dummy -r 48000 -p "$period" >"$log" 2>&1 &
    started_pids+=($!)
    export JACK_DEFAULT_SERVER="$name"
    if ! timeout 10 jack_wait -w -s "$name" >/dev/null 2>&1; then
        # Its own words say why: "Too many servers already active", say, when servers
        # killed outright have left their places taken in the machine's JACK registry.
        echo "could not start a JACK dummy server:" >&2
        tail -n 5 "$log" >&2
        return 1
    fi
    # A server that has only just started may still turn a client away: wait until it
    # lists its own playback ports, which it does once its engine runs.
    for _ in $(seq 100); do
        jack_lsp -s "$name" 2>/dev/null | grep -q "^system:playback_1" && return 0
        sleep 0.05
    done
}

# True when a JACK server answers or ALSA lists a sound card.
audio_device_reachable() {
    timeout 2 jack_wait -c 2>/dev/null | grep -q "^running" && return 0
    [ -s /proc/asound/cards ] && ! grep -q "no soundcards" /proc/asound/cards
}
