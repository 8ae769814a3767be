#!/usr/bin/env bash
# Shared by demo.sh and screenshots.sh (sourced, not run): the release build, a simulated
# logger on the loopback interface and a demo program directory whose LAN location points
# at it.

repo_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bin_dir="$repo_root/build/release"
demo_serial="NX0427031"
demo_location="Demo site"

build_release() {
    (cd "$repo_root" && scripts/install-deps.sh &&
        cmake --preset release >/dev/null &&
        cmake --build --preset release -j2)
}

# A TCP port on 127.0.0.1 that nobody listens on now.
free_port() {
    python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])' \
        2>/dev/null && return
    local port
    while :; do
        port=$((20000 + RANDOM % 30000))
        if ! (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then
            echo "$port"
            return
        fi
    done
}

# start_simulator PORT [FILES]: the simulated logger in the background, its highway files in
# the folder FILES when given; its pid in sim_pid.
start_simulator() {
    local files=()
    [ -n "${2:-}" ] && files=(--files "$2")
    "$bin_dir/sim/nodalyx-loggersim" --tcp "127.0.0.1:$1" --serial "$demo_serial" "${files[@]}" &
    sim_pid=$!
    sleep 0.5 # let it listen before the tool connects
    if ! kill -0 "$sim_pid" 2>/dev/null; then
        echo "the simulated logger did not start" >&2
        return 1
    fi
}

stop_simulator() {
    if [ -n "${sim_pid:-}" ] && kill -0 "$sim_pid" 2>/dev/null; then
        kill "$sim_pid"
        wait "$sim_pid" 2>/dev/null || true
    fi
    sim_pid=""
}

# prepare_demo_dir DIR PORT: a fresh program directory with one LAN location on PORT and a
# few named units on both highways.
prepare_demo_dir() {
    local dir="$1" port="$2"
    local cli=("$bin_dir/cli/nodalyx-cli" --dir "$dir")
    rm -rf "$dir"
    mkdir -p "$dir"
    "${cli[@]}" new "$demo_location" --conn lan --ip 127.0.0.1 --port "$port" >/dev/null
    # Values the upload can send (nodalyx-cli check "$demo_location" finds nothing).
    "${cli[@]}" set "$demo_location" eSerialnumber="$demo_serial" LocationName=Demo \
        LocationPlace=Harbour Interval=15 eIPaddress=192.168.1.20 eSubnetmask=255.255.255.0 \
        eGateway=192.168.1.1 ePortnumber=3101 >/dev/null
    # highway address type code name1 name3 col1 col2
    local units=(
        "1 0 2 A1B2C3D4E5F1 Entrance Parking 1 2"
        "1 1 2 A1B2C3D4E5F2 Shop - 3 4"
        "1 2 1 - Restaurant - 5 6"
        "1 3 2 A1B2C3D4E5F4 Garage Lift 7 8"
        "1 5 2 A1B2C3D4E5F6 Exit - 9 10"
        "2 0 2 00FF00FF00F1 HallNorth - 11 12"
        "2 1 2 00FF00FF00F2 HallSouth Stairs 13 14"
        "2 3 1 - Office - 15 0"
    )
    local u hw addr type code name1 name3 col1 col2
    for u in "${units[@]}"; do
        read -r hw addr type code name1 name3 col1 col2 <<<"$u"
        [ "$code" = "-" ] && code=""
        [ "$name3" = "-" ] && name3=""
        "${cli[@]}" unit "$demo_location" "$hw" "$addr" Active=1 HWtype="$type" \
            HWaddress="$code" Name1="$name1" Name2="$name1-2" Name3="$name3" \
            Col1="$col1" Col2="$col2" From1=Out To1=In From2=In To2=Out From3=Out To3=In \
            >/dev/null
    done
}

# prepare_logger_files DIR FILES: the logger's own highway files in FILES: the demo location's,
# with other names for two units, so that a download shows what it changed.
prepare_logger_files() {
    local dir="$1" files="$2"
    mkdir -p "$files"
    sed -e 's/^Name1=Entrance\r$/Name1=Main entrance\r/' \
        "$dir/$demo_location/HW01.ini" >"$files/HW01.ini"
    sed -e 's/^Name1=Office\r$/Name1=Back office\r/' \
        "$dir/$demo_location/HW02.ini" >"$files/HW02.ini"
}

# run_gui COMMAND...: runs a window program, under xvfb-run when there is no display.
run_gui() {
    if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
        echo "No display: running under xvfb-run (a virtual X server; nothing appears on screen)."
        xvfb-run -a "$@"
    else
        "$@"
    fi
}

# start_unitsim DIR: the counting units of the demo location's two highways on one simulated
# highway, a pseudo-terminal linked at DIR/highway-tty and offered as serial port 1
# (NODALYX_COM1); its pid in unitsim_pid. A type 2 unit answers to its code, so its number
# here only names it: 33, 40 and 41 leave 3 to the type 1 unit of Highway 2.
start_unitsim() {
    local link="$1/highway-tty"
    "$bin_dir/sim/nodalyx-unitsim" --pty "$link" \
        --unit 0:2:A1B2C3D4E5F1 --unit 1:2:A1B2C3D4E5F2 --unit 2:1 --unit 33:2:A1B2C3D4E5F4 \
        --unit 5:2:A1B2C3D4E5F6 --unit 40:2:00FF00FF00F1 --unit 41:2:00FF00FF00F2 \
        --unit 3:1 >/dev/null &
    unitsim_pid=$!
    sleep 0.5
    if ! kill -0 "$unitsim_pid" 2>/dev/null; then
        echo "the simulated highway did not start" >&2
        return 1
    fi
    export NODALYX_COM1="$link"
}

stop_unitsim() {
    if [ -n "${unitsim_pid:-}" ] && kill -0 "$unitsim_pid" 2>/dev/null; then
        kill "$unitsim_pid"
        wait "$unitsim_pid" 2>/dev/null || true
    fi
    unitsim_pid=""
}

# True when one of the first four arguments switches service mode on (/s, -S, xs).
wants_service_mode() {
    local word n=0
    for word in "$@"; do
        n=$((n + 1))
        [ "$n" -gt 4 ] && break
        [ "${#word}" -eq 2 ] && [ "${word:1:1}" = "s" -o "${word:1:1}" = "S" ] && return 0
    done
    return 1
}
