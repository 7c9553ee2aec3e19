# The program under test: installing and starting it, its end, what Wine's traces say it did, and
# what it shows (message boxes, dialogs, the open menu) read back from inside the prefix by the
# inspection tool; its settings and the drives as it sees them. Sourced by lib.sh.

# install_dorvane [DIR] [without-companion]: the program's folder as an installer leaves it.
install_dorvane() {
    local dir
    dir=$(unix_path "${1:-$INSTALL_DIR}")
    mkdir -p "$dir"
    cp "$DORVANE_BIN/Dorvane.exe" "$dir/"
    [ "${2:-}" = without-companion ] || cp "$DORVANE_BIN/Ambergate.exe" "$dir/"
    log "installed into ${1:-$INSTALL_DIR}${2:+ ($2)}"
}

set_install_path() {
    win reg add "$SETTINGS_KEY" /v InstallPath /d "$1" /f >/dev/null 2>>"$ARTIFACTS/reg.stderr" ||
        fail "could not write InstallPath"
    log "InstallPath = $1"
}

# start_installed [LABEL]: the program as the setup leaves it (INSTALL_DIR with the companion,
# InstallPath set), started with no command line (as "main"); returns once its icon shows.
start_installed() {
    install_dorvane
    set_install_path "$INSTALL_DIR"
    start_dorvane "${1:-main}" "$INSTALL_DIR\\Dorvane.exe"
    wait_for 30 "the program's icon in the notification area" icon_shows 151
}

# start_dorvane LABEL 'C:\Dir\Dorvane.exe' [ARGUMENT]: starts the program in the background with
# Wine's process and notification-icon traces on (and the calls chosen with trace_calls), through
# the loader of its own half, so that the trace's first process is the program (a loader of the
# other half would hand it to start.exe). Its stderr goes to LABEL.stderr, its exit status, once it
# ends, to LABEL.status.
start_dorvane() {
    local label=$1 exe=$2 channels=+pid,+process,+systray
    shift 2
    [ ! -f "$E2E_TMP/relay" ] || channels+=,+relay
    (
        cd "$WINEPREFIX/drive_c" || exit 99
        WINEDEBUG=$channels "$PROGRAM_WINE" "$exe" "$@" >"$ARTIFACTS/$label.stdout" 2>"$ARTIFACTS/$label.stderr" </dev/null
        echo $? >"$E2E_TMP/$label.status"
    ) >/dev/null 2>&1 &
    RUN_PID[$label]=$!
    log "started $label: $exe${*:+ $*}"
}

_has_ended() { [ -s "$E2E_TMP/$1.status" ] || { echo "$1 still running"; return 1; }; }
is_running() { ! _has_ended "$1" >/dev/null && echo "$1 runs" || { echo "$1 ended"; return 1; }; }

# wait_exit LABEL SECONDS: waits until the run ends; prints its exit status.
wait_exit() {
    wait_for "$2" "$1 to end" _has_ended "$1"
    cat "$E2E_TMP/$1.status"
}

# exit_from_menu [LABEL]: Exit in the tray menu ends the run (default main) with 0.
exit_from_menu() {
    tray_menu_keys Up Return
    check_eq "Exit ends ${1:-main} with 0" 0 "$(wait_exit "${1:-main}" 20)"
}

# run_pid LABEL: the run's Windows process id (four hex digits, as in Wine's traces): the first
# traced line of its stderr is its own.
run_pid() {
    grep -a -m1 -oE '^[0-9a-f]{4}:[0-9a-f]{4}:' "$ARTIFACTS/$1.stderr" | cut -d: -f1 | grep . ||
        fail "no trace from $1 yet: cannot tell its process id"
}

# created_processes LABEL [PID]: the command lines the run (or process PID, a regex) handed to
# CreateProcess, one a line, as "app=<application name> <command line>", exactly as passed.
created_processes() { "$PARSE" created "${2:-$(run_pid "$1")}" <"$ARTIFACTS/$1.stderr"; }

# tray_calls LABEL: the run's Shell_NotifyIcon calls in order, by name (NIM_ADD NIM_MODIFY ...).
tray_calls() { "$PARSE" tray-calls "$(run_pid "$1")" <"$ARTIFACTS/$1.stderr"; }

# trace_mark LABEL: how far the run's trace has come; program_calls LABEL [MARK]: the calls chosen
# with trace_calls that the program's own code made (since MARK), as `parse calls` prints them.
trace_mark() { wc -l <"$ARTIFACTS/$1.stderr"; }
program_calls() {
    "$PARSE" calls "$(run_pid "$1")" "$DORVANE_BIN/Dorvane.exe" "${2:-0}" <"$ARTIFACTS/$1.stderr"
}

