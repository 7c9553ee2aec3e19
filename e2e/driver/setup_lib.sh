# Helpers for the scenarios that run the setup program and its uninstaller (source after lib.sh).
#
# Environment: DORVANE_SETUP, the setup program to test (a Linux path), and DORVANE_SETUP_AMD64, the
# same script built as a 64-bit program: NSIS's own code is 32-bit, so where Wine cannot run 32-bit
# programs the scenarios run that one instead (and say so). Either way it runs in a 64-bit prefix
# and installs the x64 program.

: "${DORVANE_SETUP:?DORVANE_SETUP must name the setup program (make setup)}"
if SETUP_STAND_IN=$(x86_missing); then
    : "${DORVANE_SETUP_AMD64:?DORVANE_SETUP_AMD64 must name the 64-bit test setup (make setup)}"
    SETUP_STAND_IN="the shipped 32-bit setup cannot run here ($SETUP_STAND_IN): its script runs as its 64-bit test build"
    DORVANE_SETUP=$DORVANE_SETUP_AMD64
fi

# _setup_said: what runs as the setup, before each run.
_setup_said() {
    [ -z "$SETUP_STAND_IN" ] || log "$SETUP_STAND_IN"
    log "the setup is $(basename "$DORVANE_SETUP"), PE machine $(pe_machine "$DORVANE_SETUP")"
}

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
# prefix) and waits for it; prints its exit code.
run_setup() {
    local status=0
    log "running the setup $*"
    _setup_said
    setup_wine "$DORVANE_SETUP" "$@" >>"$ARTIFACTS/setup.stdout" 2>>"$ARTIFACTS/setup.stderr" || status=$?
    log "the setup ended with $status"
    # NSIS ends with 0 (done), 1 (cancelled) or 2 (aborted by the script); a silent setup is never
    # cancelled. Wine without its 32-bit half cannot start a 32-bit setup at all (1 here).
    [ "$status" -eq 0 ] || [ "$status" -eq 2 ] ||
        fail "the setup did not run (status $status, PE machine $(pe_machine "$DORVANE_SETUP");" \
            "014c needs Wine's 32-bit half: see the README)"
    echo "$status"
}

# reg_value KEY NAME [VIEW]: the text of a string value (wininspect's escapes undone), read in the
# registry VIEW (default: the program's), or fails.
reg_value() {
    local reg value
    reg=$(reg_dump "$1" "${3:-$PROGRAM_VIEW}")
    value=$(sed -nE "s/^value \"$2\" REG_[A-Z_]+ size=[0-9]+ data=\"(.*)\"\$/\\1/p" <<<"$reg" | sed -E 's/\\(.)/\1/g')
    [ -n "$value" ] || fail "no value $2 in $1 (seen: $reg)"
    echo "$value"
}

# NSIS 3.08 names the copy Un.exe (older versions Au_.exe).
_no_uninstaller_copy() { ! inspect processes | grep -iE 'exe="(Un|Au_)\.exe"'; }

# run_quiet_uninstall KEY VIEW: runs the QuietUninstallString of the uninstall entry KEY (in VIEW) as an
# administrator's script would, and waits until the uninstaller's working copy (NSIS copies
# itself to %TEMP% and runs from there, so the program itself returns at once) has ended.
run_quiet_uninstall() {
    local command exe
    command=$(reg_value "$1" QuietUninstallString "$2")
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
        iconv -f UTF-16LE -t UTF-8 "$file" | "$PARSE" reg-export |
            grep -vE '^(#time=|\[HKEY_CURRENT_USER\\Software\\Wine\\Temporary System Parameters)' >>"$ARTIFACTS/$name-registry.txt"
    done
    log "snapshot $name: $(wc -l <"$ARTIFACTS/$name-files.txt") files, $(wc -l <"$ARTIFACTS/$name-registry.txt") registry lines"
}

# snapshot_diff BEFORE AFTER: the lines that differ ("+" added, "-" gone), files first.
snapshot_diff() {
    local kind
    for kind in files registry; do
        diff "$ARTIFACTS/$1-$kind.txt" "$ARTIFACTS/$2-$kind.txt" | sed -nE 's/^> /+ /p; s/^< /- /p'
    done
}

# installed_files DIR: the names in the Windows folder DIR, one a line.
installed_files() { ls -1 "$(unix_path "$1")" 2>/dev/null | LC_ALL=C sort; }

# ---- the setup with its pages --------------------------------------------------------------------

