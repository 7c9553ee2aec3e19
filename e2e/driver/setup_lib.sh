# Helpers for the scenarios that run the setup program and its uninstaller (source after lib.sh).
#
# Environment: DORVANE_SETUP, the setup program to test (a Linux path), and DORVANE_SETUP_AMD64, the
# same script built as a 64-bit program: NSIS's own code is 32-bit, so where Wine cannot run 32-bit
# programs the scenarios run that one instead (and say so). Either way it runs in a 64-bit prefix
# and installs the x64 program.

: "${DORVANE_SETUP:?DORVANE_SETUP must name the setup program (make setup)}"
SETUP_STAND_IN=""
if ! _can_run_x86; then
    : "${DORVANE_SETUP_AMD64:?DORVANE_SETUP_AMD64 must name the 64-bit test setup (make setup)}"
    SETUP_STAND_IN="the shipped 32-bit setup cannot run here ($X86_MISSING): its script runs as its 64-bit test build"
    DORVANE_SETUP=$DORVANE_SETUP_AMD64
fi

# The entry for all users is written in the 64-bit view (the setup turns to it on 64-bit Windows,
# where Programs and Features lists both views); the per-user one under HKCU, one key for both halves.
UNINSTALL_KEY_64='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Dorvane_is1'
UNINSTALL_KEY_USER='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Dorvane_is1'

# setup_wine FILE ARGUMENT...: runs the Windows program FILE (a Unix path, or a Windows one in the
# prefix) with the loader of its own half: the shipped setup and its uninstaller are 32-bit, the
# test build 64-bit. Wine mirrors every Start-menu shortcut as a Linux desktop entry in the user's
# home, outside the prefix; the setup's programs run without that (winemenubuilder off).
setup_wine() {
    local file=$1
    [[ $file == [A-Za-z]:\\* ]] && file=$(unix_path "$file")
    [ -f "$file" ] || fail "no program $1"
    timeout 120 env WINEDEBUG=-all WINEDLLOVERRIDES='winemenubuilder.exe=d' "$(loader_for "$file")" "$@"
}

# run_setup ARGUMENT...: runs the setup (from its Linux path, so that nothing is copied into the
# prefix) and waits for it; SETUP_STATUS is its exit code.
run_setup() {
    log "running the setup $*"
    SETUP_STATUS=0
    # Said once, before the first run.
    [ -z "$SETUP_STAND_IN" ] || { log "$SETUP_STAND_IN"; SETUP_STAND_IN=""; }
    log "the setup is $(basename "$DORVANE_SETUP"), PE machine $(pe_machine "$DORVANE_SETUP")"
    setup_wine "$DORVANE_SETUP" "$@" >>"$ARTIFACTS/setup.stdout" 2>>"$ARTIFACTS/setup.stderr" || SETUP_STATUS=$?
    log "the setup ended with $SETUP_STATUS"
    # NSIS ends with 0 (done), 1 (cancelled) or 2 (aborted by the script); a silent setup is never
    # cancelled. Wine without its 32-bit half cannot start a 32-bit setup at all (1 here).
    if [ "$SETUP_STATUS" -ne 0 ] && [ "$SETUP_STATUS" -ne 2 ]; then
        fail "the setup did not run (status $SETUP_STATUS, PE machine $(pe_machine "$DORVANE_SETUP");" \
            "014c needs Wine's 32-bit half: see the README)"
    fi
}

# reg_value KEY NAME [VIEW]: sets VALUE to the text of a string value (wininspect's escapes undone),
# read in the registry VIEW (default: the program's), or fails.
reg_value() {
    reg_dump "$1" "${3:-$PROGRAM_VIEW}"
    VALUE=$(sed -nE "s/^value \"$2\" REG_[A-Z_]+ size=[0-9]+ data=\"(.*)\"\$/\\1/p" <<<"$REG" | sed -E 's/\\(.)/\1/g')
    [ -n "$VALUE" ] || fail "no value $2 in $1 (seen: $REG)"
}

# NSIS 3.08 names the copy Un.exe (older versions Au_.exe).
_no_uninstaller_copy() {
    SEEN=$(inspect processes | tr -d '\r' | grep -iE 'exe="(Un|Au_)\.exe"')
    [ -z "$SEEN" ]
}

