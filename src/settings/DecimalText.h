// Decimal numbers as the registry and MCI hold them: plain text.
#ifndef DORVANE_DECIMALTEXT_H
#define DORVANE_DECIMALTEXT_H

#include <windows.h>

enum { DECIMAL_TEXT_SIZE = 12 };   // "-2147483648" and its terminator

// Skips leading white space, takes an optional sign, then digits up to the
// first other character. No digits give 0; a number beyond 32 bits is held
// at the nearest limit rather than overflowing.
LONG ParseDecimal(const char* text);

// The signed decimal form of `number`: no leading zeros, "0" for zero.
void FormatDecimal(LONG number, char text[DECIMAL_TEXT_SIZE]);

#endif