# start_setup LABEL LOCALE ARGUMENT...: starts the setup with its pages in the background, for a user
# whose Windows speaks LOCALE (e.g. ru_RU.UTF-8): Wine takes the user's UI language from the locale
# variables of the program it starts, and NSIS picks its language after that. Wine's process trace
# is on, so LABEL.stderr holds the command line of every program the setup starts (and of theirs);
# the exit status goes to LABEL.status (wait_exit LABEL SECONDS).
start_setup() {
    local label=$1 locale=$2
    shift 2
    _setup_said
    (
        cd "$WINEPREFIX/drive_c" || exit 99
        env LANG="$locale" LC_ALL="$locale" WINEDEBUG=+pid,+process WINEDLLOVERRIDES='winemenubuilder.exe=d' \
            "$(loader_for "$DORVANE_SETUP")" "$DORVANE_SETUP" "$@" \
            >"$ARTIFACTS/$label.stdout" 2>"$ARTIFACTS/$label.stderr" </dev/null
        echo $? >"$E2E_TMP/$label.status"
    ) >/dev/null 2>&1 &
    RUN_PID[$label]=$!
    log "started the setup as $label under $locale${*:+ with $*}"
}

# setup_window TITLE page|msgbox: the setup's windows whose title begins with TITLE (NSIS adds a
# page's own caption to it), as read_dialog prints them: the main window with its page (owned by
# nobody) or the message box over it (owned by the main window). Status 1 when it does not show.
setup_window() {
    local line keep=0 found=1
    while IFS= read -r line; do
        if [[ $line == dialog\ * ]]; then
            keep=0
            [[ $line =~ \ owner=0+\  ]] && [ "$2" = page ] && keep=1
            [[ $line =~ \ owner=0+\  ]] || [ "$2" = page ] || keep=1
        fi
        ((keep)) && echo "$line" && found=0
    done < <(read_dialog "$1*")
    return $found
}

# _setup_shows TITLE PAGE: the setup shows PAGE and takes clicks (no message box over it): welcome,
# users (all users or just me), folder, finish, or ended (the progress page of an aborted run, with
# only Cancel left); prints what shows.
_setup_shows() {
    local page
    page=$(setup_window "$1" page | sed -E 's/ rect=[-0-9,]+//')
    echo "the setup's window: $(grep -E '^(dialog|control id=(1|1037|1201|1203) )' <<<"$page" | tr '\n' ' ')"
    ! setup_window "$1" msgbox >/dev/null && grep -qE '^dialog .* enabled=1 ' <<<"$page" || return 1
    case $2 in
        welcome) grep -qE '^control id=1201 class="Static" visible=1 ' <<<"$page" &&
                 ! grep -qE '^control id=1203 class="Button" visible=1 ' <<<"$page" ;;
        users) grep -qE '^control id=1201 class="Button" visible=1 ' <<<"$page" ;;
        folder) grep -qE '^control id=1019 class="Edit" visible=1 ' <<<"$page" ;;
        finish) grep -qE '^control id=1203 class="Button" visible=1 ' <<<"$page" ;;
        ended) grep -qE '^control id=1004 class="msctls_progress32" visible=1 ' <<<"$page" &&
               grep -qE '^control id=1 class="Button" visible=1 enabled=0 ' <<<"$page" &&
               grep -qE '^control id=2 class="Button" visible=1 enabled=1 ' <<<"$page" ;;
        *) fail "no such page: $2" ;;
    esac
}

# wait_setup_page TITLE PAGE: waits until the setup shows PAGE; prints the page.
wait_setup_page() {
    wait_for 30 "the setup's $2 page" _setup_shows "$1" "$2"
    setup_window "$1" page || fail "the setup's $2 page went away"
}

# wait_setup_msgbox TITLE: waits for the setup's message box; prints it.
wait_setup_msgbox() {
    wait_for 30 "a message box of the setup" setup_window "$1" msgbox
    setup_window "$1" msgbox | tee -a "$ARTIFACTS/msgboxes.txt"
}

# shown_text WINDOW ID: the text of the visible control ID; shown_buttons WINDOW: the texts of its
# usable buttons, comma-separated (as wininspect escapes them).
shown_text() { sed -nE "s/^control id=$2 class=\"[^\"]+\" visible=1 .* text=\"(.*)\"\$/\\1/p" <<<"$1" | head -n1; }
shown_buttons() {
    sed -nE 's/^control id=[0-9]+ class="Button" visible=1 enabled=1 rect=[-0-9,]+ text="(.*)"$/\1/p' <<<"$1" | paste -sd,
}