# companion_log: the lines Ambergate wrote to %TEMP%\Ambergate.log, time stamps cut off (nothing
# when there is no log); the file is kept as an artefact. companion_logged N: N lines or more.
companion_log() {
    local temp file
    temp=$(inspect temp)
    [ -n "$temp" ] || fail "could not ask for the temporary folder"
    file=$(unix_path "${temp%\\}")/Ambergate.log
    [ -f "$file" ] || return 0
    cp "$file" "$ARTIFACTS/Ambergate.log"
    tr -d '\r' <"$file" | sed -E 's/^[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2} //'
}
companion_logged() {
    local lines
    lines=$(companion_log)
    echo "${lines:-no companion log}"
    [ "$(grep -c . <<<"$lines")" -ge "${1:-1}" ]
}

# reg_dump KEY [VIEW]: the key with its values and subkeys as wininspect prints them ("missing ..."
# when it is not there), in the registry VIEW (/reg:64 or /reg:32; default the program's).
reg_dump() {
    local reg
    reg=$(inspect reg "$1" "${2:-$PROGRAM_VIEW}")
    [ -n "$reg" ] || fail "could not read the registry key $1"
    echo "$reg" >>"$ARTIFACTS/registry.txt"
    echo "$reg"
}

# ---- message boxes and dialogs -------------------------------------------------------------------

_visible_windows() { inspect windows | sed -E 's/.* pid=([0-9a-f]+) .* class=(".*") title=(".*")$/[\1 \2 \3]/' | paste -sd' '; }

# read_msgbox TITLE: the message boxes captioned TITLE as wininspect prints them; status 1 (and
# the visible windows) when there is none. no_msgbox TITLE: none is shown.
read_msgbox() {
    local box
    box=$(inspect msgbox "$1") && [ -n "$box" ] && echo "$box" && return 0
    echo "visible windows: $(_visible_windows)"
    return 1
}
no_msgbox() { ! read_msgbox "$1" || return 1; }

# wait_msgbox TITLE SECONDS: waits for one message box captioned TITLE; prints it as
# "pid=PID owner=OWNER buttons=TEXT,... text=MESSAGE", its owner in 16 hex digits from either
# build of the tool, the message as wininspect escapes it.
wait_msgbox() {
    local box owner
    wait_for "$2" "a message box captioned \"$1\"" read_msgbox "$1"
    box=$(read_msgbox "$1") || fail "the message box \"$1\" went away"
    echo "$box" >>"$ARTIFACTS/msgboxes.txt"
    [ "$(grep -c '^msgbox ' <<<"$box")" -eq 1 ] || fail "expected one message box \"$1\", saw: $box"
    printf -v owner '%016X' "0x$(sed -nE 's/^msgbox .* owner=([0-9a-fA-F]+) .*/\1/p' <<<"$box")"
    # The message is the static control that holds text (the icon's static is empty).
    echo "pid=$(sed -nE 's/^msgbox .* pid=([0-9a-f]+) .*/\1/p' <<<"$box") owner=$owner" \
        "buttons=$(sed -nE 's/^button id=[0-9]+ visible=1 class="Button" text="(.*)"$/\1/p' <<<"$box" | paste -sd,)" \
        "text=$(sed -nE 's/^static id=[0-9]+ visible=1 class="Static" text="(.+)"$/\1/p' <<<"$box")"
}

# read_dialog TITLE: the dialogs titled TITLE (a TITLE ending in * names the start of the title),
# read back from the running program with the wide calls: "dialog ... rect=L,T,R,B ... title=...",
# then "control id=N class=C visible=V enabled=E rect=L,T,R,B [checked=C] [hotkey=0xNNNN]
# [password] text=UTF-8" and "focus id=N". Status 1 (and the visible windows) when there is none.
read_dialog() {
    local title=$1 dialog
    # A title beyond ASCII goes to the tool as UTF-16 in hex, safe from the locale's conversions.
    if LC_ALL=C grep -q '[^ -~]' <<<"$title"; then
        title="=$(printf %s "$title" | iconv -f UTF-8 -t UTF-16BE | od -An -tx1 | tr -d ' \n')"
    fi
    dialog=$(inspect dialog "$title") && [ -n "$dialog" ] && echo "$dialog" && return 0
    echo "visible windows: $(_visible_windows)"
    return 1
}
no_dialog() { ! read_dialog "$1" >/dev/null || { echo "\"$1\" is still shown"; return 1; }; }

