# Wine's loaders, the scenario's prefix and what it is set up with before Wine starts (registry
# values, CD drives), Wine's desktop, and the guard against bare Wine calls. Sourced by lib.sh.

# ---- Wine --------------------------------------------------------------------------------------

# wine in this scenario's prefix, quiet, with a deadline: the loader of the program's half, so that
# `win reg` reaches HKLM\Software in the view the program sees. win64: Wine's own tools.
win() { timeout 60 env WINEDEBUG=-all "$PROGRAM_WINE" "$@"; }
win64() { timeout 60 env WINEDEBUG=-all "$WINE64" "$@"; }

# wininspect inside the prefix, the build of the program's half; plain lines on stdout.
inspect() { win "$INSPECT_EXE" "$@" 2>>"$ARTIFACTS/wininspect.stderr" | tr -d '\r'; }

# Ends every process of the prefix and waits for the server to go (as `wineserver -k; -w`).
end_wine_now() {
    timeout 20 "$WINE_SERVER" -k >/dev/null 2>&1
    timeout 20 "$WINE_SERVER" -w >/dev/null 2>&1
    return 0
}

# The unix path of a C:\ path in this prefix.
unix_path() {
    local p=${1#[Cc]:}
    printf '%s/drive_c%s' "$WINEPREFIX" "${p//\\//}"
}

# ---- the prefix --------------------------------------------------------------------------------

# The base prefix: made once per Wine version (wineboot takes ~10 s), then copied per scenario.
# Several scenarios may start at once; the first one makes it under a lock.
_base_stamp() {
    echo "recipe 1"
    "$WINE64" --version 2>/dev/null
    stat -c %Y /usr/share/wine/wine.inf 2>/dev/null
    # A prefix made before the 32-bit half came (or went) lacks (or has) its syswow64 files.
    [ -x "$WINE32" ] && echo "with the 32-bit half"
}

# make_prefix_at DIR: a new 64-bit Wine prefix, set up for unattended runs: no Mono, Gecko or
# desktop menu entries, and a crash prints its backtrace instead of waiting in a dialog.
make_prefix_at() {
    local dir=$1 stamp
    stamp=$(_base_stamp)
    rm -rf "$dir"
    WINEPREFIX=$dir WINEDLLOVERRIDES='mscoree,mshtml=;winemenubuilder.exe=d' WINEDEBUG=-all \
        timeout 120 "$WINE64" wineboot -i >"$ARTIFACTS/wineboot.log" 2>&1 || fail "wineboot -i failed (see wineboot.log)"
    WINEPREFIX=$dir WINEDEBUG=-all timeout 60 "$WINE64" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog \
        /t REG_DWORD /d 0 /f >>"$ARTIFACTS/wineboot.log" 2>&1 || fail "could not configure the new prefix"
    WINEPREFIX=$dir timeout 60 "$WINE_SERVER" -w
    echo "$stamp" >"$dir/.e2e-stamp"
}

# A prefix of our own: a copy of the base, the large read-only DLL folders hard-linked.
_make_prefix() {
    local base=$E2E_WORK/base-prefix
    (
        flock -w 150 9 || exit 1
        [ -f "$base/.e2e-stamp" ] && [ "$(cat "$base/.e2e-stamp")" = "$(_base_stamp)" ] && exit 0
        log "making the base Wine prefix (once per Wine version)"
        make_prefix_at "$base.new.$$"
        rm -rf "$base"
        mv "$base.new.$$" "$base"
    ) 9>"$E2E_WORK/base-prefix.lock" || fail "could not make the base prefix"
    export WINEPREFIX=$E2E_WORK/prefixes/$E2E_NAME
    [ ! -d "$WINEPREFIX" ] || end_wine_now
    rm -rf "$WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    tar -C "$base" --exclude=./drive_c/windows/system32 --exclude=./drive_c/windows/winsxs -cf - . |
        tar -C "$WINEPREFIX" -xf - || fail "could not copy the base prefix"
    cp -al "$base/drive_c/windows/system32" "$base/drive_c/windows/winsxs" "$WINEPREFIX/drive_c/windows/" ||
        fail "could not link the base prefix's DLLs"
}

# prepare_prefix COMMAND...: runs the setup command in the prefix before Wine's services start. Wine
# reads some things (the drive list) only as they start: the registry values the command asked
# for go in at once (for the program in its view, for Wine's own services in the 64-bit one), and
# Wine is ended after it.
prepare_prefix() {
    "$@"
    local file view
    for file in setup-wine setup; do
        [ -s "$E2E_TMP/$file.reg" ] || continue
        view=$PROGRAM_VIEW
        [ $file = setup ] || view=/reg:64
        { echo REGEDIT4; cat "$E2E_TMP/$file.reg"; } >"$WINEPREFIX/drive_c/e2e-setup.reg"
        win64 reg import 'C:\e2e-setup.reg' "$view" >/dev/null 2>>"$ARTIFACTS/reg.stderr" ||
            fail "could not write the setup's registry values (see reg.stderr)"
        mv "$WINEPREFIX/drive_c/e2e-setup.reg" "$ARTIFACTS/$file.reg"
    done
    end_wine_now
}

# setup_reg KEY NAME TEXT: (in the setup command) a string value for the program, KEY spelled out
# (HKEY_CURRENT_USER\...), written in the program's view; NAME @ is the key's default value.
# setup_reg_binary KEY NAME HEX and setup_reg_dword KEY NAME NUMBER: the same for REG_BINARY and
# REG_DWORD. setup_reg_wine KEY NAME TEXT: a value for Wine's own 64-bit services (the mount
# manager's drive list).
_reg_line() {
    local name="\"$(c_escape "$2")\""
    [ "$2" != @ ] || name=@
    printf '\n[%s]\n%s=%s\n' "$1" "$name" "$3" >>"$E2E_TMP/$4.reg"
}
setup_reg() { _reg_line "$1" "$2" "\"$(c_escape "$3")\"" setup; }
setup_reg_binary() { _reg_line "$1" "$2" "hex:$(sed -E 's/(..)/\1,/g; s/,$//' <<<"$3")" setup; }
setup_reg_dword() { _reg_line "$1" "$2" "dword:$(printf %08x "$3")" setup; }
setup_reg_wine() { _reg_line "$1" "$2" "\"$(c_escape "$3")\"" setup-wine; }

# setup_settings NAME=TEXT...: (in the setup command) the program's settings, as it stores them.
setup_settings() {
    local setting
    for setting; do setup_reg "HKEY_CURRENT_USER\\${SETTINGS_KEY#HKCU\\}" "${setting%%=*}" "${setting#*=}"; done
}

# trace_calls DLL.FUNCTION...: (in the setup command) the program's runs trace each call of these
# system functions with its arguments and result (Wine's relay trace, limited to them).
trace_calls() {
    setup_reg 'HKEY_CURRENT_USER\Software\Wine\Debug' RelayInclude "$(IFS=';' && echo "$*")"
    touch "$E2E_TMP/relay"
}

# add_cd_drive LETTER LABEL: a CD-ROM drive: LETTER: is a folder (the disc's root) whose volume label
# is LABEL, typed cdrom in Wine's drive list. No drive stands behind it: Wine's own cdaudio driver
# says "true" to "status cdaudio media present", fails with error 272 on the number of tracks and
# the length, and takes door commands without effect. Wine reads the drive list as it starts.
add_cd_drive() {
    local letter=${1,,}
    mkdir -p "$WINEPREFIX/cd-drives/$letter"
    printf '%s' "$2" >"$WINEPREFIX/cd-drives/$letter/.windows-label"
    ln -sfn "$WINEPREFIX/cd-drives/$letter" "$WINEPREFIX/dosdevices/$letter:"
    setup_reg_wine 'HKEY_LOCAL_MACHINE\Software\Wine\Drives' "$letter:" cdrom
    log "CD-ROM drive ${letter^^}: labelled \"$2\""
}
one_cd_drive() { add_cd_drive d DORVANE_CD; }

# vcd ARGUMENT...: the vcd tool in this prefix (`vcd help`). vcd_drive LETTER: (in the setup
# command) a CD-ROM drive whose tray, disc and MCI answers the scenario controls, tray closed and
# empty: our MCI cdaudio driver installed in both halves (the first time), the drive added.
vcd() { "$E2E_DRIVER/vcd" "$@"; }
vcd_drive() {
    if [ ! -f "$WINEPREFIX/vcd/.installed" ]; then
        vcd install || fail "could not install the virtual CD driver"
        touch "$WINEPREFIX/vcd/.installed"
    fi
    VCD_NO_REG=1 vcd add "$1" || fail "could not add the virtual drive $1:"
    setup_reg_wine 'HKEY_LOCAL_MACHINE\Software\Wine\Drives' "${1,,}:" cdrom
    log "virtual CD-ROM drive ${1^^}:"
}

# english_locale: an English locale for Wine, whose ANSI code page is then 1252. Before e2e_begin.
english_locale() {
    export LANG=C.UTF-8
    unset LC_ALL LC_CTYPE LC_MESSAGES LANGUAGE
}

# start_desktop: Wine's desktop with its notification area, kept up for the whole scenario by the
# inspection tool's `hold` (Wine ends the desktop when the last program of the prefix ends; the
# checks after an exit need it). Wine 8.0 now and then leaves that first program of a fresh prefix
# hanging before it runs (seen once in some 150 scenario starts): then Wine is ended and the
# desktop started once more.
start_desktop() {
    local try
    for try in 1 2; do
        : >"$E2E_TMP/holder.out"
        env WINEDEBUG=-all "$PROGRAM_WINE" "$INSPECT_EXE" hold >"$E2E_TMP/holder.out" 2>>"$ARTIFACTS/holder.stderr" </dev/null &
        HOLDER_PID=$!
        [ $try = 2 ] || within 30 grep -qx ready "$E2E_TMP/holder.out" && break
        log "Wine's desktop did not come up in 30 s: Wine is ended and the desktop started again"
        end_wine_now
        wait "$HOLDER_PID" 2>/dev/null
    done
    wait_for 60 "Wine's desktop and notification area" grep -qx ready "$E2E_TMP/holder.out"
}

# ---- the guard against bare Wine calls ---------------------------------------------------------

# A call of Debian's `wine`, `wineboot`, `winepath` or `wineserver` scripts would run whichever half
# they pick on this machine (see wine_halves.sh). While the harness runs, those names lead to a
# stand-in that fails, says so on stderr and notes the call in E2E_BARE_WINE_LOG, which fails the
# scenario at its end even when the caller ignored the failure.
BARE_WINE_DIR=$E2E_WORK/bare-wine
_guard_bare_wine() {
    local name file
    mkdir -p "$BARE_WINE_DIR"
    for name in wine wine64 wine-stable wineboot winepath wineserver winecfg wineconsole winedbg regedit msiexec; do
        file=$BARE_WINE_DIR/$name
        cat >"$file.$$" <<'GUARD'
#!/bin/sh
# A guard of the end-to-end harness (e2e/driver/lib.sh): name the loader instead.
printf 'e2e: bare call "%s": name the loader (WINE64 or WINE32, see e2e/driver/wine_halves.sh)\n' "${0##*/} $*" >&2
[ -n "${E2E_BARE_WINE_LOG:-}" ] && printf '%s\n' "${0##*/} $*" >>"$E2E_BARE_WINE_LOG"
exit 127
GUARD
        chmod +x "$file.$$"
        mv -f "$file.$$" "$file"
    done
    case ":$PATH:" in *":$BARE_WINE_DIR:"*) ;; *) export PATH=$BARE_WINE_DIR:$PATH ;; esac
}
_guard_bare_wine

_no_bare_wine_calls() {
    [ -s "${E2E_BARE_WINE_LOG:-/nonexistent}" ] || return 0
    log "FAIL: bare Wine scripts were called (they run whichever half this machine prefers):"
    sed 's/^/    | /' "$E2E_BARE_WINE_LOG" | tee -a "$ARTIFACTS/log.txt" >&2
    return 1
}
