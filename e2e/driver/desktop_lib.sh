# What the desktop does to the program, for the scenarios that source this after lib.sh: Explorer
# restarting under it, and the display scale (DPI) it runs at.

# display_dpi DPI: (in e2e_begin's setup command) the display scale the user signs in with, 96 for
# 100 %: HKCU\Control Panel\Desktop LogPixels, which Wine reads as it starts.
display_dpi() {
    setup_reg_dword 'HKEY_CURRENT_USER\Control Panel\Desktop' LogPixels "$1"
    log "display scale $1 dpi"
}

# What a restarting Explorer does: its notification area forgets the program's icon (the program's
# window and identifier 151, taken away as the shell takes an icon away), then its new taskbar
# broadcasts "TaskbarCreated" to every top-level window.
shell_forgets_icon() {
    local out
    out=$(inspect forget-icon "$(run_pid main)" 151)
    echo "$out" >>"$ARTIFACTS/shell-restarts.txt"
    grep -q '^forgot .* result=1$' <<<"$out" || fail "the notification area did not let go of the icon: ${out:-no window}"
    log "the notification area forgot the icon ($out)"
}
shell_announces_taskbar() {
    local out
    out=$(inspect broadcast TaskbarCreated)
    echo "$out" >>"$ARTIFACTS/shell-restarts.txt"
    grep -q ' result=1$' <<<"$out" || fail "could not broadcast TaskbarCreated: $out"
    log "TaskbarCreated broadcast ($out)"
}

# ---- the notification area at any scale ----------------------------------------------------------

# slot_match NAME SOURCE [RESIZE]: how many pixels of the first slot (the artefact NAME.png that
# slot_shot saved) differ from the picture SOURCE (an XPM of src/res/icons), resized to RESIZE (WxH)
# with each of ImageMagick's point, box and default filters, on the slot's own background, at the
# best place in the slot: the fewest of them, and where ("DIFF X,Y").
slot_match() {
    local slot=$ARTIFACTS/$1.png source=$E2E_DRIVER/../../src/res/icons/$2 resize=${3:-}
    local background best="" at="" filter picture out diff
    background=$(convert "$slot" -format '%[pixel:p{0,0}]' info:)
    for filter in point box default; do
        [ -z "$resize" ] && [ "$filter" != point ] && continue
        picture=$E2E_TMP/candidate-$filter.png
        if [ -z "$resize" ]; then
            convert "$source" -background "$background" -flatten "$picture"
        elif [ "$filter" = default ]; then
            convert "$source" -background "$background" -flatten -resize "$resize!" "$picture"
        else
            convert "$source" -background "$background" -flatten -filter "$filter" -resize "$resize!" "$picture"
        fi
        # "AE (x,y)": the count of differing pixels at the best offset.
        out=$(compare -metric AE -dissimilarity-threshold 1000000 -subimage-search "$slot" "$picture" null: 2>&1 | tail -n1)
        [[ $out =~ ^([0-9.e+]+)\ @\ ([0-9]+,[0-9]+)$ ]] || fail "could not compare the slot with $2: $out"
        diff=$(printf '%.0f' "${BASH_REMATCH[1]}")
        if [ -z "$best" ] || ((diff < best)); then best=$diff at=${BASH_REMATCH[2]}; fi
    done
    echo "$best $at"
}

# ---- everything on screen at one scale ---------------------------------------------------------------

# begin_at_scale NAME DPI PASSWORD: begins scenario NAME on one CD drive at DPI, with the lock
# (PASSWORD) and the countdown on, so that every dialog can be shown; installs the program, starts
# it and waits for its icon.
begin_at_scale() {
    e2e_begin "$1" _prepare_scale "$2" "$3"
    start_installed
}
_prepare_scale() {
    one_cd_drive
    display_dpi "$1"
    setup_settings Locked=1 Password="$2" AutoCloseAllowed=1 AutoCloseTime=60
}

# photograph_program SCALE PASSWORD: with the program running (Locked, AutoCloseAllowed and PASSWORD
# set): screenshots of the tray menu and every dialog (About, Options, the password change, the
# password prompt, the countdown), named NAME-SCALE.png, each dialog's layout checked against its
# template in Dorvane.exe, all in the same base units. Ends with Exit.
photograph_program() {
    local scale=$1 password=$2 dialog
    inspect resources "$INSTALL_DIR\\Dorvane.exe" >"$E2E_TMP/templates" || fail "could not read the program's resources"

    open_tray_menu
    menu_window_shot "menu-$scale"
    menu_keys Escape
    wait_for 10 "the menu to close" menu_closed

    tray_menu_keys Up Up Return
    _dialog_at "About Dorvane" 105 "about-$scale" >/dev/null
    press_in "About Dorvane" Return
    wait_for 10 "About to close" no_dialog "About Dorvane"

    tray_menu_keys Up Up Up Return
    dialog=$(_dialog_at Options 106 "options-$scale")
    click_control "$dialog" 1030
    _dialog_at Password 108 "password-change-$scale" >/dev/null
    press_in Password Escape
    wait_for 10 "the password change to close" no_dialog Password
    click_control "$(read_dialog Options)" 2
    wait_for 10 "Options to close" no_dialog Options

    click_icon 1
    _dialog_at Password 109 "password-prompt-$scale" >/dev/null
    type_in Password "$password"
    press_in Password Return
    click_control "$(_dialog_at Auto-closure 107 "countdown-$scale")" 2
    wait_for 10 "the countdown to close" no_dialog Auto-closure

    tray_menu_keys Up Return
    wait_dialog Password 10 >/dev/null
    type_in Password "$password"
    press_in Password Return
    check_eq "Exit after the password ends the program with 0" 0 "$(wait_exit main 20)"
    check_eq "every dialog has the same base units" 1 "$(cut -d' ' -f2 "$E2E_TMP/base-units" | sort -u | wc -l)"
}

# _dialog_at TITLE ID NAME: waits for the dialog, photographs it as NAME and checks that it lays out
# as template ID says: each control at its template's place and size in dialog units times one pair
# of base units, from one origin (`parse layout`). Prints the dialog; notes the base units.
_dialog_at() {
    local dialog template units
    dialog=$(wait_dialog "$1" 10)
    dialog_shot "$dialog" "$3"
    template=$(sed -n "/^dialog $2 /,/^[^ ]/{/^dialog $2 \\|^ /p}" "$E2E_TMP/templates")
    [ -n "$template" ] || fail "no template $2 in the program's resources"
    units=$("$PARSE" layout "$template" <<<"$dialog") || fail "dialog $2 does not lay out as its template says: $units"
    log "ok: dialog $2 lays out as its template says (base units $units)"
    echo "$2 $units" >>"$E2E_TMP/base-units"
    echo "$dialog"
}
