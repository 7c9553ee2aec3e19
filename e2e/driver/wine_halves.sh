# Wine's two halves, named: sourced by lib.sh and by the vcd tool.
#
# Debian's `wine` script (and `wineboot`, `winepath`..., which go through it) runs the 32-bit loader
# whenever wine32:i386 is installed and the 64-bit one otherwise. The 32-bit loader runs the 32-bit
# reg.exe, whose writes under HKLM\Software land in the 32-bit view (Software\Wow6432Node), where
# 64-bit Wine (its mount manager, 64-bit winmm) and the x64 program never look; and a 64-bit program
# it is given starts through start.exe, so the first process of its trace is not the program. So the
# harness never calls those scripts: each call names its loader, and each registry write or read
# under HKLM\Software names its view (/reg:64 or /reg:32).
#
# Measured under Wine 8.0 with both halves installed: HKLM\Software is redirected for 32-bit
# programs (Wine\Drives, Microsoft\Windows NT\CurrentVersion\MCI...); HKLM\System, HKCU and the
# file types under HKCR (.html, a ProgID's shell\open\command) are one key for both halves.

# The 64-bit loader: prefixes, the registry, Wine's own tools, the x64 programs.
WINE64=${WINE64:-/usr/lib/wine/wine64}
# The 32-bit loader (wine32:i386): the x86 programs and the 32-bit setup.
WINE32=${WINE32:-/usr/lib/wine/wine}
# The server of a 64-bit prefix serves both halves; the loaders start this one too.
WINE_SERVER=${WINE_SERVER:-/usr/lib/wine/wineserver64}
export WINESERVER=$WINE_SERVER

# pe_machine FILE: the PE header's machine field in hex (8664 x64, 014c x86).
pe_machine() {
    local pe
    pe=$(od -An -tu4 -j 60 -N4 "$1" | tr -d ' ')
    od -An -tx2 -j $((pe + 4)) -N2 "$1" | tr -d ' '
}

# loader_for FILE: the loader that runs the Windows program FILE (a Unix path) as its own process:
# the 32-bit one for an x86 program, else the 64-bit one.
loader_for() {
    if [ "$(pe_machine "$1")" = 014c ]; then echo "$WINE32"; else echo "$WINE64"; fi
}
