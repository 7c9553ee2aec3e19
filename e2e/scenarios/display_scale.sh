# The display scale of the argument, 96 (100 %) or 144 (150 %) dpi: the notification area draws its
# icons at the small-icon size of the scale, 16 or 24 pixels, and the program gives it the picture
# drawn for that size: the tray shows it pixel for pixel, which neither the 16-pixel picture
# stretched nor the 32-pixel one shrunk would. The tray, the menu and every dialog are kept as
# screenshots; each dialog lays out as its template says, all in the one pair of base units of the
# scale (6 x 12 at 100 %, as before the manifest made the program DPI aware and themed).
# builds: x64 x86
# arguments: 96 144
source "$E2E_DRIVER/lib.sh"
source "$E2E_DRIVER/desktop_lib.sh"
english_locale

DPI=${1:?the display scale in dpi: 96 or 144}
SIZE=$((DPI / 6))
begin_at_scale "display_scale_$DPI" "$DPI" open-sesame

# Wine's slots are a little larger than the icons: 20 pixels at 100 %, 28 at 150 %.
read -r _ _ SIDE <<<"$(slot_shot "tray-slot-$DPI")"
check_eq "the tray's icon slot at $DPI dpi" $((SIZE + 4)) "$SIDE"
read -r DIFF AT <<<"$(slot_match "tray-slot-$DPI" "dorvane_$SIZE.xpm")"
check "the tray shows the $SIZE-pixel picture pixel for pixel ($DIFF pixels differ, at $AT)" [ "$DIFF" -eq 0 ]
for OTHER in dorvane_16.xpm dorvane.xpm; do
    [ "$OTHER" != "dorvane_$SIZE.xpm" ] || continue
    read -r DIFF AT <<<"$(slot_match "tray-slot-$DPI" "$OTHER" "${SIZE}x$SIZE")"
    check "$OTHER made $SIZE pixels would look otherwise ($DIFF pixels differ at best)" [ "$DIFF" -ge 20 ]
done
photograph_program "$DPI" open-sesame
e2e_pass
