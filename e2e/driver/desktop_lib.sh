# What the desktop does to the program, for the scenarios that source this after lib.sh: Explorer
# restarting under it, and the display scale (DPI) it runs at. Calls Wine only through lib.sh's
# helpers (`win`, `inspect`).

# display_dpi DPI: (in e2e_begin's setup command) the display scale the user signs in with, 96 for
# 100 %: HKCU\Control Panel\Desktop LogPixels, which Wine reads as it starts.
display_dpi() {
    SETUP_REG+=$'\n[HKEY_CURRENT_USER\\Control Panel\\Desktop]\n"LogPixels"=dword:'"$(printf %08x "$1")"$'\n'
    log "display scale $1 dpi"
}

# program_pid: sets PROGRAM_PID to the Windows process id (four hex digits) of the run "main".
program_pid() {
    run_pid main
    PROGRAM_PID=$PID_OF
}

# program_tray_calls: sets TRAY_CALLS to the program's Shell_NotifyIcon calls in order (NIM_ADD ...).
program_tray_calls() {
    program_pid
    TRAY_CALLS=$(grep -aoE "^$PROGRAM_PID:[0-9a-f]{4}:trace:systray:Shell_NotifyIconW dwMessage = [0-9]+" \
        "$ARTIFACTS/main.stderr" | awk '{ n = split("NIM_ADD NIM_MODIFY NIM_DELETE", names, " ");
                                         m = $NF + 1; printf "%s%s", sep, (m <= n ? names[m] : "message-" $NF); sep = " " }')
}

# shell_restarts: what a restarting Explorer does: its notification area forgets the program's icon
# (the program's window and identifier 151, taken away as the shell takes an icon away), then its
# new taskbar broadcasts "TaskbarCreated" to every top-level window.
shell_forgets_icon() {
    program_pid
    local out
    out=$(inspect forget-icon "$PROGRAM_PID" 151 | tr -d '\r')
    echo "$out" >>"$ARTIFACTS/shell-restarts.txt"
    grep -q '^forgot .* result=1$' <<<"$out" || fail "the notification area did not let go of the icon: ${out:-no window}"
    log "the notification area forgot the icon ($out)"
}
shell_announces_taskbar() {
    local out
    out=$(inspect broadcast TaskbarCreated | tr -d '\r')
    echo "$out" >>"$ARTIFACTS/shell-restarts.txt"
    grep -q ' result=1$' <<<"$out" || fail "could not broadcast TaskbarCreated: $out"
    log "TaskbarCreated broadcast ($out)"
}

# ---- the notification area at any scale ----------------------------------------------------------

# The first icon slot of the tray: a square as high as the tray's client area, at its left edge
# (Wine sizes the slots by the small-icon metric of its own scale). Sets SLOT (WxH+X+Y) and SLOT_SIDE.
_slot() {
    _tray_geometry || return 1
    local height
    height=$(xdo getwindowgeometry --shell "$(xdo search --onlyvisible --name '^Wine System Tray$' | head -n1)" |
        sed -n 's/^HEIGHT=//p')
    SLOT_SIDE=$height
    SLOT="${height}x${height}+$TRAY_X+$TRAY_Y"
}

# slot_shot NAME: the first slot, cut from a screenshot, as artefact NAME.png (and the tray beside it
# as NAME-tray.png). Sets SLOT_BLUE and SLOT_YELLOW: its pixels of the letters' blues and of the
# diamond's yellow; 0 0 while the tray is hidden (Wine hides it when it holds no icon), the whole
# screen then kept as NAME.png.
slot_shot() {
    local shot=$E2E_TMP/screen.png
    timeout 20 import -window root "$shot" || fail "could not take a screenshot"
    if ! _slot; then
        cp "$shot" "$ARTIFACTS/$1.png"
        SLOT_BLUE=0 SLOT_YELLOW=0
        return 0
    fi
    convert "$shot" -crop "$SLOT" +repage "$ARTIFACTS/$1.png"
    convert "$shot" -crop "$((TRAY_W + 2 * TRAY_X))x$((SLOT_SIDE + TRAY_Y + 4))+0+0" +repage "$ARTIFACTS/$1-tray.png"
    read -r SLOT_BLUE SLOT_YELLOW < <(convert "$ARTIFACTS/$1.png" -depth 8 txt:- |
        awk 'NR > 1 { gsub(/[()]/, "", $2); split($2, v, ","); r = v[1]; g = v[2]; b = v[3];
                      if (r < 64 && g < 64 && b >= 112) blue++;
                      if (r >= 192 && g >= 192 && b < 64) yellow++ }
             END { printf "%d %d\n", blue, yellow }')
}

# Pictures told apart on an icon the tray has just added (an added icon is drawn on a clean slot;
# a changed one keeps the last picture's pixels where the new one is transparent): 151 has the
# yellow diamond, 190 the same letters without it.
slot_shows() {
    slot_shot "$2"
    SEEN="$SLOT_BLUE blue and $SLOT_YELLOW yellow pixels in the first icon slot"
    case $1 in
    151) ((SLOT_BLUE >= 40 && SLOT_YELLOW >= 2)) ;;
    190) ((SLOT_BLUE >= 40 && SLOT_YELLOW == 0)) ;;
    none) ((SLOT_BLUE < 5 && SLOT_YELLOW == 0)) ;;
    esac
}

