#!/bin/bash
# Builds what `make dist` ships a second time, from a copy of the sources in another folder with
# fresh file dates, and compares it byte for byte with the build's own: Dorvane.exe and
# Ambergate.exe of the x64 and the x86 build, the setup program and its 64-bit test build. Each
# file that differs is named with the bytes that differ (offset, and the PE header field where
# the byte is in one); the exit status is then 1.
#
#   bash tools/check_reproducible.sh SOURCE SCRATCH MKICO X64 X86 SETUP SETUP_AMD64
#
# SOURCE is the source tree, SCRATCH a folder of its own for the second build (emptied first),
# MKICO the host's icon converter, X64 and X86 the build folders, SETUP and SETUP_AMD64 the two
# setup programs of the build.

set -o nounset -o pipefail
[ $# -eq 7 ] || { sed -n '8p' "$0" >&2; exit 2; }
SOURCE=$1 SCRATCH=$2 MKICO=$3
declare -A FIRST=([x64/Dorvane.exe]=$4/Dorvane.exe [x64/Ambergate.exe]=$4/Ambergate.exe
                  [x86/Dorvane.exe]=$5/Dorvane.exe [x86/Ambergate.exe]=$5/Ambergate.exe
                  [setup.exe]=$6 [setup-amd64.exe]=$7)
for file in "${FIRST[@]}" "$MKICO"; do
    [ -f "$file" ] || { echo "missing: $file (make setup first)" >&2; exit 2; }
done

started=$SECONDS
# A longer folder name than the build's, so that a folder name that gets into a file moves
# everything after it.
OTHER=$SCRATCH/second-build-in-another-folder
rm -rf "$SCRATCH"
mkdir -p "$OTHER/sources"
# What the Windows builds and the setup read; copied without their dates.
for part in CMakeLists.txt cmake src companion tools help installer; do
    cp -r "$SOURCE/$part" "$OTHER/sources/" || exit 2
done
VERSION=$(sed -nE 's/^project.Dorvane VERSION ([0-9.]+).*/\1/p' "$OTHER/sources/CMakeLists.txt")

for arch in x64 x86; do
    echo "building the $arch programs again in $OTHER/$arch"
    cmake -S "$OTHER/sources" -B "$OTHER/$arch" --toolchain "$OTHER/sources/cmake/mingw-$arch.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DDORVANE_MKICO="$MKICO" >"$SCRATCH/cmake-$arch.log" 2>&1 &&
        cmake --build "$OTHER/$arch" -j "$(nproc)" --target Dorvane Ambergate >>"$SCRATCH/cmake-$arch.log" 2>&1 ||
        { cat "$SCRATCH/cmake-$arch.log"; echo "the second $arch build failed"; exit 1; }
done
echo "making the setup programs again"
# Named as the build names them (NSIS warns of a program named setup.exe, which Windows treats
# with its installer shims).
for variant in setup setup-amd64; do
    defines=()
    [ $variant = setup-amd64 ] && defines=(-DSETUP_AMD64)
    makensis -WX -V2 -DVERSION="$VERSION" -DBUILD_X64="$OTHER/x64" -DBUILD_X86="$OTHER/x86" \
        -DHELP_DIR="$OTHER/sources/help" -DOUTFILE="$OTHER/Dorvane-$VERSION-$variant.exe" "${defines[@]}" \
        "$OTHER/sources/installer/Dorvane.nsi" >"$SCRATCH/makensis-$variant.log" 2>&1 ||
        { cat "$SCRATCH/makensis-$variant.log"; echo "the second $variant failed"; exit 1; }
done
declare -A SECOND=([x64/Dorvane.exe]=$OTHER/x64/Dorvane.exe [x64/Ambergate.exe]=$OTHER/x64/Ambergate.exe
                   [x86/Dorvane.exe]=$OTHER/x86/Dorvane.exe [x86/Ambergate.exe]=$OTHER/x86/Ambergate.exe
                   [setup.exe]=$OTHER/Dorvane-$VERSION-setup.exe [setup-amd64.exe]=$OTHER/Dorvane-$VERSION-setup-amd64.exe)

# pe_field FILE OFFSET: the PE header field that holds byte OFFSET (0-based), or nothing.
pe_field() {
    local pe
    pe=$(od -An -tu4 -j 60 -N4 "$1" | tr -d ' ')
    if (($2 >= pe + 8 && $2 < pe + 12)); then echo " (PE header: TimeDateStamp)"
    elif (($2 >= pe + 88 && $2 < pe + 92)); then echo " (PE header: CheckSum)"
    fi
}

status=0
for name in x64/Dorvane.exe x64/Ambergate.exe x86/Dorvane.exe x86/Ambergate.exe setup.exe setup-amd64.exe; do
    if cmp -s "${FIRST[$name]}" "${SECOND[$name]}"; then
        echo "same: $name ($(stat -c %s "${FIRST[$name]}") bytes, sha256 $(sha256sum <"${FIRST[$name]}" | cut -c1-16)...)"
        continue
    fi
    status=1
    sizes="$(stat -c %s "${FIRST[$name]}") and $(stat -c %s "${SECOND[$name]}") bytes"
    echo "DIFFERENT: $name ($sizes; $(cmp -l "${FIRST[$name]}" "${SECOND[$name]}" 2>/dev/null | wc -l) bytes differ)"
    # cmp -l: 1-based offset, then the two bytes in octal.
    cmp -l "${FIRST[$name]}" "${SECOND[$name]}" 2>/dev/null | head -n 8 | while read -r offset one two; do
        printf '  byte %d: %02x here, %02x there%s\n' $((offset - 1)) $((8#$one)) $((8#$two)) \
            "$(pe_field "${FIRST[$name]}" $((offset - 1)))"
    done
done
echo "second build and comparison took $((SECONDS - started)) s"
exit $status
