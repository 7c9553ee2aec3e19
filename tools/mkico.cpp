// mkico: turns the small XPM sources in src/res/icons into the 16-colour
// .ico and .bmp files that the resource script embeds.
//
//   mkico ico <in.xpm> <out.ico>   one 4-bpp image with a 1-bit AND mask
//   mkico bmp <in.xpm> <out.bmp>   a 4-bpp bitmap, no transparency allowed
//
// Only the XPM we write ourselves is understood: the C-array form, one
// character per pixel, colour lines "x c #RRGGBB" or "x c None", and every
// colour taken from the standard Windows 16-colour palette. Anything else is
// refused with a message naming the line. On failure no output file is left.
//
// Host build tool: standard C++17 only, so it builds on Linux and with MinGW.

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr int kMaxSide = 256;
constexpr int kTransparent = -1;

// The standard VGA palette, in the order Windows uses for 16-colour bitmaps.
constexpr std::uint32_t kPalette[16] = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
};

struct Error : std::runtime_error {
    using std::runtime_error::runtime_error;
};

[[noreturn]] void failAt(int line, const std::string& what) {
    throw Error("line " + std::to_string(line) + ": " + what);
}

struct Literal {
    std::string text;
    int line;
};

// Collects the string literals of a C source, skipping comments. Everything
// else (the declaration, braces, commas) is ignored.
std::vector<Literal> stringLiterals(const std::string& src) {
    std::vector<Literal> out;
    int line = 1;
    std::size_t i = 0;
    const std::size_t n = src.size();
    while (i < n) {
        const char c = src[i];
        if (c == '\n') {
            ++line;
            ++i;
        } else if (c == '/' && i + 1 < n && src[i + 1] == '*') {
            const int start = line;
            i += 2;
            while (i + 1 < n && !(src[i] == '*' && src[i + 1] == '/')) {
                if (src[i] == '\n') ++line;
                ++i;
            }
            if (i + 1 >= n) failAt(start, "unterminated comment");
            i += 2;
        } else if (c == '/' && i + 1 < n && src[i + 1] == '/') {
            while (i < n && src[i] != '\n') ++i;
        } else if (c == '"') {
            const int start = line;
            std::string text;
            ++i;
            while (i < n && src[i] != '"') {
                if (src[i] == '\n') failAt(start, "unterminated string");
                if (src[i] == '\\') failAt(start, "escape sequences are not supported");
                text += src[i++];
            }
            if (i >= n) failAt(start, "unterminated string");
            ++i;
            out.push_back({text, start});
        } else {
            ++i;
        }
    }
    return out;
}

// Reads a decimal number of at most a few digits; anything else is an error.
int parseCount(const std::string& tok, int line, const char* what) {
    if (tok.empty() || tok.size() > 6) failAt(line, std::string("bad ") + what + " '" + tok + "'");
    int v = 0;
    for (char ch : tok) {
        if (!std::isdigit(static_cast<unsigned char>(ch)))
            failAt(line, std::string("bad ") + what + " '" + tok + "'");
        v = v * 10 + (ch - '0');
    }
    return v;
}

std::vector<std::string> words(const std::string& s) {
    std::istringstream in(s);
    return {std::istream_iterator<std::string>(in), std::istream_iterator<std::string>()};
}

int hexDigit(char ch) {
    if (ch >= '0' && ch <= '9') return ch - '0';
    if (ch >= 'a' && ch <= 'f') return ch - 'a' + 10;
    if (ch >= 'A' && ch <= 'F') return ch - 'A' + 10;
    return -1;
}

// Maps "#RRGGBB" or "None" to a palette index or kTransparent.
int colourIndex(const std::string& value, int line) {
    std::string lower;
    for (char ch : value) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    if (lower == "none") return kTransparent;
    if (value.size() == 7 && value[0] == '#') {
        std::uint32_t rgb = 0;
        bool ok = true;
        for (std::size_t k = 1; k < 7; ++k) {
            const int d = hexDigit(value[k]);
            if (d < 0) ok = false;
            rgb = (rgb << 4) | static_cast<std::uint32_t>(d < 0 ? 0 : d);
        }
        if (ok) {
            for (int idx = 0; idx < 16; ++idx)
                if (kPalette[idx] == rgb) return idx;
            failAt(line, "colour " + value + " is not in the 16-colour palette");
        }
    }
    failAt(line, "colour '" + value + "' must be #RRGGBB or None");
}

