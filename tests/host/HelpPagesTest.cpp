// The user's guides that the About box opens: help.html and help_r.html are
// self-contained UTF-8 pages whose links resolve, and each names
// every menu command and dialog control as the program shows it in its language.
#include <gtest/gtest.h>
#include <iconv.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "Scenario.h"
#include "ui/StringTable.h"

namespace {

const int kShownTexts[] = {IDS_MENU_EXIT, IDS_MENU_ABOUT, IDS_MENU_CD_AUDIO, IDS_MENU_CD_PLAYER, IDS_MENU_CLOSE_DRIVE,
    IDS_MENU_OPEN_DRIVE, IDS_MENU_AUTOPLAY, IDS_MENU_OPEN, IDS_MENU_EXPLORE, IDS_MENU_PLAY, IDS_MENU_PAUSE,
    IDS_MENU_STOP, IDS_MENU_PREVIOUS_TRACK, IDS_MENU_NEXT_TRACK, IDS_MENU_SYSTEM_PROPERTIES, IDS_MENU_MULTIMEDIA,
    IDS_MENU_VOLUME_CONTROL, IDS_SETTINGS_HEADING, IDS_MENU_SETTINGS, IDS_MENU_LANGUAGE, IDS_MENU_ENGLISH,
    IDS_MENU_RUSSIAN, IDS_LANGUAGE_HEADING, IDS_MENU_OPTIONS, IDS_EJECT_CD, IDS_CLOSE_CD, IDS_TOTAL, IDS_NO_DISC,
    IDS_DATA_OR_NO_DISC, IDS_NO_CD_DRIVE, IDS_ABOUT_TITLE, IDS_VERSION, IDS_HELP_BUTTON, IDS_HOMEPAGE_BUTTON,
    IDS_OPTIONS_TITLE, IDS_GENERAL_GROUP, IDS_LOAD_AT_STARTUP_CHECK, IDS_CD_DRIVE_GROUP, IDS_HOTKEY_LABEL,
    IDS_DEFAULT_BUTTON, IDS_AUTOCLOSE_CHECK, IDS_AUTOCLOSE_TIME_LABEL, IDS_PASSWORD_PROTECT_CHECK, IDS_CHANGE_BUTTON,
    IDS_ADVANCED_GROUP, IDS_PLAYER_LABEL, IDS_BROWSE_BUTTON, IDS_CANCEL, IDS_FILE_NOT_FOUND, IDS_AUTOCLOSE_TITLE,
    IDS_COUNTDOWN_LABEL, IDS_CLOSE_NOW_BUTTON, IDS_PAUSE_BUTTON, IDS_PASSWORD_TITLE, IDS_TYPE_YOUR_PASSWORD,
    IDS_TYPE_A_PASSWORD, IDS_RETYPE_PASSWORD};

std::string Read(const std::string& name)
{
    std::ifstream in(std::string(HELP_DIR) + "/" + name, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// Runs of white space as one blank.
std::string Collapsed(const std::string& text)
{
    std::string out;
    for (char c : text)
        if (!isspace(static_cast<unsigned char>(c))) out += c;
        else if (out.empty() || out.back() != ' ') out += ' ';
    return out;
}

// `text` less everything from each `from` to the next `to` (each included), or with it replaced by `by`.
std::string Without(std::string text, const std::string& from, const std::string& to, const std::string& by = "")
{
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + by.size()))
        text.replace(at, text.find(to, at) + to.size() - at, by);
    return text;
}

// `bytes` in `charset` as UTF-8; false when they do not decode.
bool Decode(std::string bytes, const char* charset, std::string* utf8)
{
    utf8->assign(bytes.size() * 2 + 1, '\0');
    iconv_t converter = iconv_open("UTF-8", charset);
    char *in = &bytes[0], *out = &(*utf8)[0];
    size_t inLeft = bytes.size(), outLeft = utf8->size();
    size_t done = iconv(converter, &in, &inLeft, &out, &outLeft);
    iconv_close(converter);
    utf8->resize(utf8->size() - outLeft);
    return done != static_cast<size_t>(-1);
}

// A table text as the user sees it: no mnemonic marker, no outer blanks, in UTF-8.
std::string Shown(int language, int id)
{
    std::string text = StringTable[language][id], utf8;
    text.erase(std::remove(text.begin(), text.end(), '&'), text.end());
    Decode(text, "CP1251", &utf8);
    std::string shown = Collapsed(utf8);
    return shown.substr(shown.find_first_not_of(' '), shown.find_last_not_of(' ') - shown.find_first_not_of(' ') + 1);
}

using HelpPagesTest = Scenario;

}  // namespace

TEST_F(HelpPagesTest, EachGuideIsAWellFormedPageOfItsLanguageThatNamesWhatTheProgramShows)
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
        std::string utf8;
        ASSERT_FALSE(html.empty());
        EXPECT_TRUE(Decode(html, "UTF-8", &utf8)) << "the bytes are not UTF-8";
        EXPECT_EQ(0u, html.find("<!DOCTYPE html>\n<html lang=\"" + std::string(lang) + "\">"));
        EXPECT_NE(std::string::npos, html.find("<meta charset=\"utf-8\">"));
        // Nothing runs and nothing is fetched: the page opens from the install folder in any browser.
        const std::string markup = Without(Without(html, "<!--", "-->"), "<style>", "</style>");
        EXPECT_FALSE(std::regex_search(markup, std::regex("<(script|iframe|object|link)|\\son[a-z]+=|javascript:|src=")));
        EXPECT_EQ(std::string::npos, html.find("url(")) << "the style fetches something";
        // Links: within the guides, to an anchor that exists, or to the home page or a mail.
        const std::regex link("href=\"([^\"#]*)#?([^\"]*)\"");
        for (std::sregex_iterator m(html.begin(), html.end(), link), end; m != end; ++m) {
            std::string target = (*m)[1], anchor = (*m)[2];
            if (target.rfind("https://dorvane.example/", 0) == 0 || target.rfind("mailto:", 0) == 0) continue;
            ASSERT_TRUE(target.empty() || ids.count(target)) << (*m)[0] << " leaves the guides";
            EXPECT_TRUE(anchor.empty() || ids[target.empty() ? file : target].count(anchor)) << (*m)[0];
        }
        EXPECT_NE(std::string::npos, html.find("href=\"" + Shown(language, IDS_HOMEPAGE_URL) + "\""));
        // The page's text, tags dropped and entities read.
        std::string text = Without(markup, "<", ">", " ");
        for (auto [entity, character] : {std::pair{"&nbsp;", " "}, {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""},
                                         {"&#39;", "'"}, {"&amp;", "&"}})
            text = Without(text, entity, ";", character);
        text = Collapsed(text);
        for (int id : kShownTexts)
            EXPECT_NE(std::string::npos, text.find(Shown(language, id))) << "string " << id << " \"" << Shown(language, id) << "\"";
    }
    EXPECT_EQ(ids["help.html"], ids["help_r.html"]) << "the two guides have the same sections";
}
