// mkico: turns the small XPM sources in src/res/icons and src/res/bitmaps into
// the .ico and .bmp files that the resource script embeds.
//
//   mkico ico <out.ico> <in.xpm>...  an icon group's images: the first source
//                                    as 16 colours (4 bpp) with a 1-bit AND
//                                    mask, each further one in 32-bit colour
//                                    with alpha (and the same kind of mask)
//   mkico bmp <in.xpm> <out.bmp>     a 4-bpp bitmap, no transparency allowed
//
// Only the XPM we write ourselves is understood: the C-array form, one
// character per pixel, colour lines "x c #RRGGBB" or "x c None". A 16-colour
// image takes its colours from the standard Windows palette; a 32-bit one any
// colour, each pixel opaque or (None) fully transparent. Anything else is
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

// Maps "#RRGGBB" or "None" to 0xRRGGBB or kTransparent; with `paletteOnly`
// the colour must be one of the 16.
int colourValue(const std::string& value, int line, bool paletteOnly) {
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
            if (!paletteOnly) return static_cast<int>(rgb);
            for (std::uint32_t entry : kPalette)
                if (entry == rgb) return static_cast<int>(rgb);
            failAt(line, "colour " + value + " is not in the 16-colour palette");
        }
    }
    failAt(line, "colour '" + value + "' must be #RRGGBB or None");
}

int paletteIndex(int rgb) {
    for (int idx = 0; idx < 16; ++idx)
        if (kPalette[idx] == static_cast<std::uint32_t>(rgb)) return idx;
    throw Error("colour outside the palette");  // parseXpm has refused it already
}

