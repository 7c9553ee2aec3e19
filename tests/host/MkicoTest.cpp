// The pictures the build makes with mkico, read back as the system reads them:
// each tray icon holds the 16-colour 32 x 32 image and one 32-bit image for
// every size the notification area uses, each menu picture the script names
// is a 16-colour bitmap of the size the menu shows; every image is its
// source, pixel for pixel.
#include <gtest/gtest.h>

#include <cstdint>
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

std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

unsigned U16(const Bytes& b, std::size_t at) { return b.at(at) | (b.at(at + 1) << 8); }
std::uint32_t U32(const Bytes& b, std::size_t at) { return U16(b, at) | (std::uint32_t(U16(b, at + 2)) << 16); }

// Runs mkico ("ico OUT IN..." or "bmp IN OUT") in a folder of this process's own (other runs of the
// suite share the temporary folder) and returns what it wrote.
Bytes Make(const std::string& mode, const std::vector<std::string>& sources)
{
    static const std::string folder = [] {
        std::string path = ::testing::TempDir() + "mkico_XXXXXX";
        if (mkdtemp(&path[0]) == nullptr) std::abort();
        return path;
    }();
    const std::string out = folder + "/out." + mode;
    std::string command = std::string("\"") + MKICO_PATH + "\" " + mode + (mode == "ico" ? " \"" + out + "\"" : "");
    for (const std::string& source : sources) command += " \"" + source + "\"";
    if (mode == "bmp") command += " \"" + out + "\"";
    EXPECT_EQ(0, std::system(command.c_str())) << command;
    const std::string bytes = ReadText(out);
    std::filesystem::remove(out);
    return Bytes(bytes.begin(), bytes.end());
}

// An image as pixels, row by row from the top: 0xRRGGBB, or -1 where the screen shows through.
struct Pixels {
    int width = 0, height = 0;
    std::vector<int> rgb;
};

// An XPM source read independently of the tool: comments dropped, then the string literals.
Pixels ReadXpm(const std::string& path)
{
    const std::string plain = std::regex_replace(ReadText(path), std::regex(R"(/\*[\s\S]*?\*/)"), "");
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

// A DIB's pixels at `dib` (its BITMAPINFOHEADER) of `height` rows, bottom-up: 4-bit through its palette or
// 32-bit with an alpha that must agree with the AND mask after the colours, when `masked`.
Pixels ReadDib(const Bytes& b, std::size_t dib, int width, int height, bool masked)
{
    const int bits = int(U16(b, dib + 14)), stride = (width * bits + 31) / 32 * 4, maskStride = (width + 31) / 32 * 4;
    EXPECT_EQ(U32(b, dib), 40u);
    EXPECT_EQ(int(U32(b, dib + 4)), width);
    EXPECT_EQ(int(U32(b, dib + 8)), masked ? 2 * height : height) << "an icon's colour and mask halves";
    EXPECT_EQ(U32(b, dib + 16), 0u) << "BI_RGB";
    const std::size_t colours = dib + 40 + (bits == 4 ? 64 : 0), mask = colours + std::size_t(stride) * height;
    EXPECT_EQ(U32(b, dib + 20), std::size_t(stride + (masked ? maskStride : 0)) * height) << "the image's size";
    Pixels p{width, height, {}};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::size_t row = std::size_t(height - 1 - y);
            const bool through = masked && ((b.at(mask + row * maskStride + x / 8) >> (7 - x % 8)) & 1);
            int rgb;
            if (bits == 4) {
                const std::uint8_t pair = b.at(colours + row * stride + x / 2);
                rgb = int(U32(b, dib + 40 + 4 * (x % 2 ? pair & 0x0F : pair >> 4)) & 0xFFFFFF);
            } else {
                const std::uint32_t bgra = U32(b, colours + row * stride + 4 * x);
                EXPECT_EQ(bgra, through ? 0u : (bgra | 0xFF000000u)) << "a pixel's alpha, black where transparent";
                rgb = int(bgra & 0xFFFFFF);
            }
            p.rgb.push_back(through ? -1 : rgb);
        }
    return p;
}

// The folder of the resource script, where the icon and bitmap sources lie.
const std::string kResDir = std::string(DORVANE_RC).substr(0, std::string(DORVANE_RC).rfind('/'));

}  // namespace

