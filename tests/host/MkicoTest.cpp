// Runs the mkico build tool on small XPM files and checks the bytes it writes,
// then the program's own pictures: the menu bitmaps the script names and the tray icons.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

std::string Scratch(const std::string& name) { return ::testing::TempDir() + "mkico_" + name; }

std::string ReadText(const std::string& path)
{
    std::stringstream bytes;
    bytes << std::ifstream(path, std::ios::binary).rdbuf();
    return bytes.str();
}

unsigned U32(const Bytes& b, size_t at) { return b.at(at) | b.at(at + 1) << 8 | b.at(at + 2) << 16 | b.at(at + 3) << 24; }

// An XPM from colour lines ("r c #FF0000") and pixel rows.
std::string Xpm(int w, int h, const std::vector<std::string>& colours, const std::vector<std::string>& rows)
{
    std::string s = "/* XPM */\nstatic char *t[] = {\n\"" + std::to_string(w) + " " + std::to_string(h) + " " +
                    std::to_string(colours.size()) + " 1\",\n";
    for (const auto& line : colours) s += "\"" + line + "\",\n";
    for (const auto& row : rows) s += "\"" + row + "\",\n";
    return s + "};\n";
}

// Runs the tool on `source`; its exit status; the output's bytes and stderr through the pointers.
int Mkico(const std::string& mode, const std::string& name, const std::string& source, Bytes* out, std::string* err)
{
    const std::string in = Scratch(name + ".xpm"), result = Scratch(name + ".out");
    std::ofstream(in, std::ios::binary) << source;
    std::ofstream(result, std::ios::binary) << "stale";   // a result from an earlier run must not survive a failure
    int status = std::system(("\"" MKICO_PATH "\" " + mode + " \"" + in + "\" \"" + result + "\" 2> \"" + result +
                              ".err\"").c_str());
    std::string bytes = ReadText(result);
    *out = Bytes(bytes.begin(), bytes.end());
    *err = ReadText(result + ".err");
    return status;
}

// Palette index of pixel (x, y) from the top, in a 4-bpp bottom-up bitmap; the mask bit likewise.
int Nibble(const Bytes& b, size_t bits, int stride, int height, int x, int y)
{
    std::uint8_t v = b.at(bits + size_t(height - 1 - y) * stride + x / 2);
    return x % 2 == 0 ? v >> 4 : v & 0x0F;
}

bool MaskBit(const Bytes& b, size_t bits, int stride, int height, int x, int y)
{
    return (b.at(bits + size_t(height - 1 - y) * stride + x / 8) >> (7 - x % 8)) & 1;
}

const std::vector<std::string> kColours = {". c None", "w c #FFFFFF", "r c #FF0000", "B c #0000ff"};

}  // namespace

TEST(Mkico, AnIconHasItsHeadersPaletteAndBottomUpPixelsWithAMask)
{
    // 10 x 3: colour rows are 5 bytes padded to 8, mask rows 2 bits padded to 4 bytes.
    Bytes b;
    std::string err;
    ASSERT_EQ(0, Mkico("ico", "layout", Xpm(10, 3, kColours, {"rwwwwwwww.", "wwwwwwwwww", "wwwBwwwwww"}), &b, &err)) << err;
    ASSERT_EQ(6u + 16 + 40 + 64 + 24 + 12, b.size());
    // ICONDIR, then ICONDIRENTRY: 10 x 3, 16 colours, 1 plane, 4 bpp, size, offset 22; the header's height counts both halves.
    EXPECT_EQ(Bytes({0, 0, 1, 0, 1, 0, 10, 3, 16, 0, 1, 0, 4, 0}), Bytes(b.begin(), b.begin() + 14));
    EXPECT_EQ(b.size() - 22, U32(b, 14));
    EXPECT_EQ((std::vector<unsigned>{22, 40, 10, 6, 0x00040001, 0, 36}),
              (std::vector<unsigned>{U32(b, 18), U32(b, 22), U32(b, 26), U32(b, 30), U32(b, 34), U32(b, 38), U32(b, 42)}));
    // RGBQUAD is blue, green, red, reserved: dark red, yellow, blue at 1, 11 and 12.
    EXPECT_EQ((std::vector<unsigned>{0x00800000u, 0x00FFFF00u, 0x000000FFu}),
              (std::vector<unsigned>{U32(b, 62 + 4), U32(b, 62 + 44), U32(b, 62 + 48)}));
    const size_t colours = 126, mask = colours + 24;
    EXPECT_EQ(9, Nibble(b, colours, 8, 3, 0, 0)) << "red, top-left, stored in the last row";
    EXPECT_EQ(12, Nibble(b, colours, 8, 3, 3, 2)) << "blue, bottom row, stored first";
    EXPECT_EQ(0, Nibble(b, colours, 8, 3, 9, 0)) << "transparent pixels are black";
    EXPECT_EQ(0x40, b[mask + 2 * 4 + 1]) << "only pixel 9 of the top row is transparent";
    for (size_t i = 0; i < 8; ++i) EXPECT_EQ(0, b[mask + i]) << i;
}

