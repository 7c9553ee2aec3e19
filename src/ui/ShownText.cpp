#include "ui/ShownText.h"

#include <string.h>

namespace {

// Code page 1251 exists on every Windows, whatever its ANSI code page.
const UINT kCp1251 = 1251;

}  // namespace

int WideFromCp1251(const char* text, WCHAR* wide, int size)
{
    if (size <= 0) return 0;
    // One byte is one character in code page 1251, so cutting the bytes cuts
    // at a character; converting only what fits never meets a short buffer,
    // whose contents MultiByteToWideChar would leave undefined.
    int length = static_cast<int>(strlen(text));
    int fits = length < size ? length : size - 1;
    int written = fits > 0 ? MultiByteToWideChar(kCp1251, 0, text, fits, wide, size - 1) : 0;
    wide[written] = 0;
    return written == length;
}