# run_quiet_uninstall KEY VIEW: runs the QuietUninstallString of the uninstall entry KEY (in VIEW) as an
# administrator's script would, and waits until the uninstaller's working copy (NSIS copies
# itself to %TEMP% and runs from there, so the program itself returns at once) has ended.
run_quiet_uninstall() {
    local command exe
    reg_value "$1" QuietUninstallString "$2"
    command=$VALUE
    [[ $command =~ ^\"([^\"]+)\"\ (.*)$ ]] || fail "QuietUninstallString is not a quoted program with arguments: $command"
    exe=${BASH_REMATCH[1]}
    log "running the uninstaller: $command"
    # shellcheck disable=SC2086 # the arguments are blank-separated switches
    setup_wine "$exe" ${BASH_REMATCH[2]} >>"$ARTIFACTS/uninstall.stdout" 2>>"$ARTIFACTS/uninstall.stderr" ||
        fail "the uninstaller did not start (status $?)"
    wait_for 60 "the uninstaller's working copy to end" _no_uninstaller_copy
}

# restart_wine: ends every program of the prefix, as a restart of the machine would; the next
# program's start runs Wine's start-up, which carries out the file deletions queued for it
# (MoveFileEx with MOVEFILE_DELAY_UNTIL_REBOOT). The desktop is gone afterwards.
restart_wine() {
    end_wine_now
    win64 cmd /c exit >/dev/null 2>&1 || fail "Wine did not start again"
    log "Wine restarted"
}

# The prefix's state, to compare before the setup and after the uninstaller: every file and folder
# under drive_c (type and size), and the exported Software keys of the user and of the machine.
# Wine itself rewrites a few things on every run; those lines are left out, each named here:
#   - the "#time=" stamps that reg export writes after some keys (last-write times);
#   - HKCU\Software\Wine\Temporary System Parameters: Wine's volatile copy of the mouse and
#     desktop parameters, rewritten as programs start;
#   - the uninstaller's empty working folder %TEMP%\~nsuN.tmp: NSIS runs the uninstaller from a
#     copy there and queues the copy and the folder for deletion at the next restart, the folder
#     first, so the folder (then still holding the copy) stays behind, empty.
SNAPSHOT_FILTER_FILES='^(users/[^/]+/(AppData/Local/)?Temp/~nsu[0-9]+\.tmp d$)'

# snapshot NAME: writes NAME-files.txt and NAME-registry.txt into the artefacts.
snapshot() {
    local name=$1 key file
    (cd "$WINEPREFIX/drive_c" && find . -mindepth 1 -printf '%P %y %s\n' | sed -E 's/ (d) [0-9]+$/ \1/') |
        LC_ALL=C sort | grep -vE "$SNAPSHOT_FILTER_FILES" >"$ARTIFACTS/$name-files.txt"
    : >"$ARTIFACTS/$name-registry.txt"
    for key in 'HKCU\Software' 'HKLM\Software'; do
        file=$E2E_TMP/export.reg
        rm -f "$file"
        # The 64-bit view holds the 32-bit one as Software\Wow6432Node: one export has both.
        win64 reg export "$key" "Z:${file//\//\\}" /y /reg:64 >/dev/null 2>>"$ARTIFACTS/reg.stderr" ||
            fail "could not export $key"
        # One line a key, and one a value that starts with its key; long binary values joined.
        iconv -f UTF-16LE -t UTF-8 "$file" | tr -d '\r' | sed -e '1s/^\xef\xbb\xbf//' -e ':a' -e '/\\$/{N;s/\\\n *//;ba}' |
            grep -vE '^(#time=|\[HKEY_CURRENT_USER\\Software\\Wine\\Temporary System Parameters)' | awk '/^\[/ { key = $0; print; next } NF && key != "" { print key " " $0 }' \
            >>"$ARTIFACTS/$name-registry.txt"
    done
    log "snapshot $name: $(wc -l <"$ARTIFACTS/$name-files.txt") files, $(wc -l <"$ARTIFACTS/$name-registry.txt") registry lines"
}

# snapshot_diff BEFORE AFTER: sets DIFF to the lines that differ ("+" added, "-" gone), files first.
snapshot_diff() {
    local kind
    DIFF=""
    for kind in files registry; do
        DIFF+=$(diff "$ARTIFACTS/$1-$kind.txt" "$ARTIFACTS/$2-$kind.txt" | sed -nE 's/^> /+ /p; s/^< /- /p')
        DIFF+=$'\n'
    done
    DIFF=$(sed '/^$/d' <<<"$DIFF")
}

# installed_files DIR: sets FILES to the names in the Windows folder DIR, one a line.
installed_files() {
    FILES=$(ls -1 "$(unix_path "$1")" 2>/dev/null | LC_ALL=C sort)
}