TEST(Mkico, AMenuBitmapOfOddWidthIsPaddedBottomUpWithoutMask)
{
    std::vector<std::string> rows(5, std::string(13, 'w'));
    rows[0][12] = 'r';   // top-right
    rows[4][0] = 'B';    // bottom-left
    Bytes b;
    std::string err;
    ASSERT_EQ(0, Mkico("bmp", "menu", Xpm(13, 5, {"w c #FFFFFF", "r c #FF0000", "B c #0000FF"}, rows), &b, &err)) << err;
    ASSERT_EQ(14u + 40 + 64 + 8 * 5, b.size()) << "13 pixels are 6.5 bytes, padded to 8";
    EXPECT_EQ("BM", std::string(b.begin(), b.begin() + 2));
    EXPECT_EQ((std::vector<unsigned>{static_cast<unsigned>(b.size()), 118, 40, 13, 5, 0x00040001, 0, 40}),
              (std::vector<unsigned>{U32(b, 2), U32(b, 10), U32(b, 14), U32(b, 18), U32(b, 22), U32(b, 26), U32(b, 30),
                                     U32(b, 34)}));
    EXPECT_EQ(0x90, b[118 + 4 * 8 + 6]) << "the top-right pixel, alone in its byte";
    EXPECT_EQ(0, b[118 + 4 * 8 + 7]);
    EXPECT_EQ(0xCF, b[118]);
}

TEST(Mkico, BadInputIsRefusedWithoutOutput)
{
    const std::tuple<const char*, const char*, std::string, const char*> cases[] = {
        {"offpalette", "ico", Xpm(2, 1, {"a c #FFFFFF", "b c #123456"}, {"ab"}), "line 5: colour #123456"},
        {"shortrow", "ico", Xpm(3, 2, {"a c #FFFFFF"}, {"aaa", "aa"}), "row"},
        {"manyrows", "ico", Xpm(2, 1, {"a c #FFFFFF"}, {"aa", "aa"}), "rows"},
        {"unknownchar", "ico", Xpm(2, 1, {"a c #FFFFFF"}, {"ax"}), "'x'"},
        {"toolarge", "ico", Xpm(257, 1, {"a c #FFFFFF"}, {std::string(257, 'a')}), "256"},
        {"truncated", "ico", "/* XPM */\nstatic char *t[] = {\n\"2 1 1 1\",\n\"a c #FFF", "unterminated"},
        {"maskinbmp", "bmp", Xpm(2, 1, {"a c #FFFFFF", ". c None"}, {"a."}), "None"},
    };
    for (const auto& [name, mode, source, message] : cases) {
        SCOPED_TRACE(name);
        Bytes b;
        std::string err;
        EXPECT_NE(0, Mkico(mode, name, source, &b, &err));
        EXPECT_TRUE(b.empty()) << "no output, not even a stale one";
        EXPECT_FALSE(std::ifstream(Scratch(std::string(name) + ".out.tmp")).good());
        EXPECT_NE(std::string::npos, err.find(message)) << err;
    }
}

// The menu pictures, as the resource script names them: each identifier is one of resource.h's IDB_
// names, every IDB_ name has its BITMAP line, and each has its source drawn at the size the menu shows:
// 13 x 13, the track lines' disc 20 x 16. (The build converts each with mkico, which refuses anything
// but the 16 colours.) Then the tray icons: the no-disc icon is the normal one without the diamond.
TEST(Mkico, TheProgramsPicturesAreWhatTheMenuAndTheTrayShow)
{
    const std::string resources = std::string(DORVANE_RC).substr(0, std::string(DORVANE_RC).rfind('/'));
    std::map<std::string, int> defined;           // IDB_ name -> resource id
    std::map<std::string, std::string> named;     // IDB_ name -> file name without .bmp
    std::smatch m;
    const std::regex define(R"(\s*#define\s+(IDB_\w+)\s+(\d+)\b.*)"), bitmap(R"(\s*(\w+)\s+BITMAP\s+"([^"]*)\.bmp"\s*)");
    std::istringstream header(ReadText(resources + "/resource.h")), script(ReadText(DORVANE_RC));
    for (std::string line; std::getline(header, line);)
        if (std::regex_match(line, m, define)) defined[m[1]] = std::stoi(m[2]);
    for (std::string line; std::getline(script, line);) {
        if (!std::regex_match(line, m, bitmap)) continue;
        EXPECT_TRUE(defined.count(m[1])) << m[1] << " is not an IDB_ name of resource.h";
        EXPECT_TRUE(named.emplace(m[1], m[2]).second) << m[1] << " is named twice";
    }
    EXPECT_EQ(24u, named.size());
    EXPECT_EQ(defined.size(), named.size()) << "every IDB_ name has its BITMAP line";
    for (const auto& [name, file] : named) {
        const std::string text = ReadText(resources + "/bitmaps/" + file + ".xpm");
        ASSERT_TRUE(std::regex_search(text, m, std::regex(R"(\"(\d+) (\d+) \d+ 1\")"))) << name << ": no XPM size";
        EXPECT_EQ(defined[name] == 163 ? "20 x 16" : "13 x 13", m[1].str() + " x " + m[2].str()) << name;
    }

    std::vector<Bytes> icons(3);
    const char* names[] = {"dorvane", "door_moving", "no_disc"};
    std::string err;
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(0, Mkico("ico", names[i], ReadText(std::string(ICON_SOURCE_DIR) + "/" + names[i] + ".xpm"), &icons[i],
                         &err)) << err;
        ASSERT_EQ(22u + 40 + 64 + 32 * 16 + 32 * 4, icons[i].size()) << names[i];
        EXPECT_TRUE(MaskBit(icons[i], 22 + 40 + 64 + 512, 4, 32, 0, 0)) << names[i] << ": a transparent corner";
    }
    const size_t colours = 22 + 40 + 64, mask = colours + 512;
    int opaque = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            if (MaskBit(icons[2], mask, 4, 32, x, y)) continue;
            ++opaque;
            EXPECT_FALSE(MaskBit(icons[0], mask, 4, 32, x, y)) << x << "," << y;
            EXPECT_EQ(Nibble(icons[0], colours, 16, 32, x, y), Nibble(icons[2], colours, 16, 32, x, y)) << x << "," << y;
        }
    EXPECT_GT(opaque, 200);
}