struct Image {
    int width = 0;
    int height = 0;
    std::vector<int> pixels;  // row-major, top row first; index or kTransparent
    int at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

Image parseXpm(const std::string& src, bool allowTransparent) {
    std::size_t start = 0;
    while (start < src.size() && std::isspace(static_cast<unsigned char>(src[start]))) ++start;
    if (src.compare(start, 9, "/* XPM */") != 0) throw Error("not an XPM file (no '/* XPM */' header)");

    const std::vector<Literal> lits = stringLiterals(src);
    if (lits.empty()) throw Error("no image data");

    const Literal& head = lits[0];
    const std::vector<std::string> hw = words(head.text);
    if (hw.size() != 4) failAt(head.line, "header must be \"width height colours 1\"");
    Image img;
    img.width = parseCount(hw[0], head.line, "width");
    img.height = parseCount(hw[1], head.line, "height");
    const int ncolours = parseCount(hw[2], head.line, "colour count");
    const int cpp = parseCount(hw[3], head.line, "characters per pixel");
    if (img.width < 1 || img.width > kMaxSide || img.height < 1 || img.height > kMaxSide)
        failAt(head.line, "size " + hw[0] + " x " + hw[1] + " is outside 1..256");
    if (ncolours < 1 || ncolours > 256) failAt(head.line, "colour count must be 1..256");
    if (cpp != 1) failAt(head.line, "only one character per pixel is supported");

    const std::size_t expected = 1 + static_cast<std::size_t>(ncolours) + img.height;
    if (lits.size() < 1 + static_cast<std::size_t>(ncolours))
        throw Error("too few colour lines: expected " + std::to_string(ncolours));

    int map[256];
    for (int& m : map) m = -2;  // not defined
    for (int k = 1; k <= ncolours; ++k) {
        const Literal& l = lits[k];
        if (l.text.empty()) failAt(l.line, "empty colour line");
        const unsigned char key = static_cast<unsigned char>(l.text[0]);
        const std::vector<std::string> rest = words(l.text.substr(1));
        if (rest.size() != 2 || rest[0] != "c")
            failAt(l.line, "colour line must be \"<char> c #RRGGBB\" or \"<char> c None\"");
        if (map[key] != -2) failAt(l.line, std::string("pixel character '") + l.text[0] + "' defined twice");
        const int idx = colourIndex(rest[1], l.line);
        if (idx == kTransparent && !allowTransparent)
            failAt(l.line, "transparent colour None is not allowed in a bitmap");
        map[key] = idx;
    }

    if (lits.size() < expected)
        throw Error("too few rows: expected " + std::to_string(img.height) + ", found " +
                    std::to_string(lits.size() - 1 - ncolours));
    if (lits.size() > expected)
        failAt(lits[expected].line, "too many rows: expected " + std::to_string(img.height));

    img.pixels.reserve(static_cast<std::size_t>(img.width) * img.height);
    for (int y = 0; y < img.height; ++y) {
        const Literal& l = lits[1 + ncolours + y];
        if (l.text.size() != static_cast<std::size_t>(img.width))
            failAt(l.line, "row has " + std::to_string(l.text.size()) + " pixels, expected " +
                               std::to_string(img.width));
        for (char ch : l.text) {
            const int idx = map[static_cast<unsigned char>(ch)];
            if (idx == -2) failAt(l.line, std::string("unknown pixel character '") + ch + "'");
            img.pixels.push_back(idx);
        }
    }
    return img;
}

// ---- Writing -------------------------------------------------------------

void put16(std::vector<std::uint8_t>& b, unsigned v) {
    b.push_back(static_cast<std::uint8_t>(v & 0xFF));
    b.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}

void put32(std::vector<std::uint8_t>& b, std::uint32_t v) {
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}

std::uint32_t xorStride(int width) { return ((static_cast<std::uint32_t>(width) * 4 + 31) / 32) * 4; }
std::uint32_t andStride(int width) { return ((static_cast<std::uint32_t>(width) + 31) / 32) * 4; }

void putInfoHeader(std::vector<std::uint8_t>& b, int width, int heightField, std::uint32_t imageSize) {
    put32(b, 40);
    put32(b, static_cast<std::uint32_t>(width));
    put32(b, static_cast<std::uint32_t>(heightField));
    put16(b, 1);  // planes
    put16(b, 4);  // bits per pixel
    put32(b, 0);  // BI_RGB
    put32(b, imageSize);
    put32(b, 0);  // x pixels per metre
    put32(b, 0);  // y pixels per metre
    put32(b, 0);  // colours used: all 16
    put32(b, 0);  // important colours
}

void putPalette(std::vector<std::uint8_t>& b) {
    for (std::uint32_t rgb : kPalette) {  // RGBQUAD: blue, green, red, reserved
        b.push_back(static_cast<std::uint8_t>(rgb & 0xFF));
        b.push_back(static_cast<std::uint8_t>((rgb >> 8) & 0xFF));
        b.push_back(static_cast<std::uint8_t>((rgb >> 16) & 0xFF));
        b.push_back(0);
    }
}

// 4-bpp pixel rows, bottom row first, high nibble = left pixel.
void putXorBits(std::vector<std::uint8_t>& b, const Image& img) {
    const std::uint32_t stride = xorStride(img.width);
    for (int y = img.height - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(stride, 0);
        for (int x = 0; x < img.width; ++x) {
            const int idx = img.at(x, y);
            const unsigned nib = idx == kTransparent ? 0u : static_cast<unsigned>(idx);
            row[x / 2] |= static_cast<std::uint8_t>(x % 2 == 0 ? nib << 4 : nib);
        }
        b.insert(b.end(), row.begin(), row.end());
    }
}

// 1-bpp mask rows, bottom row first, most significant bit = left pixel;
// a set bit lets the screen show through.
void putAndBits(std::vector<std::uint8_t>& b, const Image& img) {
    const std::uint32_t stride = andStride(img.width);
    for (int y = img.height - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(stride, 0);
        for (int x = 0; x < img.width; ++x)
            if (img.at(x, y) == kTransparent) row[x / 8] |= static_cast<std::uint8_t>(0x80u >> (x % 8));
        b.insert(b.end(), row.begin(), row.end());
    }
}

std::vector<std::uint8_t> makeIco(const Image& img) {
    const std::uint32_t xorSize = xorStride(img.width) * img.height;
    const std::uint32_t andSize = andStride(img.width) * img.height;
    const std::uint32_t resSize = 40 + 16 * 4 + xorSize + andSize;
    std::vector<std::uint8_t> b;
    put16(b, 0);  // ICONDIR
    put16(b, 1);
    put16(b, 1);
    b.push_back(static_cast<std::uint8_t>(img.width & 0xFF));  // 256 is stored as 0
    b.push_back(static_cast<std::uint8_t>(img.height & 0xFF));
    b.push_back(16);  // colour count
    b.push_back(0);
    put16(b, 1);  // planes
    put16(b, 4);  // bit count
    put32(b, resSize);
    put32(b, 6 + 16);  // image offset
    putInfoHeader(b, img.width, img.height * 2, xorSize + andSize);
    putPalette(b);
    putXorBits(b, img);
    putAndBits(b, img);
    return b;
}

std::vector<std::uint8_t> makeBmp(const Image& img) {
    const std::uint32_t xorSize = xorStride(img.width) * img.height;
    const std::uint32_t offBits = 14 + 40 + 16 * 4;
    std::vector<std::uint8_t> b;
    b.push_back('B');
    b.push_back('M');
    put32(b, offBits + xorSize);
    put16(b, 0);
    put16(b, 0);
    put32(b, offBits);
    putInfoHeader(b, img.width, img.height, xorSize);
    putPalette(b);
    putXorBits(b, img);
    return b;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw Error("cannot open " + path);
    std::ostringstream ss;
    ss << in.rdbuf();
    if (in.bad()) throw Error("cannot read " + path);
    return ss.str();
}

// Writes next to the target first so a failed run never leaves a partial file.
void writeFile(const std::string& path, const std::vector<std::uint8_t>& data) {
    namespace fs = std::filesystem;
    const std::string tmp = path + ".tmp";
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        if (out) out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
        out.close();
        if (!out) {
            std::error_code ec;
            fs::remove(tmp, ec);
            throw Error("cannot write " + tmp);
        }
    }
    std::error_code ec;
    fs::rename(tmp, path, ec);
    if (ec) {  // some platforms refuse to rename over an existing file
        fs::remove(path, ec);
        fs::rename(tmp, path, ec);
    }
    if (ec) {
        std::error_code ignored;
        fs::remove(tmp, ignored);
        throw Error("cannot create " + path + ": " + ec.message());
    }
}

int usage() {
    std::fprintf(stderr,
                 "usage: mkico ico <in.xpm> <out.ico>\n"
                 "       mkico bmp <in.xpm> <out.bmp>\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) return usage();
    const std::string mode = argv[1];
    const std::string inPath = argv[2];
    const std::string outPath = argv[3];
    if (mode != "ico" && mode != "bmp") return usage();
    try {
        const std::string src = readFile(inPath);
        Image img;
        try {
            img = parseXpm(src, mode == "ico");
        } catch (const Error& e) {
            throw Error(inPath + ": " + e.what());
        }
        writeFile(outPath, mode == "ico" ? makeIco(img) : makeBmp(img));
    } catch (const std::exception& e) {
        // Don't let a stale result from an earlier run pass for this one.
        std::error_code ec;
        if (!std::filesystem::equivalent(inPath, outPath, ec)) std::filesystem::remove(outPath, ec);
        std::fprintf(stderr, "mkico: %s\n", e.what());
        return 1;
    }
    return 0;
}