// The three tray icons as the build makes them, from the sources in the order the build gives them.
TEST(Mkico, TrayIconsHoldEverySizeAsTheirSourcesDrawIt)
{
    std::vector<int> sizes;
    std::istringstream in(ICON_SIZES);
    for (int size; in >> size;) sizes.push_back(size);
    EXPECT_EQ(sizes, (std::vector<int>{16, 20, 24, 32, 40, 48}));
    sizes.insert(sizes.begin(), 32);
    for (const char* name : {"dorvane", "door_moving", "no_disc"}) {
        std::vector<std::string> sources;
        for (size_t i = 0; i < sizes.size(); ++i)
            sources.push_back(std::string(ICON_SOURCE_DIR) + "/" + name +
                              (i == 0 || sizes[i] == 32 ? "" : "_" + std::to_string(sizes[i])) + ".xpm");
        const Bytes b = Make("ico", sources);
        ASSERT_EQ(Bytes({0, 0, 1, 0, std::uint8_t(sizes.size()), 0}), Bytes(b.begin(), b.begin() + 6)) << name;
        std::size_t next = 6 + 16 * sizes.size();
        for (size_t i = 0; i < sizes.size(); ++i) {
            SCOPED_TRACE(sources[i]);
            const std::size_t entry = 6 + 16 * i, offset = U32(b, entry + 12);
            const std::uint8_t side = std::uint8_t(sizes[i]), colours = i == 0 ? 16 : 0, bits = i == 0 ? 4 : 32;
            EXPECT_EQ(Bytes({side, side, colours, 0, 1, 0, bits, 0}), Bytes(b.begin() + entry, b.begin() + entry + 8));
            EXPECT_EQ(next, offset) << "the images follow the directory and each other";
            next = offset + U32(b, entry + 8);
            EXPECT_EQ(int(U16(b, offset + 14)), bits);
            const Pixels source = ReadXpm(sources[i]);
            EXPECT_EQ(sizes[i], source.width) << "drawn for its size";
            EXPECT_EQ(source.rgb, ReadDib(b, offset, sizes[i], sizes[i], true).rgb);
        }
        EXPECT_EQ(next, b.size()) << "nothing after the last image";
    }
}

// Every BITMAP line of the script names an IDB_ identifier of resource.h and every IDB_ identifier has one;
// each picture is drawn at the size the menu shows (13 x 13, the track lines' disc 20 x 16).
TEST(Mkico, MenuPicturesOfTheScriptAreTheirSourcesAtTheMenusSize)
{
    std::map<std::string, int> defined;   // IDB_ name -> resource id
    const std::regex define(R"(\s*#define\s+(IDB_\w+)\s+(\d+)\b.*)"), bitmap(R"(\s*(\w+)\s+BITMAP\s+"([^"]*)\.bmp"\s*)");
    std::istringstream header(ReadText(kResDir + "/resource.h")), script(ReadText(DORVANE_RC));
    std::smatch m;
    for (std::string line; std::getline(header, line);)
        if (std::regex_match(line, m, define)) defined[m[1]] = std::stoi(m[2]);
    std::map<std::string, std::string> named;   // IDB_ name -> file name without .bmp
    for (std::string line; std::getline(script, line);)
        if (std::regex_match(line, m, bitmap)) {
            EXPECT_TRUE(defined.count(m[1])) << m[1] << " is not an IDB_ name of resource.h";
            EXPECT_TRUE(named.emplace(m[1], m[2]).second) << m[1] << " is named twice";
        }
    for (const auto& entry : defined) EXPECT_TRUE(named.count(entry.first)) << entry.first << " has no BITMAP line";
    EXPECT_EQ(24u, named.size());
    for (const auto& [name, file] : named) {
        SCOPED_TRACE(name);
        const std::string source = kResDir + "/bitmaps/" + file + ".xpm";
        const Pixels pixels = ReadXpm(source);
        const bool disc = defined[name] == 163;
        EXPECT_EQ(disc ? "20 x 16" : "13 x 13", std::to_string(pixels.width) + " x " + std::to_string(pixels.height));
        const Bytes b = Make("bmp", {source});
        ASSERT_GT(b.size(), 54u);
        EXPECT_EQ(0x4D42u, U16(b, 0)) << "BM";
        EXPECT_EQ(b.size(), U32(b, 2));
        EXPECT_EQ(b.size(), U32(b, 10) + U32(b, 34)) << "nothing after the pixels";
        EXPECT_EQ(14u + 40 + 64, U32(b, 10)) << "the pixels follow the palette";
        EXPECT_EQ(4u, U16(b, 28));
        EXPECT_EQ(pixels.rgb, ReadDib(b, 14, pixels.width, pixels.height, false).rgb);
    }
}