# wait_dialog TITLE SECONDS: waits until one dialog titled TITLE shows; prints it as read_dialog.
wait_dialog() {
    local dialog
    wait_for "$2" "the dialog \"$1\"" read_dialog "$1"
    dialog=$(read_dialog "$1") || fail "the dialog \"$1\" went away"
    echo "$dialog" >>"$ARTIFACTS/dialogs.txt"
    [ "$(grep -c '^dialog ' <<<"$dialog")" -eq 1 ] || fail "expected one dialog \"$1\", saw: $dialog"
    echo "$dialog"
}

# control_text DIALOG ID: the text of control ID (C escapes as wininspect prints them); control DIALOG
# ID: its line without its place.
control_text() { sed -nE "s/^control id=$2 .* text=\"(.*)\"\$/\1/p" <<<"$1" | head -n1; }
control() { grep -m1 "^control id=$2 " <<<"$1" | sed -E 's/ rect=[-0-9,]+//'; }

# click_control DIALOG ID: a left click in the middle of control ID.
click_control() {
    local rect
    rect=$(grep -m1 "^control id=$2 " <<<"$1" | sed -nE 's/.* rect=([-0-9,]+) .*/\1/p')
    [ -n "$rect" ] || fail "the dialog has no control $2"
    click_rect "$rect"
    log "clicked control $2"
}

# dialog_shot DIALOG NAME: a screenshot of the dialog as artefact NAME.png.
dialog_shot() {
    shot "$2" "$(rect_box "$(sed -nE '1s/^dialog .* rect=([-0-9,]+) .*/\1/p' <<<"$1")")"
    log "dialog screenshot $2.png"
}

# ---- the open menu -------------------------------------------------------------------------------

# read_menu LABEL: the open pop-up menu of the run LABEL, read from inside the program (wininspect
# menu): the texts, states and marks the program gave its items, not pixels, one a line as
# `parse menu` writes them. Status 1 (and why) when no menu of LABEL is open.
read_menu() {
    local out pid
    pid=$(run_pid "$1")
    out=$(inspect menu)
    echo "$out" | tee "$E2E_TMP/menu.txt" >>"$ARTIFACTS/menus.txt"
    [ "$(head -n1 <<<"$out")" = "menu pid=$pid" ] || { echo "no menu of $1 ($(head -n1 <<<"$out"))"; return 1; }
    "$PARSE" menu <<<"$out"
}

# menu_shot LABEL NAME: a screenshot of the open menu of LABEL with its shown sub-menus (NAME.png).
menu_shot() {
    local box
    read_menu "$1" >/dev/null || fail "no open menu of $1 to photograph"
    box=$("$PARSE" menu-box <"$E2E_TMP/menu.txt") || fail "no menu window to photograph"
    shot "$2" "$box"
    log "menu screenshot $2.png ($box)"
}

# wait_menu LABEL WHAT EXPECTED [FILTER...]: the open menu of LABEL (piped through the FILTER command,
# when given) becomes EXPECTED within 10 s, as the poller rewrites it twice a second.
_menu_is() {
    local menu
    menu=$(read_menu "$1") || { echo "$menu"; return 1; }
    [ $# -lt 3 ] || menu=$("${@:3}" <<<"$menu")
    echo "$menu"
    [ "$menu" = "$2" ]
}
wait_menu() {
    local deadline=$((${EPOCHREALTIME/./} + 10000000)) seen
    until seen=$(_menu_is "$1" "$3" "${@:4}"); do
        ((${EPOCHREALTIME/./} < deadline)) || break
        sleep 0.2
    done
    check_lines "$2" "$3" "$seen"
}

# ---- drives as the program sees them -------------------------------------------------------------

# drive_line LETTER: "drive D: type=5 label=..." as the system reports it (5 is DRIVE_CDROM).
drive_line() { inspect drives | grep "^drive ${1^^}: "; }

# vcd_log_is LETTER TEXT: the MCI messages that the virtual drive saw are the lines of TEXT;
# vcd_log_ends LETTER TEXT: its last ones are.
vcd_log_is() {
    local seen
    seen=$(vcd log "$1")
    echo "$seen" | paste -sd'|'
    [ "$seen" = "$2" ]
}
vcd_log_ends() {
    local seen
    seen=$(vcd log "$1" | tail -n "$(wc -l <<<"$2")")
    echo "$seen" | paste -sd'|'
    [ "$seen" = "$2" ]
}

# door_is LETTER STATE: the virtual drive's tray is STATE (open, closed, opening, closing).
door_is() {
    local door
    door=$(vcd field "$1" door)
    echo "the door is $door"
    [ "$door" = "$2" ]
}
