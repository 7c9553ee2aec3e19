// The pictures the build makes with mkico are their sources, pixel for pixel,
// read back as the system reads them. Their sizes, depths and masks are held
// where the resource compiler has put them in the program (e2e resources).
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

// A DIB's pixels at `dib` (its BITMAPINFOHEADER), bottom-up: 4-bit through its palette or 32-bit with an
// alpha that must agree with the AND mask after the colours, when `masked`.
Pixels ReadDib(const Bytes& b, std::size_t dib, bool masked)
{
    const int width = int(U32(b, dib + 4)), height = int(U32(b, dib + 8)) / (masked ? 2 : 1);
    const int bits = int(U16(b, dib + 14)), stride = (width * bits + 31) / 32 * 4, maskStride = (width + 31) / 32 * 4;
    const std::size_t colours = dib + 40 + (bits == 4 ? 64 : 0), mask = colours + std::size_t(stride) * height;
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

}  // namespace

// The three tray icons, from the sources in the order the build gives them: the
// 16-colour 32 x 32 image first, then one for each size of the notification area.
TEST(Mkico, TrayIconsAreTheirSources)
{
    std::vector<int> sizes = {32};
    std::istringstream in(ICON_SIZES);
    for (int size; in >> size;) sizes.push_back(size);
    for (const char* name : {"dorvane", "door_moving", "no_disc"}) {
        std::vector<std::string> sources;
        for (size_t i = 0; i < sizes.size(); ++i)
            sources.push_back(std::string(ICON_SOURCE_DIR) + "/" + name +
                              (i == 0 || sizes[i] == 32 ? "" : "_" + std::to_string(sizes[i])) + ".xpm");
        const Bytes b = Make("ico", sources);
        ASSERT_EQ(sizes.size(), U16(b, 4)) << name;
        for (size_t i = 0; i < sizes.size(); ++i) {
            SCOPED_TRACE(sources[i]);
            const Pixels image = ReadDib(b, U32(b, 6 + 16 * i + 12), true), source = ReadXpm(sources[i]);
            EXPECT_EQ(sizes[i], image.width);
            EXPECT_EQ(source.rgb, image.rgb);
        }
    }
}

// Every menu picture: the build makes bitmaps/NAME.bmp of bitmaps/NAME.xpm.
TEST(Mkico, MenuPicturesAreTheirSources)
{
    const std::string script = DORVANE_RC, folder = script.substr(0, script.rfind('/')) + "/bitmaps";
    int pictures = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string source = entry.path().string();
        SCOPED_TRACE(source);
        EXPECT_EQ(ReadXpm(source).rgb, ReadDib(Make("bmp", {source}), 14, false).rgb);
        ++pictures;
    }
    EXPECT_EQ(24, pictures);
}
