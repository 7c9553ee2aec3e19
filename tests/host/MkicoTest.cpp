// Runs the mkico build tool on small XPM files and checks the bytes it writes.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// A folder of this process's own: other runs of the suite (the sanitized one, the
// mutation runs, another checkout's) share the temporary folder and the names.
struct ScratchFolder {
    std::string path = ::testing::TempDir() + "mkico_XXXXXX";
    ScratchFolder() {
        if (mkdtemp(&path[0]) == nullptr) std::abort();
        path += "/";
    }
    ~ScratchFolder() { std::filesystem::remove_all(path); }
};

std::string scratch(const std::string& name) {
    static ScratchFolder folder;
    return folder.path + name;
}

void writeText(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

bool exists(const std::string& path) { return std::ifstream(path).good(); }

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

unsigned u16(const Bytes& b, std::size_t at) { return b.at(at) | (b.at(at + 1) << 8); }
std::uint32_t u32(const Bytes& b, std::size_t at) { return u16(b, at) | (std::uint32_t(u16(b, at + 2)) << 16); }

// Builds an XPM from colour lines ("r c #FF0000") and pixel rows.
std::string xpm(int w, int h, const std::vector<std::string>& colours, const std::vector<std::string>& rows) {
    std::string s = "/* XPM */\nstatic char *t[] = {\n\"" + std::to_string(w) + " " + std::to_string(h) + " " +
                    std::to_string(colours.size()) + " 1\",\n";
    for (const auto& c : colours) s += "\"" + c + "\",\n";
    for (const auto& r : rows) s += "\"" + r + "\",\n";
    return s + "};\n";
}

// Runs the tool: "ico OUT IN..." or "bmp IN OUT"; stderr goes to <out>.err.
int run(const std::string& mode, const std::vector<std::string>& in, const std::string& out) {
    std::string cmd = std::string("\"") + MKICO_PATH + "\" " + mode;
    if (mode == "ico") cmd += " \"" + out + "\"";
    for (const std::string& path : in) cmd += " \"" + path + "\"";
    if (mode != "ico") cmd += " \"" + out + "\"";
    return std::system((cmd + " 2> \"" + out + ".err\"").c_str());
}

Bytes readBytes(const std::string& path) {
    const std::string bytes = readText(path);
    return Bytes(bytes.begin(), bytes.end());
}

// Converts XPM texts (the icon's images in order); returns the bytes written.
Bytes convert(const std::string& mode, const std::string& name, const std::vector<std::string>& sources) {
    std::vector<std::string> in;
    for (size_t i = 0; i < sources.size(); ++i) {
        in.push_back(scratch(name + "_" + std::to_string(i) + ".xpm"));
        writeText(in.back(), sources[i]);
    }
    const std::string out = scratch(name + "." + mode);
    std::remove(out.c_str());
    EXPECT_EQ(run(mode, in, out), 0) << readText(out + ".err");
    return readBytes(out);
}
Bytes convert(const std::string& mode, const std::string& name, const std::string& source) {
    return convert(mode, name, std::vector<std::string>{source});
}

// Palette index of pixel (x, y), y counted from the top, in a 4-bpp bottom-up bitmap.
int nibble(const Bytes& b, std::size_t bits, int stride, int height, int x, int y) {
    const std::uint8_t v = b.at(bits + std::size_t(height - 1 - y) * stride + x / 2);
    return x % 2 == 0 ? v >> 4 : v & 0x0F;
}

bool maskBit(const Bytes& b, std::size_t bits, int stride, int height, int x, int y) {
    return (b.at(bits + std::size_t(height - 1 - y) * stride + x / 8) >> (7 - x % 8)) & 1;
}

const std::vector<std::string> kColours = {". c None", "w c #FFFFFF", "r c #FF0000", "B c #0000ff"};

TEST(Mkico, IcoHeadersPaletteAndPixels) {
    // 10 x 3: XOR rows are 5 bytes padded to 8, AND rows 2 bits padded to 4 bytes.
    const Bytes b = convert("ico", "layout", xpm(10, 3, kColours, {"rwwwwwwww.", "wwwwwwwwww", "wwwBwwwwww"}));
    const std::size_t xorSize = 8 * 3, andSize = 4 * 3;
    ASSERT_EQ(b.size(), 6 + 16 + 40 + 64 + xorSize + andSize);

    // ICONDIR, then ICONDIRENTRY: 10 x 3, 16 colours, 1 plane, 4 bpp, size, offset 22.
    const Bytes dir = {0, 0, 1, 0, 1, 0, 10, 3, 16, 0, 1, 0, 4, 0};
    EXPECT_EQ(Bytes(b.begin(), b.begin() + 14), dir);
    EXPECT_EQ(u32(b, 14), b.size() - 22);
    EXPECT_EQ(u32(b, 18), 22u);

    const std::size_t bih = 22;
    EXPECT_EQ(u32(b, bih + 0), 40u);
    EXPECT_EQ(u32(b, bih + 4), 10u);
    EXPECT_EQ(u32(b, bih + 8), 6u);  // XOR and AND halves
    EXPECT_EQ(u32(b, bih + 12), 0x00040001u);  // 1 plane, 4 bpp
    EXPECT_EQ(u32(b, bih + 16), 0u);
    EXPECT_EQ(u32(b, bih + 20), xorSize + andSize);

    // RGBQUAD is blue, green, red, reserved.
    const std::size_t pal = bih + 40;
    EXPECT_EQ(u32(b, pal + 1 * 4), 0x00800000u);   // dark red
    EXPECT_EQ(u32(b, pal + 11 * 4), 0x00FFFF00u);  // yellow
    EXPECT_EQ(u32(b, pal + 12 * 4), 0x000000FFu);  // blue

    const std::size_t xorBits = pal + 64, andBits = xorBits + xorSize;
    EXPECT_EQ(nibble(b, xorBits, 8, 3, 0, 0), 9);   // red, top-left, stored in the last row
    EXPECT_EQ(nibble(b, xorBits, 8, 3, 3, 2), 12);  // blue, bottom row, stored first
    EXPECT_EQ(nibble(b, xorBits, 8, 3, 9, 0), 0);   // transparent pixels are black
    EXPECT_EQ(b[xorBits + 2 * 8 + 5], 0);           // row padding
    EXPECT_TRUE(maskBit(b, andBits, 4, 3, 9, 0));
    EXPECT_EQ(b[andBits + 2 * 4 + 1], 0x40);        // only pixel 9 of the top row
    for (std::size_t i = 0; i < 8; ++i) EXPECT_EQ(b[andBits + i], 0) << i;
}

TEST(Mkico, BmpOddWidthIsPaddedBottomUp) {
    // 13 x 5: not square, so that width and height cannot be mixed up unseen.
    std::vector<std::string> rows(5, std::string(13, 'w'));
    rows[0][12] = 'r';  // top-right
    rows[4][0] = 'B';   // bottom-left
    const Bytes b = convert("bmp", "menu", xpm(13, 5, {"w c #FFFFFF", "r c #FF0000", "B c #0000FF"}, rows));
    const int stride = 8;  // 13 pixels = 6.5 bytes, padded to 8
    ASSERT_EQ(b.size(), 14u + 40 + 64 + stride * 5);
    EXPECT_EQ(u16(b, 0), 0x4D42u);  // "BM"
    EXPECT_EQ(u32(b, 2), b.size());
    EXPECT_EQ(u32(b, 10), 118u);
    EXPECT_EQ(u32(b, 14), 40u);
    EXPECT_EQ(u32(b, 18), 13u);
    EXPECT_EQ(u32(b, 22), 5u);  // positive: bottom-up, and no mask half as in an icon
    EXPECT_EQ(u32(b, 26), 0x00040001u);  // 1 plane, 4 bpp
    EXPECT_EQ(u32(b, 30), 0u);  // BI_RGB
    EXPECT_EQ(u32(b, 34), stride * 5u);
    EXPECT_EQ(u32(b, 54 + 9 * 4), 0x00FF0000u);

    EXPECT_EQ(b[118 + 4 * stride + 6], 0x90);  // top-right pixel, alone in its byte
    EXPECT_EQ(b[118 + 4 * stride + 7], 0);
    EXPECT_EQ(b[118 + 0], 0xCF);
}

TEST(Mkico, BadInputIsRefusedWithoutOutput) {
    struct Case {
        const char* name;
        const char* mode;
        std::string text;
        const char* message;  // part of what stderr must say
    };
    const std::vector<Case> cases = {
        {"offpalette", "ico", xpm(2, 1, {"a c #FFFFFF", "b c #123456"}, {"ab"}), "#123456"},
        {"shortrow", "ico", xpm(3, 2, {"a c #FFFFFF"}, {"aaa", "aa"}), "row"},
        {"manyrows", "ico", xpm(2, 1, {"a c #FFFFFF"}, {"aa", "aa"}), "rows"},
        {"unknownchar", "ico", xpm(2, 1, {"a c #FFFFFF"}, {"ax"}), "'x'"},
        {"toolarge", "ico", xpm(257, 1, {"a c #FFFFFF"}, {std::string(257, 'a')}), "256"},
        {"truncated", "ico", "/* XPM */\nstatic char *t[] = {\n\"2 1 1 1\",\n\"a c #FFF", "unterminated"},
        {"maskinbmp", "bmp", xpm(2, 1, {"a c #FFFFFF", ". c None"}, {"a."}), "None"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string in = scratch(std::string(c.name) + ".xpm"), out = scratch(std::string(c.name) + ".out");
        writeText(in, c.text);
        writeText(out, "stale");  // a result from an earlier run must not survive either
        EXPECT_NE(run(c.mode, {in}, out), 0);
        EXPECT_FALSE(exists(out));
        EXPECT_FALSE(exists(out + ".tmp"));
        EXPECT_NE(readText(out + ".err").find(c.message), std::string::npos) << readText(out + ".err");
    }
    // Line numbers point at the offending line (the colour is on line 5).
    EXPECT_NE(readText(scratch("offpalette.out.err")).find("line 5"), std::string::npos);
}

// The menu pictures, as the resource script names them: each identifier is one of resource.h's IDB_
// names, every IDB_ name has its BITMAP line, and each has its source in src/res/bitmaps, drawn at the
// size the menu shows: 13 x 13, the track lines' disc 20 x 16. (The build converts every source with
// mkico, which refuses anything but the 16 colours, so only the size is looked at here.)
TEST(Mkico, MenuBitmapsOfTheScriptHaveSourcesOfTheirSize) {
    const std::string resDir = std::string(DORVANE_RC).substr(0, std::string(DORVANE_RC).rfind('/'));
    std::map<std::string, int> defined;  // IDB_ name -> resource id
    const std::regex define(R"(\s*#define\s+(IDB_\w+)\s+(\d+)\b.*)");
    std::istringstream header(readText(resDir + "/resource.h"));
    std::smatch m;
    for (std::string line; std::getline(header, line);)
        if (std::regex_match(line, m, define)) defined[m[1]] = std::stoi(m[2]);

    std::map<std::string, std::string> named;  // IDB_ name -> file name without .bmp
    const std::regex bitmap(R"(\s*(\w+)\s+BITMAP\s+"([^"]*)\.bmp"\s*)");
    std::istringstream script(readText(DORVANE_RC));
    for (std::string line; std::getline(script, line);) {
        if (!std::regex_match(line, m, bitmap)) continue;
        EXPECT_TRUE(defined.count(m[1])) << m[1] << " is not an IDB_ name of resource.h";
        EXPECT_TRUE(named.emplace(m[1], m[2]).second) << m[1] << " is named twice";
    }
    for (const auto& entry : defined) EXPECT_TRUE(named.count(entry.first)) << entry.first << " has no BITMAP line";
    EXPECT_EQ(named.size(), 24u);

    // The first string of an XPM is "width height colours 1".
    const std::regex sizeLine(R"(\"(\d+) (\d+) \d+ 1\")");
    for (const auto& [name, file] : named) {
        const std::string source = resDir + "/bitmaps/" + file + ".xpm";
        const std::string text = readText(source);
        ASSERT_TRUE(std::regex_search(text, m, sizeLine)) << name << ": no XPM size line in " << source;
        const bool disc = defined[name] == 163;
        EXPECT_EQ(m[1].str() + " x " + m[2].str(), disc ? "20 x 16" : "13 x 13") << name << " " << source;
    }
}

// ---- Icons as the system reads them ------------------------------------------------------

// An image as pixels: 0xRRGGBB, or -1 where the screen shows through.
struct Pixels {
    int width = 0, height = 0;
    std::vector<int> rgb;
    int at(int x, int y) const { return rgb.at(std::size_t(y) * width + x); }
};

// The XPM sources read independently of the tool: comments dropped, then the string literals.
Pixels readXpm(const std::string& text) {
    const std::string plain = std::regex_replace(text, std::regex(R"(/\*[\s\S]*?\*/)"), "");
    std::vector<std::string> lits;
    const std::regex literal("\"([^\"]*)\"");
    for (auto it = std::sregex_iterator(plain.begin(), plain.end(), literal); it != std::sregex_iterator(); ++it)
        lits.push_back((*it)[1]);
    Pixels p;
    int colours = 0;
    std::istringstream(lits.at(0)) >> p.width >> p.height >> colours;
    std::map<char, int> map;
    for (int i = 1; i <= colours; ++i) {
        const std::string value = lits.at(i).substr(lits.at(i).rfind(' ') + 1);
        map[lits.at(i)[0]] = value == "None" ? -1 : std::stoi(value.substr(1), nullptr, 16);
    }
    for (int y = 0; y < p.height; ++y)
        for (char c : lits.at(1 + colours + y)) p.rgb.push_back(map.at(c));
    return p;
}

struct IconEntry {
    int width = 0, height = 0, colours = 0, planes = 0, bits = 0;
    Pixels pixels;
};

// Decodes an .ico file as the system does: the directory, each image's DIB (colour half, then
// the AND mask), checked for consistency on the way. A 32-bit image's alpha must agree with its mask.
std::vector<IconEntry> decodeIco(const Bytes& b) {
    std::vector<IconEntry> entries;
    EXPECT_EQ(u16(b, 0), 0u);
    EXPECT_EQ(u16(b, 2), 1u);  // icons, not cursors
    const unsigned count = u16(b, 4);
    std::size_t expectedOffset = 6 + 16 * count;
    for (unsigned i = 0; i < count; ++i) {
        const std::size_t e = 6 + 16 * i;
        IconEntry entry;
        entry.width = b.at(e) ? b.at(e) : 256;
        entry.height = b.at(e + 1) ? b.at(e + 1) : 256;
        entry.colours = b.at(e + 2);
        entry.planes = int(u16(b, e + 4));
        entry.bits = int(u16(b, e + 6));
        const std::uint32_t size = u32(b, e + 8), offset = u32(b, e + 12);
        SCOPED_TRACE("image " + std::to_string(i) + ", " + std::to_string(entry.width) + " px");
        EXPECT_EQ(offset, expectedOffset) << "images follow the directory and each other";
        expectedOffset = offset + size;
        EXPECT_EQ(u32(b, offset), 40u);
        EXPECT_EQ(int(u32(b, offset + 4)), entry.width);
        EXPECT_EQ(int(u32(b, offset + 8)), 2 * entry.height) << "colour and mask halves";
        EXPECT_EQ(int(u16(b, offset + 14)), entry.bits);
        EXPECT_EQ(u32(b, offset + 16), 0u) << "BI_RGB";
        const int stride = (entry.width * entry.bits + 31) / 32 * 4, maskStride = (entry.width + 31) / 32 * 4;
        const std::size_t palette = entry.bits == 4 ? 16 * 4 : 0;
        const std::size_t colourBits = offset + 40 + palette, maskBits = colourBits + std::size_t(stride) * entry.height;
        EXPECT_EQ(size, 40 + palette + std::size_t(stride + maskStride) * entry.height);
        EXPECT_EQ(u32(b, offset + 20), std::size_t(stride + maskStride) * entry.height);
        entry.pixels.width = entry.width;
        entry.pixels.height = entry.height;
        for (int y = 0; y < entry.height; ++y)
            for (int x = 0; x < entry.width; ++x) {
                const bool through = maskBit(b, maskBits, maskStride, entry.height, x, y);
                int rgb;
                if (entry.bits == 4) {
                    const std::size_t quad = offset + 40 + 4 * nibble(b, colourBits, stride, entry.height, x, y);
                    rgb = int(u32(b, quad) & 0xFFFFFF);
                } else {
                    const std::uint32_t bgra = u32(b, colourBits + std::size_t(entry.height - 1 - y) * stride + 4 * x);
                    EXPECT_EQ(bgra >> 24, through ? 0u : 255u) << "alpha at " << x << "," << y;
                    rgb = int(bgra & 0xFFFFFF);
                    if (through) {
                        EXPECT_EQ(rgb, 0) << "a transparent pixel is black";
                    }
                }
                entry.pixels.rgb.push_back(through ? -1 : rgb);
            }
        entries.push_back(entry);
    }
    EXPECT_EQ(expectedOffset, b.size()) << "nothing after the last image";
    return entries;
}

std::vector<int> iconSizes() {
    std::vector<int> sizes;
    std::istringstream in(ICON_SIZES);
    for (int size; in >> size;) sizes.push_back(size);
    return sizes;
}

// The sources of an icon group in the order the build gives them to the tool.
std::vector<std::string> iconSources(const std::string& name) {
    const std::string dir = ICON_SOURCE_DIR;
    std::vector<std::string> paths = {dir + "/" + name + ".xpm"};
    for (int size : iconSizes())
        paths.push_back(dir + "/" + name + (size == 32 ? "" : "_" + std::to_string(size)) + ".xpm");
    return paths;
}

TEST(Mkico, IcoWithTrueColourImages) {
    // The first image is the 16-colour one; a later one takes any colour, each pixel opaque or not.
    const Bytes b = convert("ico", "truecolour", {xpm(2, 1, kColours, {"r."}),
                                                  xpm(3, 2, {". c None", "p c #123456", "w c #FFFFFF"}, {"p.w", "wwp"})});
    const Bytes dir = {0, 0, 1, 0, 2, 0,
                       2, 1, 16, 0, 1, 0, 4, 0};
    EXPECT_EQ(Bytes(b.begin(), b.begin() + 14), dir);
    const std::size_t first = 40 + 64 + 4 * 1 + 4 * 1, second = 40 + 3 * 4 * 2 + 4 * 2;
    const Bytes entry = {3, 2, 0, 0, 1, 0, 32, 0};
    EXPECT_EQ(Bytes(b.begin() + 22, b.begin() + 30), entry);
    EXPECT_EQ(u32(b, 30), second);
    EXPECT_EQ(u32(b, 34), 6 + 32 + first);
    ASSERT_EQ(b.size(), 6 + 32 + first + second);

    const std::size_t dib = 6 + 32 + first;
    EXPECT_EQ(u32(b, dib + 8), 4u);
    EXPECT_EQ(u32(b, dib + 12), 0x00200001u);  // 1 plane, 32 bpp
    EXPECT_EQ(u32(b, dib + 20), 3 * 4 * 2 + 4 * 2u);
    // Bottom row first, blue green red alpha: "wwp", then "p.w".
    const Bytes pixels = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x56, 0x34, 0x12, 0xFF,
                          0x56, 0x34, 0x12, 0xFF, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(Bytes(b.begin() + dib + 40, b.begin() + dib + 64), pixels);
    const Bytes mask = {0, 0, 0, 0, 0x40, 0, 0, 0};
    EXPECT_EQ(Bytes(b.begin() + dib + 64, b.end()), mask);

    // The 16-colour image keeps to its palette, and a broken later source leaves nothing behind;
    // the message names the file at fault.
    struct Refused {
        std::vector<std::string> sources;
        size_t bad;
    };
    for (const Refused& c : {Refused{{xpm(1, 1, {"p c #123456"}, {"p"}), xpm(1, 1, {"w c #FFFFFF"}, {"w"})}, 0},
                             Refused{{xpm(1, 1, {"w c #FFFFFF"}, {"w"}), xpm(2, 1, {"w c #FFFFFF"}, {"w"})}, 1}}) {
        std::vector<std::string> in;
        for (size_t i = 0; i < c.sources.size(); ++i) {
            in.push_back(scratch("refused_" + std::to_string(i) + ".xpm"));
            writeText(in.back(), c.sources[i]);
        }
        const std::string out = scratch("refused.ico");
        writeText(out, "stale");
        EXPECT_NE(run("ico", in, out), 0);
        EXPECT_FALSE(exists(out));
        EXPECT_NE(readText(out + ".err").find(in[c.bad] + ":"), std::string::npos) << readText(out + ".err");
    }
}

// The three tray icons as the build makes them: the 16-colour 32 x 32 image the program always had,
// then one 32-bit image for each size the notification area and the large icons use at 100 to 200 %,
// each decoding to exactly the pixels of its source.
TEST(Mkico, TrayIconsHoldEverySize) {
    EXPECT_EQ(iconSizes(), (std::vector<int>{16, 20, 24, 32, 40, 48}));
    std::map<std::string, std::vector<IconEntry>> icons;
    for (const char* name : {"dorvane", "door_moving", "no_disc"}) {
        SCOPED_TRACE(name);
        const std::vector<std::string> sources = iconSources(name);
        const std::string out = scratch(std::string(name) + ".ico");
        std::remove(out.c_str());
        ASSERT_EQ(run("ico", sources, out), 0) << readText(out + ".err");
        const std::vector<IconEntry> entries = decodeIco(readBytes(out));
        ASSERT_EQ(entries.size(), sources.size());
        for (size_t i = 0; i < entries.size(); ++i) {
            const IconEntry& e = entries[i];
            const int side = i == 0 ? 32 : iconSizes()[i - 1];
            SCOPED_TRACE(sources[i]);
            EXPECT_EQ(e.width, side);
            EXPECT_EQ(e.height, side);
            EXPECT_EQ(e.planes, 1);
            EXPECT_EQ(e.bits, i == 0 ? 4 : 32);
            EXPECT_EQ(e.colours, i == 0 ? 16 : 0);
            const Pixels source = readXpm(readText(sources[i]));
            EXPECT_EQ(source.width, side) << "drawn for its size";
            EXPECT_EQ(e.pixels.rgb, source.rgb) << "the image is its source, pixel for pixel";
        }
        icons[name] = entries;
    }
    // At every size the no-disc icon is the normal one without the diamond: wherever it is opaque,
    // both agree pixel for pixel, and the normal one has a few more (yellow) pixels.
    for (size_t i = 0; i < icons["dorvane"].size(); ++i) {
        const Pixels& normal = icons["dorvane"][i].pixels;
        const Pixels& empty = icons["no_disc"][i].pixels;
        SCOPED_TRACE(normal.width);
        int opaque = 0, extra = 0;
        for (size_t k = 0; k < normal.rgb.size(); ++k) {
            if (empty.rgb[k] == -1) {
                extra += normal.rgb[k] != -1;
                continue;
            }
            ++opaque;
            EXPECT_EQ(normal.rgb[k], empty.rgb[k]) << "pixel " << k;
        }
        EXPECT_GT(opaque, normal.width * normal.height / 5);
        EXPECT_GT(extra, 3);
        EXPECT_LT(extra, normal.width * normal.height / 10) << "only the small diamond";
    }
}

}  // namespace
