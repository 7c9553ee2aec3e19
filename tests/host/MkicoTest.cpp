// Runs the mkico build tool on small XPM files and checks the bytes it writes.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

std::string scratch(const std::string& name) { return ::testing::TempDir() + "mkico_" + name; }

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

// Runs the tool; stderr goes to <out>.err.
int run(const std::string& mode, const std::string& in, const std::string& out) {
    const std::string cmd = std::string("\"") + MKICO_PATH + "\" " + mode + " \"" + in + "\" \"" + out + "\" 2> \"" +
                            out + ".err\"";
    return std::system(cmd.c_str());
}

// Converts XPM text; returns the bytes written.
Bytes convert(const std::string& mode, const std::string& name, const std::string& source) {
    const std::string in = scratch(name + ".xpm"), out = scratch(name + "." + mode);
    writeText(in, source);
    std::remove(out.c_str());
    EXPECT_EQ(run(mode, in, out), 0) << readText(out + ".err");
    const std::string bytes = readText(out);
    return Bytes(bytes.begin(), bytes.end());
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
        EXPECT_NE(run(c.mode, in, out), 0);
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

TEST(Mkico, TrayIconsConvert) {
    std::vector<Bytes> icons;
    for (const char* name : {"dorvane", "door_moving", "no_disc"}) {
        SCOPED_TRACE(name);
        const Bytes b = convert("ico", name, readText(std::string(ICON_SOURCE_DIR) + "/" + name + ".xpm"));
        ASSERT_EQ(b.size(), 22u + 40 + 64 + 32 * 16 + 32 * 4);
        EXPECT_TRUE(maskBit(b, 22 + 40 + 64 + 512, 4, 32, 0, 0));  // transparent corner
        icons.push_back(b);
    }
    // The no-disc icon is the normal one without the diamond: wherever it is
    // opaque, both icons agree pixel for pixel.
    const std::size_t xorBits = 22 + 40 + 64, andBits = xorBits + 512;
    int opaque = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            if (maskBit(icons[2], andBits, 4, 32, x, y)) continue;
            ++opaque;
            EXPECT_FALSE(maskBit(icons[0], andBits, 4, 32, x, y)) << x << "," << y;
            EXPECT_EQ(nibble(icons[0], xorBits, 16, 32, x, y), nibble(icons[2], xorBits, 16, 32, x, y))
                << x << "," << y;
        }
    EXPECT_GT(opaque, 200);
}

}  // namespace
