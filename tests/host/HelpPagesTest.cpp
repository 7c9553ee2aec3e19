// The user's guides that the About box opens: help.html and help_r.html are
// UTF-8 pages of their language whose links resolve.
#include <gtest/gtest.h>
#include <iconv.h>

#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <set>
#include <string>

#include "Scenario.h"
#include "ui/StringTable.h"

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

using HelpPagesTest = Scenario;

}  // namespace

TEST_F(HelpPagesTest, EachGuideIsAWellFormedPageOfItsLanguageWhoseLinksResolve)
{
    InitStringTable();
    const std::tuple<const char*, const char*, int> guides[] = {{"help.html", "en", LANGUAGE_ENGLISH},
                                                                {"help_r.html", "ru", LANGUAGE_RUSSIAN}};
    std::map<std::string, std::set<std::string>> ids;
    for (const auto& [file, lang, language] : guides) {
        const std::string html = Read(file);
        const std::regex id(" id=\"([^\"]+)\"");
        for (std::sregex_iterator m(html.begin(), html.end(), id), end; m != end; ++m)
            ids[file].insert((*m)[1]);
    }
    for (const auto& [file, lang, language] : guides) {
        SCOPED_TRACE(file);
        const std::string html = Read(file);
        ASSERT_FALSE(html.empty());
        EXPECT_TRUE(IsUtf8(html)) << "the bytes are not UTF-8";
        EXPECT_EQ(0u, html.find("<!DOCTYPE html>\n<html lang=\"" + std::string(lang) + "\">"));
        EXPECT_NE(std::string::npos, html.find("<meta charset=\"utf-8\">"));
        // Links: within the guides, to an anchor that exists, or to the home page or a mail.
        const std::regex link("href=\"([^\"#]*)#?([^\"]*)\"");
        for (std::sregex_iterator m(html.begin(), html.end(), link), end; m != end; ++m) {
            std::string target = (*m)[1], anchor = (*m)[2];
            if (target.rfind("https://dorvane.example/", 0) == 0 || target.rfind("mailto:", 0) == 0) continue;
            ASSERT_TRUE(target.empty() || ids.count(target)) << (*m)[0] << " leaves the guides";
            EXPECT_TRUE(anchor.empty() || ids[target.empty() ? file : target].count(anchor)) << (*m)[0];
        }
        EXPECT_NE(std::string::npos, html.find("href=\"" + std::string(StringTable[language][IDS_HOMEPAGE_URL]) + "\""));
    }
    EXPECT_EQ(ids["help.html"], ids["help_r.html"]) << "the two guides have the same sections";
}
