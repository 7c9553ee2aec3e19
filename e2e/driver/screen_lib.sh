# The screen: the private X display, mouse and keyboard, screenshots and their pixels, the
# notification area with the program's icon and tooltip, and the tray menu's window. Sourced by lib.sh.

# start_display: a private X display; Xvfb says which number it took once it is ready.
start_display() {
    : >"$E2E_TMP/display"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$E2E_TMP/display" >"$ARTIFACTS/xvfb.log" 2>&1 &
    XVFB_PID=$!
    wait_for 20 "the X display" test -s "$E2E_TMP/display"
    export DISPLAY=:$(head -n1 "$E2E_TMP/display")
    log "display $DISPLAY"
}

# xdotool with a deadline: a --sync wait that never comes true must not hang the scenario.
xdo() { timeout 10 xdotool "$@"; }

# x_windows ARG...: the visible X windows that `xdotool search ARG...` finds, one a line (status 1
# when none). xdotool dies on the X error of a window destroyed while it reads the tree, and then prints
# nothing: a dialog closing as the door stops is enough. So it looks three times before it says none.
x_windows() {
    local try found
    for try in 1 2 3; do
        found=$(xdo search --onlyvisible "$@" 2>/dev/null)
        [ -z "$found" ] || { echo "$found"; return 0; }
        ((try == 3)) || sleep 0.2
    done
    return 1
}
# x_window ARG...: the first of them.
x_window() {
    local found
    found=$(x_windows "$@") || return 1
    echo "${found%%$'\n'*}"
}

# shot NAME [BOX]: a screenshot (cut to BOX, WxH+X+Y, when given) kept as artefact NAME.png.
shot() {
    timeout 20 import -window root "$E2E_TMP/screen.png" || fail "could not take a screenshot"
    convert "$E2E_TMP/screen.png" ${2:+-crop "$2" +repage} "$ARTIFACTS/$1.png" || fail "could not cut $2 out of the screen"
}

# rect_box L,T,R,B: the same rectangle as WxH+X+Y.
rect_box() {
    local l t r b
    IFS=, read -r l t r b <<<"$1"
    echo "$((r - l))x$((b - t))+$l+$t"
}

# click_rect L,T,R,B: a left click in the middle of a screen rectangle.
click_rect() {
    local l t r b
    IFS=, read -r l t r b <<<"$1"
    xdo mousemove $(((l + r) / 2)) $(((t + b) / 2)) click 1
}

# focus_window TITLE: gives the keyboard to the visible X window titled TITLE (no window manager here).
focus_window() {
    local window
    window=$(x_window --name "^$1\$") || fail "no X window titled \"$1\""
    xdo windowfocus --sync "$window" || fail "could not focus \"$1\""
}

# press_in TITLE KEY...: keys pressed in the window TITLE; type_in TITLE TEXT: TEXT typed there.
press_in() {
    focus_window "$1"
    xdo key --clearmodifiers --delay 50 "${@:2}"
    log "pressed ${*:2} in \"$1\""
}
type_in() {
    focus_window "$1"
    xdo type --delay 50 "$2"
}

# ---- the notification area ---------------------------------------------------------------------

# tray_geometry: "X Y WIDTH HEIGHT" of Wine's notification area (status 1 while it is hidden, as
# Wine hides it when it holds no icon). Its icons go left to right in square slots as high as it.
tray_geometry() {
    local window
    window=$(x_window --name '^Wine System Tray$') || return 1
    xdo getwindowgeometry --shell "$window" | sed -nE 's/^(X|Y|WIDTH|HEIGHT)=//p' | paste -sd' '
}

# slot_shot NAME: the first icon slot, cut from a screenshot, as artefact NAME.png (the whole
# notification area beside it as NAME-tray.png); prints "BLUE YELLOW SIDE": its pixels of the
# letters' blues and of the diamond's yellow, and its side ("0 0 0" while the area is hidden, the
# whole screen then kept as NAME.png).
slot_shot() {
    local x y w h
    if ! read -r x y w h < <(tray_geometry); then
        shot "$1"
        echo "0 0 0"
        return 0
    fi
    shot "$1-tray" "$((w + 2 * x))x$((h + y + 4))+0+0"
    shot "$1" "${h}x$h+$x+$y"
    echo "$(convert "$ARTIFACTS/$1.png" -depth 8 txt:- | "$PARSE" pixels) $h"
}