# slot_match NAME SOURCE [RESIZE]: how many pixels of the first slot (from the artefact NAME.png that
# slot_shot saved) differ from the picture SOURCE (an XPM of src/res/icons), resized to RESIZE
# (WxH) with each of ImageMagick's point, box and default filters, on the slot's own background,
# at the best place in the slot; the fewest of them. Sets MATCH_DIFF and MATCH_AT.
slot_match() {
    local slot=$ARTIFACTS/$1.png source=$E2E_DRIVER/../../src/res/icons/$2 resize=${3:-}
    local background best="" at="" filter picture out diff where
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
        diff=$(sed -nE 's/^([0-9.e+]+) @ .*/\1/p' <<<"$out")
        where=$(sed -nE 's/.* @ ([0-9]+,[0-9]+)$/\1/p' <<<"$out")
        [ -n "$diff" ] || fail "could not compare the slot with $2: $out"
        diff=$(printf '%.0f' "$diff")
        if [ -z "$best" ] || ((diff < best)); then best=$diff at=$where; fi
    done
    MATCH_DIFF=$best
    MATCH_AT=$at
}

# ---- dialogs at a scale ----------------------------------------------------------------------------

# The program's dialog templates, as the system reads them from Dorvane.exe (wininspect resources).
dialog_templates() {
    TEMPLATES=$(inspect resources "$DIR\\Dorvane.exe" | tr -d '\r')
    [ -n "$TEMPLATES" ] || fail "could not read the program's resources"
}

# check_layout ID: the dialog read last (read_dialog) lays out as template ID says: each control at
# its template's place and size in dialog units times one pair of base units, from one origin. The
# controls that size themselves are held to their places only: the up-down control and its buddy
# edit (which it moves and narrows), an icon static (sized to its icon) and an etched line (Wine
# makes it a little longer). Sets BASE_UNITS ("X,Y").
check_layout() {
    local template
    template=$(awk -v start="^dialog $1 " 'found && !/^ / { exit } found || $0 ~ start { found = 1; print }' <<<"$TEMPLATES")
    [ -n "$template" ] || fail "no template $1 in the program's resources"
    local result
    result=$(perl -e '
        my ($template, $dialog) = @ARGV;
        my @items = map { /item id=(-?\d+) style=0x([0-9A-F]+) .* x=(-?\d+) y=(-?\d+) cx=(\d+) cy=(\d+) class=(\S+)/
                          ? { id => $1, style => hex $2, x => $3, y => $4, cx => $5, cy => $6, class => $7 } : () }
                    split /\n/, $template;
        my @controls = map { /^control id=(-?\d+) class="([^"]*)" .* rect=(-?\d+),(-?\d+),(-?\d+),(-?\d+)/
                             ? { id => $1, class => $2, l => $3, t => $4, r => $5, b => $6 } : () }
                       split /\n/, $dialog;
        die "the dialog has " . @controls . " controls, the template " . @items . "\n" if @controls != @items;
        sub muldiv { my ($a, $b, $d) = @_; return int(($a * $b + $d / 2) / $d) }
        my (%place, %size);
        for my $i (0 .. $#items) {
            my ($item, $c) = ($items[$i], $controls[$i]);
            die "control $i is $c->{id}, the template says $item->{id}\n" if $c->{id} != $item->{id};
            my $updown = lc $c->{class} eq "msctls_updown32";
            my $buddy = $i < $#items && lc $controls[$i + 1]{class} eq "msctls_updown32";
            my $sizesItself = ($item->{class} =~ /STATIC/i || $item->{class} eq "#130") &&
                              grep { ($item->{style} & 0x1F) == $_ } 0x03, 0x10, 0x11;
            $place{$i} = 1 unless $updown;
            $size{$i} = 1 unless $updown || $buddy || $sizesItself;
        }
        # Base units: the ones that give every sized control its width and height.
        my ($bx, $by);
        for my $u (1 .. 60) {
            $bx //= $u if !grep { muldiv($items[$_]{cx}, $u, 4) != $controls[$_]{r} - $controls[$_]{l} } keys %size;
            $by //= $u if !grep { muldiv($items[$_]{cy}, $u, 8) != $controls[$_]{b} - $controls[$_]{t} } keys %size;
        }
        die "no base units give every control its template size\n" unless $bx && $by;
        my ($i0) = sort { $a <=> $b } keys %place;
        my $ox = $controls[$i0]{l} - muldiv($items[$i0]{x}, $bx, 4);
        my $oy = $controls[$i0]{t} - muldiv($items[$i0]{y}, $by, 8);
        for my $i (sort { $a <=> $b } keys %place) {
            my ($x, $y) = ($ox + muldiv($items[$i]{x}, $bx, 4), $oy + muldiv($items[$i]{y}, $by, 8));
            die "control $items[$i]{id} (#$i) is at $controls[$i]{l},$controls[$i]{t}, its template place is $x,$y\n"
                if $x != $controls[$i]{l} || $y != $controls[$i]{t};
        }
        print "$bx,$by\n";
    ' "$template" "$DIALOG" 2>&1)
    [[ $result =~ ^[0-9]+,[0-9]+$ ]] || fail "dialog $1 does not lay out as its template says: $result"
    BASE_UNITS=$result
    log "ok: dialog $1 lays out as its template says (base units $BASE_UNITS)"
}

