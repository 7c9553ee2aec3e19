// The user's guides that the About box opens: help.html and help_r.html are
// UTF-8 pages of their language whose links resolve.
#include <gtest/gtest.h>
#include <iconv.h>

#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <utility>

namespace {

std::string Read(const std::string& name)
{
    std::ifstream in(std::string(HELP_DIR) + "/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Whether `bytes` decode as UTF-8.
bool IsUtf8(std::string bytes)
{
    std::string out(bytes.size() * 4 + 1, '\0');
    iconv_t converter = iconv_open("UTF-8", "UTF-8");
    char *in = &bytes[0], *to = &out[0];
    size_t inLeft = bytes.size(), outLeft = out.size();
    size_t done = iconv(converter, &in, &inLeft, &to, &outLeft);
    iconv_close(converter);
    return done != static_cast<size_t>(-1);
}

}  // namespace

TEST(HelpPages, EachGuideIsAUtf8PageOfItsLanguageWhoseLinksResolve)
{
    for (const auto& [file, lang] : {std::pair<std::string, std::string>{"help.html", "en"}, {"help_r.html", "ru"}}) {
        SCOPED_TRACE(file);
        const std::string html = Read(file);
        EXPECT_TRUE(IsUtf8(html)) << "the bytes are not UTF-8";
        EXPECT_EQ(0u, html.find("<!DOCTYPE html>\n<html lang=\"" + lang + "\">"));
        EXPECT_NE(std::string::npos, html.find("<meta charset=\"utf-8\">"));
        // A link goes to a section of this guide that is there, to the other guide or to the home page.
        const std::regex link("href=\"([^\"]*)\"");
        for (std::sregex_iterator m(html.begin(), html.end(), link), end; m != end; ++m) {
            const std::string target = (*m)[1];
            if (target.rfind('#', 0) == 0)
                EXPECT_NE(std::string::npos, html.find(" id=\"" + target.substr(1) + "\"")) << target;
            else
                EXPECT_TRUE(target == "help.html" || target == "help_r.html" ||
                            target.rfind("https://dorvane.example/", 0) == 0)
                    << target << " leaves the guides";
        }
    }
}
