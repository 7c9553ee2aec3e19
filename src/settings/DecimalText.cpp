#include "settings/DecimalText.h"

static int IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

LONG ParseDecimal(const char* text)
{
    while (IsBlank(*text)) ++text;
    int negative = 0;
    if (*text == '+' || *text == '-') negative = *text++ == '-';
    // Accumulate the magnitude in 64 bits and stop growing once past the
    // 32-bit range, so any length of digits is safe.
    const long long limit = negative ? 2147483648LL : 2147483647LL;
    long long magnitude = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        magnitude = magnitude * 10 + (*text - '0');
        if (magnitude > limit) magnitude = limit;
    }
    return static_cast<LONG>(negative ? -magnitude : magnitude);
}

void FormatDecimal(LONG number, char text[DECIMAL_TEXT_SIZE])
{
    char digits[DECIMAL_TEXT_SIZE];
    int count = 0;
    // Work on the magnitude as unsigned so that the most negative value has one.
    unsigned long magnitude = number < 0 ? 0UL - static_cast<unsigned long>(number) : static_cast<unsigned long>(number);
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    int length = 0;
    if (number < 0) text[length++] = '-';
    while (count > 0) text[length++] = digits[--count];
    text[length] = '\0';
}