# menu_window_shot NAME: a screenshot of the open tray menu's window (found as open_tray_menu finds
# it), kept as artefact NAME.png.
menu_window_shot() {
    _find_menu || fail "no open menu to photograph"
    local geometry
    geometry=$(xdo getwindowgeometry --shell "$MENU_WINDOW")
    local x y w h
    x=$(sed -n 's/^X=//p' <<<"$geometry")
    y=$(sed -n 's/^Y=//p' <<<"$geometry")
    w=$(sed -n 's/^WIDTH=//p' <<<"$geometry")
    h=$(sed -n 's/^HEIGHT=//p' <<<"$geometry")
    timeout 20 import -window root "$E2E_TMP/screen.png" || fail "could not take a screenshot"
    convert "$E2E_TMP/screen.png" -crop "${w}x${h}+$x+$y" +repage "$ARTIFACTS/$1.png" || fail "could not cut out the menu"
    log "menu screenshot $1.png (${w}x${h}+$x+$y)"
}

# ---- everything on screen at one scale ---------------------------------------------------------------

# begin_at_scale NAME DPI PASSWORD: begins scenario NAME on one CD drive at DPI, with the lock
# (PASSWORD) and the countdown on, so that every dialog can be shown; installs the program, starts it
# and waits for its icon. Sets DIR to the install folder, which photograph_program reads.
begin_at_scale() {
    SCALE_DPI=$2 SCALE_PASSWORD=$3
    e2e_begin "$1" _prepare_scale
    DIR='C:\Program Files\Dorvane'
    install_dorvane "$DIR"
    set_install_path "$DIR"
    start_dorvane main "$DIR\\Dorvane.exe"
    wait_for 30 "the program's icon" slot_shows 151 tray
}
_prepare_scale() {
    one_cd_drive
    display_dpi "$SCALE_DPI"
    local key='HKEY_CURRENT_USER\Software\Ostrelle\Dorvane'
    setup_reg "$key" Locked 1
    setup_reg "$key" Password "$SCALE_PASSWORD"
    setup_reg "$key" AutoCloseAllowed 1
    setup_reg "$key" AutoCloseTime 60
}

# photograph_program SCALE PASSWORD: with the program running (Locked, AutoCloseAllowed and PASSWORD
# set): screenshots of the tray slot, the tray menu and every dialog (About, Options, the password
# change, the password prompt, the countdown), named NAME-SCALE.png; each dialog's layout checked
# against its template (check_layout). Ends with Exit. Sets BASE_UNITS_ALL to the dialogs' base
# units, one "ID X,Y" a line.
photograph_program() {
    local scale=$1 password=$2
    BASE_UNITS_ALL=""
    dialog_templates
    slot_shot "tray-$scale"

    open_tray_menu
    menu_window_shot "menu-$scale"
    menu_keys Escape
    wait_for 10 "the menu to close" _menu_closed

    tray_menu_keys Up Up Return
    _dialog_at "About Dorvane" 105 "about-$scale"
    focus_dialog "About Dorvane"
    xdo key Return
    wait_for 10 "About to close" no_dialog "About Dorvane"

    tray_menu_keys Up Up Up Return
    _dialog_at Options 106 "options-$scale"
    click_control 1030
    _dialog_at Password 108 "password-change-$scale"
    focus_dialog Password
    xdo key Escape
    wait_for 10 "the password change to close" no_dialog Password
    read_dialog Options || fail "Options went away with the password change"
    click_control 2
    wait_for 10 "Options to close" no_dialog Options

    click_icon 1
    _dialog_at Password 109 "password-prompt-$scale"
    _type_password "$password"
    _dialog_at Auto-closure 107 "countdown-$scale"
    click_control 2
    wait_for 10 "the countdown to close" no_dialog Auto-closure

    tray_menu_keys Up Return
    wait_dialog Password 10
    _type_password "$password"
    wait_exit main 20
    check_eq "Exit after the password ends the program with 0" 0 "$EXIT_STATUS"
}

_menu_closed() { SEEN="the menu is still open"; ! _find_menu; }

# _dialog_at TITLE ID NAME: waits for the dialog, photographs it as NAME and checks its layout.
_dialog_at() {
    wait_dialog "$1" 10
    dialog_shot "$3"
    check_layout "$2"
    BASE_UNITS_ALL+="$2 $BASE_UNITS"$'\n'
}

_type_password() {
    focus_dialog Password
    xdo type --delay 50 "$1"
    xdo key Return
}
