// Code pages: the machine's ANSI code page, the conversions the A calls make
// when they show text, and MultiByteToWideChar/WideCharToMultiByte with
// Windows' conventions. Known: 1251 (Cyrillic), 1252 (Western) and 65001.
#include "world.h"

namespace sim {

namespace {

// Bytes 0x80..0xFF. Where a code page leaves a byte undefined, Windows maps it
// to the C1 control of the same value (1251: 0x98; 1252: 0x81, 0x8D, 0x8F,
// 0x90, 0x9D), and back.
const char16_t kCp1251[128] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,
};
// 1252 differs from Latin-1 only in 0x80..0x9F.
const char16_t kCp1252[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

const char16_t kReplacement = 0xFFFD;

// Windows' best fit, the part of it that matters here: a Latin letter with a
// diacritic that the code page lacks becomes its plain ASCII letter (1251:
// U+00E4 -> 'a', dlls/kernel32/tests/codepage.c). '-': no such letter.
const char kBestFitLatin1[] = "AAAAAA-CEEEEIIII-NOOOOO--UUUUY--aaaaaa-ceeeeiiii-nooooo--uuuuy-y";   // U+00C0..
const char kBestFitLatinA[] = "AaAaAaCcCcCcCcDd--EeEeEeEeEeGgGgGgGgHh--IiIiIiIiI---JjKk-LlLlLl----NnNnNn---OoOo"
                              "Oo--RrRrRrSsSsSsSsTtTt--UuUuUuUuUuUuWwYyYZzZzZz-";   // U+0100..U+017F

// The best-fit byte for `unit`, or -1.
int BestFit(char16_t unit)
{
    char letter = '-';
    if (unit >= 0xC0 && unit < 0x100) letter = kBestFitLatin1[unit - 0xC0];
    else if (unit >= 0x100 && unit < 0x180) letter = kBestFitLatinA[unit - 0x100];
    return letter == '-' ? -1 : letter;
}

UINT Resolve(UINT codePage)
{
    return codePage == CP_ACP ? W().ansiCodePage : codePage;
}

char16_t FromByte(UINT codePage, unsigned char byte)
{
    if (byte < 0x80) return byte;
    if (codePage == 1251) return kCp1251[byte - 0x80];
    return byte < 0xA0 ? kCp1252[byte - 0x80] : byte;
}

// The byte for `unit`, or -1 when the code page has none.
int ToByte(UINT codePage, char16_t unit)
{
    if (unit < 0x80) return unit;
    if (codePage == 1252 && unit >= 0xA0 && unit <= 0xFF) return unit;
    const char16_t* table = codePage == 1251 ? kCp1251 : kCp1252;
    int size = codePage == 1251 ? 128 : 32;
    for (int i = 0; i < size; ++i)
        if (table[i] == unit) return 0x80 + i;
    return -1;
}

bool IsHigh(char16_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLow(char16_t unit)
{
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

void AppendCodePoint(std::u16string* text, char32_t point)
{
    if (point < 0x10000) {
        text->push_back(static_cast<char16_t>(point));
    } else {
        point -= 0x10000;
        text->push_back(static_cast<char16_t>(0xD800 + (point >> 10)));
        text->push_back(static_cast<char16_t>(0xDC00 + (point & 0x3FF)));
    }
}

// UTF-8 to UTF-16; each malformed byte becomes U+FFFD, as Windows does.
std::u16string DecodeUtf8(const std::string& bytes, bool* invalid)
{
    std::u16string text;
    size_t i = 0;
    while (i < bytes.size()) {
        unsigned char lead = static_cast<unsigned char>(bytes[i]);
        int extra = lead < 0x80             ? 0
                    : (lead & 0xE0) == 0xC0 ? 1
                    : (lead & 0xF0) == 0xE0 ? 2
                    : (lead & 0xF8) == 0xF0 ? 3
                                            : -1;
        char32_t point = extra == 0 ? lead : extra == 1 ? lead & 0x1F : extra == 2 ? lead & 0x0F : lead & 0x07;
        bool good = extra >= 0 && i + static_cast<size_t>(extra) < bytes.size();
        for (int k = 1; good && k <= extra; ++k) {
            unsigned char next = static_cast<unsigned char>(bytes[i + static_cast<size_t>(k)]);
            if ((next & 0xC0) != 0x80) good = false;
            point = (point << 6) | (next & 0x3F);
        }
        // Over-long forms, surrogates and points past U+10FFFF are malformed.
        static const char32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
        if (good && (point < kLeast[extra] || (point >= 0xD800 && point <= 0xDFFF) || point > 0x10FFFF)) good = false;
        if (!good) {
            if (invalid) *invalid = true;
            text.push_back(kReplacement);
            ++i;
            continue;
        }
        AppendCodePoint(&text, point);
        i += static_cast<size_t>(extra) + 1;
    }
    return text;
}

// UTF-16 to UTF-8; a lone surrogate becomes U+FFFD.
std::string EncodeUtf8(const std::u16string& text, bool* invalid)
{
    std::string bytes;
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t point = text[i];
        if (IsHigh(text[i]) && i + 1 < text.size() && IsLow(text[i + 1])) {
            point = 0x10000 + ((point - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (IsHigh(text[i]) || IsLow(text[i])) {
            if (invalid) *invalid = true;
            point = kReplacement;
        }
        if (point < 0x80) {
            bytes += static_cast<char>(point);
        } else if (point < 0x800) {
            bytes += static_cast<char>(0xC0 | (point >> 6));
            bytes += static_cast<char>(0x80 | (point & 0x3F));
        } else if (point < 0x10000) {
            bytes += static_cast<char>(0xE0 | (point >> 12));
            bytes += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
            bytes += static_cast<char>(0x80 | (point & 0x3F));
        } else {
            bytes += static_cast<char>(0xF0 | (point >> 18));
            bytes += static_cast<char>(0x80 | ((point >> 12) & 0x3F));
            bytes += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
            bytes += static_cast<char>(0x80 | (point & 0x3F));
        }
    }
    return bytes;
}

std::u16string DecodeKnown(UINT codePage, const std::string& bytes, bool* invalid)
{
    if (codePage == CP_UTF8) return DecodeUtf8(bytes, invalid);
    std::u16string text;
    for (char byte : bytes) text.push_back(FromByte(codePage, static_cast<unsigned char>(byte)));
    return text;
}

// Characters the code page lacks become their best fit, when `bestFit`
// allows one, or else `fallback`.
std::string EncodeKnown(UINT codePage, const std::u16string& text, char fallback, bool bestFit, bool* usedDefault,
                        bool* invalid)
{
    if (codePage == CP_UTF8) return EncodeUtf8(text, invalid);
    std::string bytes;
    for (char16_t unit : text) {
        int byte = ToByte(codePage, unit);
        if (byte < 0 && bestFit) byte = BestFit(unit);
        if (byte < 0) {
            if (usedDefault) *usedDefault = true;
            bytes += fallback;
        } else {
            bytes += static_cast<char>(byte);
        }
    }
    return bytes;
}

template <typename Unit>
void CopyOut(const std::basic_string<Unit>& result, Unit* target, int targetCount)
{
    size_t count = result.size() < static_cast<size_t>(targetCount) ? result.size() : static_cast<size_t>(targetCount);
    for (size_t i = 0; i < count; ++i) target[i] = result[i];
}

}  // namespace

bool KnownCodePage(UINT codePage)
{
    UINT resolved = Resolve(codePage);
    return resolved == 1251 || resolved == 1252 || resolved == CP_UTF8;
}

std::u16string Decode(UINT codePage, const std::string& bytes)
{
    return DecodeKnown(Resolve(codePage), bytes, NULL);
}

std::string Encode(UINT codePage, const std::u16string& text, bool* usedDefault)
{
    return EncodeKnown(Resolve(codePage), text, '?', true, usedDefault, NULL);
}

std::string Utf8(const std::u16string& text)
{
    return EncodeUtf8(text, NULL);
}

std::u16string FromUtf8(const std::string& text)
{
    return DecodeUtf8(text, NULL);
}

std::string ShownAnsi(const char* text)
{
    return text ? Utf8(Decode(CP_ACP, text)) : std::string();
}

std::u16string WideText(const WCHAR* text)
{
    return text ? std::u16string(text) : std::u16string();
}

void SetAnsiCodePage(UINT codePage)
{
    if (codePage != 1251 && codePage != 1252 && codePage != CP_UTF8)
        throw Failure("SetAnsiCodePage: code page " + std::to_string(codePage) + " is not one the simulation knows");
    W().ansiCodePage = codePage;
}

}  // namespace sim

using namespace sim;

UINT WINAPI GetACP(void)
{
    return W().ansiCodePage;
}

int WINAPI MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR multiByte, int multiByteCount, LPWSTR wide,
                               int wideCount)
{
    if (!multiByte || multiByteCount == 0 || (!wide && wideCount) || wideCount < 0 || !KnownCodePage(codePage)) {
        W().lastError = ERROR_INVALID_PARAMETER;
        return 0;
    }
    UINT resolved = Resolve(codePage);
    DWORD allowed = resolved == CP_UTF8 ? MB_ERR_INVALID_CHARS : MB_PRECOMPOSED | MB_ERR_INVALID_CHARS;
    if (flags & ~allowed) {
        W().lastError = ERROR_INVALID_FLAGS;
        return 0;
    }
    // -1: the text and its NUL.
    size_t length = multiByteCount < 0 ? strlen(multiByte) + 1 : static_cast<size_t>(multiByteCount);
    bool invalid = false;
    std::u16string result = DecodeKnown(resolved, std::string(multiByte, length), &invalid);
    if (invalid && (flags & MB_ERR_INVALID_CHARS)) {
        W().lastError = ERROR_NO_UNICODE_TRANSLATION;
        return 0;
    }
    if (wideCount == 0) return static_cast<int>(result.size());
    CopyOut(result, wide, wideCount);
    if (result.size() > static_cast<size_t>(wideCount)) {
        // What was written is no text: it has no NUL, and the call failed.
        W().lastError = ERROR_INSUFFICIENT_BUFFER;
        return 0;
    }
    return static_cast<int>(result.size());
}

int WINAPI WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wide, int wideCount, LPSTR multiByte,
                               int multiByteCount, LPCSTR defaultChar, LPBOOL usedDefaultChar)
{
    if (!wide || wideCount == 0 || (!multiByte && multiByteCount) || multiByteCount < 0 || !KnownCodePage(codePage)) {
        W().lastError = ERROR_INVALID_PARAMETER;
        return 0;
    }
    UINT resolved = Resolve(codePage);
    if (resolved == CP_UTF8 && (defaultChar || usedDefaultChar)) {
        W().lastError = ERROR_INVALID_PARAMETER;
        return 0;
    }
    DWORD allowed = resolved == CP_UTF8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    if (flags & ~allowed) {
        W().lastError = ERROR_INVALID_FLAGS;
        return 0;
    }
    size_t length = wideCount;
    if (wideCount < 0) {
        length = 0;
        while (wide[length]) ++length;
        ++length;
    }
    bool used = false, invalid = false;
    std::string result = EncodeKnown(resolved, std::u16string(wide, length), defaultChar ? *defaultChar : '?',
                                     !(flags & WC_NO_BEST_FIT_CHARS), &used, &invalid);
    if (invalid && (flags & WC_ERR_INVALID_CHARS)) {
        W().lastError = ERROR_NO_UNICODE_TRANSLATION;
        return 0;
    }
    if (usedDefaultChar) *usedDefaultChar = used;
    if (multiByteCount == 0) return static_cast<int>(result.size());
    CopyOut(result, multiByte, multiByteCount);
    if (result.size() > static_cast<size_t>(multiByteCount)) {
        W().lastError = ERROR_INSUFFICIENT_BUFFER;
        return 0;
    }
    return static_cast<int>(result.size());
}
