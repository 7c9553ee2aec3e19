// The application manifest the resource script embeds, read as the loader
// reads its elements: the systems it was made for, common controls 6, DPI
// awareness with its older fallback, and no elevation.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <vector>

namespace {

std::string Manifest()
{
    const std::string rc = DORVANE_RC;
    std::ifstream in(rc.substr(0, rc.rfind('/')) + "/Dorvane.manifest", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Every match of `pattern`'s first group, in order.
std::vector<std::string> All(const std::string& text, const std::string& pattern)
{
    std::vector<std::string> found;
    const std::regex re(pattern);
    for (auto it = std::sregex_iterator(text.begin(), text.end(), re); it != std::sregex_iterator(); ++it)
        found.push_back((*it)[1]);
    return found;
}

}  // namespace

TEST(Manifest, DeclaresTheSystemsControlsScaleAndRights)
{
    const std::string manifest = Manifest();
    ASSERT_FALSE(manifest.empty());
    // The compatibility GUIDs Windows documents, Vista to 10 (which 11 shares).
    EXPECT_EQ((std::vector<std::string>{
                  "{e2011457-1546-43c5-a5fe-008deee3d3f0}",   // Vista
                  "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",   // 7
                  "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",   // 8
                  "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",   // 8.1
                  "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"}), // 10 and 11
              All(manifest, R"(<supportedOS Id="([^"]*)\")"));
    EXPECT_EQ(std::vector<std::string>{"asInvoker"}, All(manifest, R"(<requestedExecutionLevel level="([^"]*)\")"));
    EXPECT_TRUE(std::regex_search(manifest, std::regex(
                    R"(<dependentAssembly>\s*<assemblyIdentity type="win32" name="Microsoft\.Windows\.Common-Controls" )"
                    R"(version="6\.0\.0\.0" processorArchitecture="\*" publicKeyToken="6595b64144ccf1df" language="\*"/>)")))
        << "common controls 6, for any processor";
    // Per monitor (v2) where the system knows it; "true/pm" for 8.1 and the first 10, which read only dpiAware.
    EXPECT_EQ(std::vector<std::string>{"PerMonitorV2, PerMonitor"},
              All(manifest, R"(<dpiAwareness xmlns="http://schemas.microsoft.com/SMI/2016/WindowsSettings">([^<]*)<)"));
    EXPECT_EQ(std::vector<std::string>{"true/pm"},
              All(manifest, R"(<dpiAware xmlns="http://schemas.microsoft.com/SMI/2005/WindowsSettings">([^<]*)<)"));
}