# setup_text LANGUAGE NAME DIR: the setup's own text NAME (installer/lang_LANGUAGE.nsh) as the setup
# shows it for the folder DIR, escaped as wininspect prints it.
setup_text() {
    local text
    text=$(sed -nE "s/^LangString $2 \\\$\\{LANG_[A-Z]+\\} \"(.*)\"\$/\\1/p" "$E2E_DRIVER/../../installer/lang_$1.nsh")
    [ -n "$text" ] || fail "no text $2 in installer/lang_$1.nsh"
    c_escape "${text//'$INSTDIR'/$3}"
}

# in_cyrillic TEXT: TEXT (UTF-8) holds a Cyrillic word (six letters in a row), as a Russian text does.
in_cyrillic() { LC_ALL=C.UTF-8 grep -qP '\p{Cyrillic}{6}' <<<"$1"; }

# nsis_text LANGUAGE NAME: a text of NSIS's own Modern UI in LANGUAGE (its language file, e.g.
# Russian.nsh), for this setup, escaped as wininspect prints it.
nsis_text() {
    local dir text
    dir=$(makensis -HDRINFO 2>/dev/null | tr ' ,' '\n\n' | sed -n 's/^NSISDIR=//p')
    [ -n "$dir" ] || fail "makensis does not say where NSIS is"
    text=$(sed -e '1s/^\xef\xbb\xbf//' -e 's/\r$//' "$dir/Contrib/Language files/$1.nsh" |
        sed -nE "s/^ *\\\$\\{LangFileString\\} $2 \"(.*)\"\$/\\1/p")
    [ -n "$text" ] || fail "no text $2 in NSIS's $1.nsh"
    c_escape "${text//'$(^NameDA)'/Dorvane}"
}

# use_file LABEL 'C:\Dir\File' [write]: another user's session holds the file as its running program
# holds its .exe (wininspect use, in the background): nobody else may write or delete it (with
# "write": nobody may delete it). Wine has one desktop, so this is all of that session that shows
# here. Returns once the file is held; release_file LABEL lets it go.
use_file() {
    : >"$E2E_TMP/$1.use"
    env WINEDEBUG=-all "$PROGRAM_WINE" "$INSPECT_EXE" use "$2" ${3:+"$3"} >"$E2E_TMP/$1.use" \
        2>>"$ARTIFACTS/wininspect.stderr" </dev/null &
    RUN_PID[$1]=$!
    wait_for 20 "$2 held open by another session ($1${3:+, others may write it})" grep -qx using "$E2E_TMP/$1.use"
}

release_file() {
    kill "${RUN_PID[$1]}" 2>/dev/null
    wait "${RUN_PID[$1]}" 2>/dev/null
    unset "RUN_PID[$1]"
    log "the other session let go of its file ($1)"
}

# ---- other users of the computer -----------------------------------------------------------------

PROFILE_LIST_KEY='HKLM\Software\Microsoft\Windows NT\CurrentVersion\ProfileList'
# A profile's StartUp folder, where its user has not moved it.
PROFILE_STARTUP='AppData\Roaming\Microsoft\Windows\Start Menu\Programs\Startup'

# add_profile SID TYPE FOLDER: another user of this computer, known only by a profile: its entry in
# the ProfileList key (written in the 64-bit view, where Windows keeps it; Wine 8.0 shows that key in
# both views) with ProfileImagePath FOLDER of TYPE (REG_EXPAND_SZ "%SystemDrive%\..." as Windows
# writes it, or REG_SZ as Wine does), and the profile's StartUp folder.
add_profile() {
    win64 reg add "$PROFILE_LIST_KEY\\$1" /v ProfileImagePath /t "$2" /d "$3" /f /reg:64 >/dev/null \
        2>>"$ARTIFACTS/reg.stderr" || fail "could not add the profile $1"
    mkdir -p "$(profile_startup "$3")" || fail "could not make the StartUp folder of $3"
    log "another user's profile: $1 in $3 ($2)"
}

# profile_startup FOLDER: the Unix path of the StartUp folder of the profile in FOLDER (C:\..., or
# %SystemDrive%\...).
profile_startup() {
    local folder=${1/\%SystemDrive\%/C:}
    unix_path "$folder\\$PROFILE_STARTUP"
}