# icon_shows PICTURE [NAME]: the first slot shows PICTURE: 151 (blue letters, yellow diamond), 190
# (the letters alone), 158 (the hourglass, black and white on yellow) or none; the screenshot kept
# as NAME.png (default tray). Told apart on an icon the area has just drawn afresh: a changed icon
# keeps the last picture's pixels where the new one is transparent.
icon_shows() {
    local blue yellow side
    read -r blue yellow side < <(slot_shot "${2:-tray}")
    echo "$blue blue and $yellow yellow pixels in the first icon slot"
    case $1 in
    151) ((blue >= 40 && yellow >= 2)) ;;
    190) ((blue >= 40 && yellow == 0)) ;;
    158) ((yellow >= 100 && blue < 5)) ;;
    none) ((blue < 5 && yellow == 0)) ;;
    *) fail "no such picture: $1" ;;
    esac
}

# Points at the icon as a user would; the mouse stays there.
point_at_icon() {
    local x y w h
    read -r x y w h < <(tray_geometry) || fail "the notification area is not shown"
    xdo mousemove $((x + h / 2)) $((y + h / 2))
}

move_mouse_away() { xdo mousemove 900 700; }

# click_icon BUTTON: 1 left, 3 right.
click_icon() {
    point_at_icon
    xdo click "$1"
    log "clicked the icon with button $1"
}

# tray_tooltip: the text of the visible tooltip window (status 1 when none shows).
tray_tooltip() {
    inspect windows | sed -nE 's/^window .* visible=1 .* class="tooltips_class32" title="(.*)"$/\1/p' | head -n1 | grep .
}

# tooltip_is TEXT: the icon's tooltip reads TEXT. The mouse rests on the icon; when no tooltip has
# shown for a while it moves to an empty part of the notification area and back, as a tooltip
# shows once per visit of its icon (a click hides it until the mouse has left the icon).
tooltip_is() {
    local tip x y w h visit
    tip=$(tray_tooltip)
    echo "tooltip \"$tip\""
    [ "$tip" != "$1" ] || return 0
    visit=$(cat "$E2E_TMP/tip-visit" 2>/dev/null || echo 0)
    if [ -z "$tip" ] && ((${EPOCHREALTIME/./} - visit > 1500000)); then
        read -r x y w h < <(tray_geometry) || fail "the notification area is not shown"
        xdo mousemove $((x + w - 10)) $((y + h / 2))
        sleep 0.2
        point_at_icon
        echo "${EPOCHREALTIME/./}" >"$E2E_TMP/tip-visit"
    fi
    return 1
}

# ---- the tray menu's window --------------------------------------------------------------------

# menu_window: the X window of the pop-up menu that the program opened (Wine names X windows' class
# after the program's executable): its only visible one without a name. (A dialog that has just
# closed can still be mapped for a moment, as Wine waits for a window manager that is not there.)
menu_window() {
    local window
    for window in $(x_windows --classname '^dorvane\.exe$'); do
        [ -n "$(xdo getwindowname "$window" 2>/dev/null)" ] || { echo "$window"; return 0; }
    done
    echo "no menu window"
    return 1
}
menu_closed() { ! menu_window >/dev/null && echo "the menu is closed"; }
_menu_takes_keys() {
    local window
    window=$(menu_window) && timeout 2 xdotool windowfocus --sync "$window" 2>/dev/null
}

# open_tray_menu: opens the tray menu with a right click and gives it the keyboard; the mouse
# leaves it, so that only the keyboard chooses.
open_tray_menu() {
    click_icon 3
    wait_for 10 "the tray menu" menu_window
    move_mouse_away
    # A window found as it maps may not take the focus yet: find it again until one does.
    wait_for 10 "the tray menu to take the keyboard" _menu_takes_keys
}

# menu_keys KEY...: types KEYs into the open menu (arrows, Return, Escape...).
menu_keys() {
    xdo key --delay 100 "$@"
    log "typed $* in the menu"
}

# tray_menu_keys KEY...: opens the tray menu and types KEYs into it.
tray_menu_keys() {
    open_tray_menu
    menu_keys "$@"
}

# menu_window_shot NAME: the open tray menu's window as artefact NAME.png.
menu_window_shot() {
    local window x y w h
    window=$(menu_window) || fail "no open menu to photograph"
    read -r x y w h < <(xdo getwindowgeometry --shell "$window" | sed -nE 's/^(X|Y|WIDTH|HEIGHT)=//p' | paste -sd' ')
    shot "$1" "${w}x$h+$x+$y"
    log "menu screenshot $1.png"
}
