# vcd's drives: the state files under their lock, the disc's folder, what the programs are told, the
# registry. Sourced by vcd, which defines die and checks WINEPREFIX.

# The Windows form of a Unix path (through Z:).
win_path() {
    local p=$1
    printf 'Z:%s' "${p//\//\\}"
}

bin_folder() {
    local bits=$1 base=${DORVANE_BIN:-}
    if [ "$bits" = 64 ] && [ -n "${VCD_BIN64:-}" ]; then echo "$VCD_BIN64"; return; fi
    if [ "$bits" = 32 ] && [ -n "${VCD_BIN32:-}" ]; then echo "$VCD_BIN32"; return; fi
    [ -n "$base" ] || die "set DORVANE_BIN or VCD_BIN$bits"
    case $bits in
        64) [ -f "$base/../x64/vcdmci.dll" ] && echo "$base/../x64" || echo "$base" ;;
        32) echo "$base/../x86" ;;
    esac
}

check_letter() {
    [[ ${1:-} =~ ^[a-zA-Z]$ ]] || die "a drive letter, please (not \"${1:-}\")"
    L=${1,,}
    STATE=$VCD_DIR/$L.state
}

need_drive() {
    check_letter "$1"
    [ -f "$STATE" ] || die "no virtual drive ${L^^}: (vcd add $L)"
}

now_ms() { echo $((${EPOCHREALTIME/./} / 1000)); }

# ---- the state file under its lock --------------------------------------------------------------

declare -A S=()

read_state() {
    S=([door]=closed [disc]=none [label]="" [tracks]="" [mode]=stopped [position]=150 [since]=0 [end]=0
        [delay]=0)
    [ -f "$STATE" ] || return 0
    local name value
    while IFS='=' read -r name value; do
        [ -n "$name" ] && S[$name]=$value
    done <"$STATE"
}

write_state() {
    local temp=$STATE.$$.tmp
    printf 'door=%s\ndisc=%s\nlabel=%s\ntracks=%s\nmode=%s\nposition=%s\nsince=%s\nend=%s\ndelay=%s\n' \
        "${S[door]}" "${S[disc]}" "${S[label]}" "${S[tracks]}" "${S[mode]}" "${S[position]}" "${S[since]}" \
        "${S[end]}" "${S[delay]}" >"$temp" && mv -f "$temp" "$STATE"
}

lock() {
    local lock=$VCD_DIR/$L.lock tries=0
    until mkdir "$lock" 2>/dev/null; do
        # A lock older than 10 s was left by a process that died.
        if [ -d "$lock" ] && (($(date +%s) - $(stat -c %Y "$lock" 2>/dev/null || date +%s) > 10)); then
            rmdir "$lock" 2>/dev/null
        fi
        ((++tries < 1000)) || die "the lock of ${L^^}: stays taken ($lock)"
        sleep 0.01
    done
    trap 'rmdir "$VCD_DIR/$L.lock" 2>/dev/null' EXIT
}

unlock() {
    rmdir "$VCD_DIR/$L.lock" 2>/dev/null
    trap - EXIT
}

# Brings a playing drive up to now, as the driver does.
settle() {
    [ "${S[mode]}" = playing ] || return 0
    local now elapsed frame
    now=$(now_ms)
    elapsed=$((now > S[since] ? now - S[since] : 0))
    frame=$((S[position] + elapsed * 75 / 1000))
    if ((frame >= S[end])); then
        S[position]=${S[end]}
        S[mode]=stopped
    else
        S[position]=$frame
    fi
    S[since]=$now
}

# Whether the disc's root is in place (the disc can be read) now.
loaded() { [ -e "$VCD_DIR/$L.root" ]; }

# Whether Wine runs in this prefix: its server works in a folder named after the prefix's device and inode.
wine_runs() {
    local server pid
    server=$(printf 'server-%x-%x' $(stat -L -c '%d %i' "$WINEPREFIX"))
    for pid in /proc/[0-9]*; do
        [[ $(readlink "$pid/exe" 2>/dev/null) == */wineserver* ]] || continue
        [[ $(readlink "$pid/cwd" 2>/dev/null) == */"$server" ]] && return 0
    done
    return 1
}

# tell WAS [replaced]: WAS is 1 when the disc could be read before the command. The programs running in
# the prefix hear that it came or went, and have handled that (or been given up on, as a program that does
# not answer) once this returns. A disc replaced in a closed drive went, and another came.
tell() {
    local now=0
    loaded && now=1
    [ "$1" = "$now" ] && [ "${2:-}" != replaced ] && return 0
    wine_runs || return 0
    local exe=$VCD_DIR/vcdnotify64.exe
    [ -f "$exe" ] || die "no $exe: run vcd install first"
    if [ "$1" = 1 ]; then timeout 60 env WINEDEBUG=-all "$WINE64" "$exe" "$L" removal; fi
    if [ "$now" = 1 ]; then timeout 60 env WINEDEBUG=-all "$WINE64" "$exe" "$L" arrival; fi
    return 0
}

# The disc's root is in place only while a disc is in and the tray is closed.
sync_root() {
    local in_place=$VCD_DIR/$L.root aside=$VCD_DIR/$L.disc
    if [ "${S[disc]}" != none ] && [ "${S[door]}" = closed ]; then
        [ -e "$in_place" ] || { [ -d "$aside" ] && mv "$aside" "$in_place"; }
    else
        [ -e "$in_place" ] && mv "$in_place" "$aside"
    fi
    return 0
}

# The folder that holds the disc's files, wherever it is now.
disc_folder() {
    if [ -d "$VCD_DIR/$L.root" ]; then echo "$VCD_DIR/$L.root"; else echo "$VCD_DIR/$L.disc"; fi
}

# A tray movement by hand stops whatever plays and brings the head back to the start.
move_tray() {
    S[door]=$1
    S[mode]=stopped
    S[position]=150
}

# ---- registry ---------------------------------------------------------------------------------

# reg_import VALUES VIEW: the .reg form VALUES into the registry view VIEW (/reg:64 or /reg:32).
reg_import() {
    local file=$VCD_DIR/vcd-setup.reg
    printf 'REGEDIT4\n%s\n' "$1" >"$file"
    # Wine's reg now and then fails on a prefix whose server has only just started (seen once in a
    # make test of 378, before the driver was installed): one more try, and its words kept if both fail.
    local try
    for try in 1 2; do
        timeout 60 env WINEDEBUG=-all "$WINE64" reg import "$(win_path "$file")" "$2" >/dev/null 2>"$file.err" &&
            break
        [ "$try" = 2 ] && die "could not write the registry ($file): $(tail -3 "$file.err")"
        sleep 1
    done
    rm -f "$file" "$file.err"
}
