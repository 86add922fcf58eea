# Sourced by scripts/test, scripts/bench and scripts/run: a test display and a JACK
# server for machines that have neither. Whatever is started here is stopped by stop_started_services.

started_pids=()

stop_started_services() {
    for pid in "${started_pids[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    for pid in "${started_pids[@]}"; do
        wait "$pid" 2>/dev/null || true
    done
    started_pids=()
}

# Starts a virtual display of our own and points DISPLAY at it. Xvfb chooses a free
# display number itself and reports it when it is ready, so two runs starting at once
# never end up sharing one display (and each other's windows and key presses).
start_private_display() {
    local number_file
    number_file=$(mktemp)
    # -noreset keeps atoms interned by a client alive after it disconnects.
    Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp -noreset 3>"$number_file" >/dev/null 2>&1 &
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
    local name=$1 period=${2:-256}
    jackd -n "$name" -r -d dummy -r 48000 -p "$period" >/dev/null 2>&1 &
    started_pids+=($!)
    export JACK_DEFAULT_SERVER="$name"
    if ! timeout 10 jack_wait -w -s "$name" >/dev/null 2>&1; then
        echo "could not start a JACK dummy server" >&2
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