struct Image {
    int width = 0;
    int height = 0;
    std::vector<int> pixels;  // row-major, top row first; 0xRRGGBB or kTransparent
    int at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

Image parseXpm(const std::string& src, bool allowTransparent, bool paletteOnly) {
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

    constexpr int kUndefined = -2;
    int map[256];
    for (int& m : map) m = kUndefined;
    for (int k = 1; k <= ncolours; ++k) {
        const Literal& l = lits[k];
        if (l.text.empty()) failAt(l.line, "empty colour line");
        const unsigned char key = static_cast<unsigned char>(l.text[0]);
        const std::vector<std::string> rest = words(l.text.substr(1));
        if (rest.size() != 2 || rest[0] != "c")
            failAt(l.line, "colour line must be \"<char> c #RRGGBB\" or \"<char> c None\"");
        if (map[key] != kUndefined) failAt(l.line, std::string("pixel character '") + l.text[0] + "' defined twice");
        const int value = colourValue(rest[1], l.line, paletteOnly);
        if (value == kTransparent && !allowTransparent)
            failAt(l.line, "transparent colour None is not allowed in a bitmap");
        map[key] = value;
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
            const int value = map[static_cast<unsigned char>(ch)];
            if (value == kUndefined) failAt(l.line, std::string("unknown pixel character '") + ch + "'");
            img.pixels.push_back(value);
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

std::uint32_t xorStride(int width, int bits) { return ((static_cast<std::uint32_t>(width) * bits + 31) / 32) * 4; }
std::uint32_t andStride(int width) { return ((static_cast<std::uint32_t>(width) + 31) / 32) * 4; }

void putInfoHeader(std::vector<std::uint8_t>& b, int width, int heightField, int bits, std::uint32_t imageSize) {
    put32(b, 40);
    put32(b, static_cast<std::uint32_t>(width));
    put32(b, static_cast<std::uint32_t>(heightField));
    put16(b, 1);  // planes
    put16(b, static_cast<unsigned>(bits));
    put32(b, 0);  // BI_RGB
    put32(b, imageSize);
    put32(b, 0);  // x pixels per metre
    put32(b, 0);  // y pixels per metre
    put32(b, 0);  // colours used: all of the palette, if any
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
void putNibbles(std::vector<std::uint8_t>& b, const Image& img) {
    const std::uint32_t stride = xorStride(img.width, 4);
    for (int y = img.height - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(stride, 0);
        for (int x = 0; x < img.width; ++x) {
            const int rgb = img.at(x, y);
            const unsigned nib = rgb == kTransparent ? 0u : static_cast<unsigned>(paletteIndex(rgb));
            row[x / 2] |= static_cast<std::uint8_t>(x % 2 == 0 ? nib << 4 : nib);
        }
        b.insert(b.end(), row.begin(), row.end());
    }
}

// 32-bpp rows, bottom row first, each pixel blue, green, red, alpha; a
// transparent pixel is all zero.
void putArgb(std::vector<std::uint8_t>& b, const Image& img) {
    for (int y = img.height - 1; y >= 0; --y)
        for (int x = 0; x < img.width; ++x) {
            const int rgb = img.at(x, y);
            if (rgb == kTransparent) {
                put32(b, 0);
            } else {
                b.push_back(static_cast<std::uint8_t>(rgb & 0xFF));
                b.push_back(static_cast<std::uint8_t>((rgb >> 8) & 0xFF));
                b.push_back(static_cast<std::uint8_t>((rgb >> 16) & 0xFF));
                b.push_back(0xFF);
            }
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

// One image of an icon file as the resource compiler copies it: the DIB with
// its colour and mask halves. 4 or 32 bits a pixel.
std::vector<std::uint8_t> iconImage(const Image& img, int bits) {
    const std::uint32_t colourSize = xorStride(img.width, bits) * img.height;
    const std::uint32_t maskSize = andStride(img.width) * img.height;
    std::vector<std::uint8_t> b;
    putInfoHeader(b, img.width, img.height * 2, bits, colourSize + maskSize);
    if (bits == 4) {
        putPalette(b);
        putNibbles(b, img);
    } else {
        putArgb(b, img);
    }
    putAndBits(b, img);
    return b;
}

// The icon file: directory, then the images in the order given.
std::vector<std::uint8_t> makeIco(const std::vector<Image>& images) {
    std::vector<std::vector<std::uint8_t>> data;
    for (std::size_t i = 0; i < images.size(); ++i) data.push_back(iconImage(images[i], i == 0 ? 4 : 32));
    std::vector<std::uint8_t> b;
    put16(b, 0);  // ICONDIR
    put16(b, 1);
    put16(b, static_cast<unsigned>(images.size()));
    std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        const Image& img = images[i];
        b.push_back(static_cast<std::uint8_t>(img.width & 0xFF));  // 256 is stored as 0
        b.push_back(static_cast<std::uint8_t>(img.height & 0xFF));
        b.push_back(i == 0 ? 16 : 0);  // colour count: 0 for more than 256
        b.push_back(0);
        put16(b, 1);  // planes
        put16(b, i == 0 ? 4 : 32);
        put32(b, static_cast<std::uint32_t>(data[i].size()));
        put32(b, offset);
        offset += static_cast<std::uint32_t>(data[i].size());
    }
    for (const auto& image : data) b.insert(b.end(), image.begin(), image.end());
    return b;
}

std::vector<std::uint8_t> makeBmp(const Image& img) {
    const std::uint32_t xorSize = xorStride(img.width, 4) * img.height;
    const std::uint32_t offBits = 14 + 40 + 16 * 4;
    std::vector<std::uint8_t> b;
    b.push_back('B');
    b.push_back('M');
    put32(b, offBits + xorSize);
    put16(b, 0);
    put16(b, 0);
    put32(b, offBits);
    putInfoHeader(b, img.width, img.height, 4, xorSize);
    putPalette(b);
    putNibbles(b, img);
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
                 "usage: mkico ico <out.ico> <16-colour.xpm> [<32-bit.xpm>...]\n"
                 "       mkico bmp <in.xpm> <out.bmp>\n");
    return 2;
}

// Reads and parses one source; errors name the file.
Image readXpm(const std::string& path, bool allowTransparent, bool paletteOnly) {
    const std::string src = readFile(path);
    try {
        return parseXpm(src, allowTransparent, paletteOnly);
    } catch (const Error& e) {
        throw Error(path + ": " + e.what());
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) return usage();
    const std::string mode = argv[1];
    if (mode != "ico" && mode != "bmp") return usage();
    if (mode == "bmp" && argc != 4) return usage();
    const std::string outPath = mode == "ico" ? argv[2] : argv[3];
    std::vector<std::string> inPaths;
    if (mode == "ico") inPaths.assign(argv + 3, argv + argc);
    else inPaths.push_back(argv[2]);
    try {
        std::vector<Image> images;
        for (std::size_t i = 0; i < inPaths.size(); ++i)
            images.push_back(readXpm(inPaths[i], mode == "ico", mode == "bmp" || i == 0));
        writeFile(outPath, mode == "ico" ? makeIco(images) : makeBmp(images[0]));
    } catch (const std::exception& e) {
        // Don't let a stale result from an earlier run pass for this one.
        std::error_code ec;
        bool isSource = false;
        for (const std::string& in : inPaths) isSource = isSource || std::filesystem::equivalent(in, outPath, ec);
        if (!isSource) std::filesystem::remove(outPath, ec);
        std::fprintf(stderr, "mkico: %s\n", e.what());
        return 1;
    }
    return 0;
}
