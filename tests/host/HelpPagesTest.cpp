// The user's guides that the About box opens: help.html and help_r.html are
// well-formed, self-contained pages whose local links resolve, and each names
// every menu command and dialog control as the program shows it in its language.
#include <gtest/gtest.h>
#include <iconv.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "Scenario.h"
#include "ui/StringTable.h"

namespace {

// The menu's commands and headings, then the tooltips, the disc lines and the dialogs' titles, controls and
// messages that the guides explain.
const int kShownTexts[] = {IDS_MENU_EXIT, IDS_MENU_ABOUT, IDS_MENU_CD_AUDIO, IDS_MENU_CD_PLAYER, IDS_MENU_CLOSE_DRIVE,
    IDS_MENU_OPEN_DRIVE, IDS_MENU_AUTOPLAY, IDS_MENU_OPEN, IDS_MENU_EXPLORE, IDS_MENU_PLAY, IDS_MENU_PAUSE,
    IDS_MENU_STOP, IDS_MENU_PREVIOUS_TRACK, IDS_MENU_NEXT_TRACK, IDS_MENU_SYSTEM_PROPERTIES, IDS_MENU_MULTIMEDIA,
    IDS_MENU_VOLUME_CONTROL, IDS_SETTINGS_HEADING, IDS_MENU_SETTINGS, IDS_MENU_LANGUAGE, IDS_MENU_ENGLISH,
    IDS_MENU_RUSSIAN, IDS_LANGUAGE_HEADING, IDS_MENU_OPTIONS,
    IDS_EJECT_CD, IDS_CLOSE_CD, IDS_TOTAL, IDS_NO_DISC, IDS_DATA_OR_NO_DISC, IDS_NO_CD_DRIVE, IDS_ABOUT_TITLE,
    IDS_VERSION, IDS_HELP_BUTTON, IDS_HOMEPAGE_BUTTON, IDS_OPTIONS_TITLE, IDS_GENERAL_GROUP, IDS_LOAD_AT_STARTUP_CHECK,
    IDS_CD_DRIVE_GROUP, IDS_HOTKEY_LABEL, IDS_DEFAULT_BUTTON, IDS_AUTOCLOSE_CHECK, IDS_AUTOCLOSE_TIME_LABEL,
    IDS_PASSWORD_PROTECT_CHECK, IDS_CHANGE_BUTTON, IDS_ADVANCED_GROUP, IDS_PLAYER_LABEL, IDS_BROWSE_BUTTON, IDS_CANCEL,
    IDS_FILE_NOT_FOUND, IDS_AUTOCLOSE_TITLE, IDS_COUNTDOWN_LABEL, IDS_CLOSE_NOW_BUTTON, IDS_PAUSE_BUTTON,
    IDS_PASSWORD_TITLE, IDS_TYPE_YOUR_PASSWORD, IDS_TYPE_A_PASSWORD, IDS_RETYPE_PASSWORD};

const std::set<std::string> kVoid = {"br", "hr", "img", "meta", "wbr"};
// Elements inside a line of text; any other tag separates words.
const std::set<std::string> kInline = {"a", "b", "code", "em", "i", "kbd", "span", "strong", "u"};
const std::set<std::string> kForbidden = {"script", "iframe", "object", "embed", "link", "base", "form", "frame"};

struct Tag {
    std::string name;
    std::map<std::string, std::string> attributes;
};

// What a strict reading of one page found.
struct Page {
    std::string raw, title, text;   // text: the character data, entities decoded, blank runs as one blank
    std::vector<Tag> tags;
    std::vector<std::string> errors;
    std::set<std::string> ids;
    std::map<std::string, int> counts;
};

std::string Collapsed(const std::string& text)
{
    std::string out;
    for (char c : text) {
        if (!isspace(static_cast<unsigned char>(c))) out += c;
        else if (!out.empty() && out.back() != ' ') out += ' ';
    }
    if (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

std::string Decoded(std::string text)
{
    static const char* const entities[][2] = {{"&nbsp;", " "}, {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""},
                                              {"&#39;", "'"}, {"&amp;", "&"}};
    for (const auto& entity : entities)
        for (size_t at = text.find(entity[0]); at != std::string::npos; at = text.find(entity[0], at + 1))
            text.replace(at, strlen(entity[0]), entity[1]);
    return text;
}

// `bytes` in `charset`, as UTF-8; false when they do not decode.
bool Decode(const std::string& bytes, const std::string& charset, std::string* utf8)
{
    iconv_t converter = iconv_open("UTF-8", charset.c_str());
    if (converter == reinterpret_cast<iconv_t>(-1)) return false;
    std::string input = bytes, output(bytes.size() * 4 + 4, '\0');
    char *in = &input[0], *out = &output[0];
    size_t inLeft = input.size(), outLeft = output.size();
    size_t done = iconv(converter, &in, &inLeft, &out, &outLeft);
    iconv_close(converter);
    *utf8 = output.substr(0, output.size() - outLeft);
    return done != static_cast<size_t>(-1);
}

// Every "<" opens a comment or a tag with lower-case names and double-quoted attributes; every "&" is one of the
// few entities the pages use; elements nest; <style> holds CSS only.
Page Parse(const std::string& html)
{
    static const std::regex tagPattern("<(/?)([a-z0-9]+)((?:\\s+[a-z-]+=\"[^\"<]*\")*)\\s*(/?)>");
    static const std::regex attributePattern("([a-z-]+)=\"([^\"]*)\"");
    static const std::regex badEntity("&(?!(amp|lt|gt|quot|nbsp|#39);)");
    Page page;
    page.raw = html;
    std::vector<std::string> open;
    std::string text;
    size_t at = html.compare(0, 15, "<!DOCTYPE html>") == 0 ? 15 : 0, titleStart = 0;
    if (at == 0) page.errors.push_back("no <!DOCTYPE html>");
    while (at < html.size()) {
        size_t lt = std::min(html.find('<', at), html.size());
        std::string chunk = html.substr(at, lt - at);
        std::smatch match;
        if (std::regex_search(chunk, match, badEntity))
            page.errors.push_back("bad entity: &" + match.suffix().str().substr(0, 20));
        text += Decoded(chunk);
        if (lt == html.size()) break;
        if (html.compare(lt, 4, "<!--") == 0) {
            at = std::min(html.find("-->", lt), html.size() - 3) + 3;
        } else if (!std::regex_match(html.begin() + lt, html.begin() + std::min(html.find('>', lt) + 1, html.size()),
                                     match, tagPattern)) {
            page.errors.push_back("bad tag: " + html.substr(lt, 30));
            at = lt + 1;
        } else if (match[1].length()) {   // an end tag
            at = lt + match.length();
            if (!kInline.count(match[2])) text += ' ';
            if (open.empty() || open.back() != match[2]) page.errors.push_back("</" + match[2].str() + "> misplaced");
            else open.pop_back();
            if (match[2] == "title") page.title = Collapsed(text.substr(titleStart));
        } else {
            Tag tag;
            tag.name = match[2];
            std::string attributes = match[3];
            for (std::sregex_iterator a(attributes.begin(), attributes.end(), attributePattern), end; a != end; ++a)
                if (!tag.attributes.emplace((*a)[1], Decoded((*a)[2])).second)
                    page.errors.push_back("repeated " + (*a)[1].str());
            at = lt + match.length();
            if (!kInline.count(tag.name)) text += ' ';
            if (match[4].length() && !kVoid.count(tag.name)) page.errors.push_back("<" + tag.name + "/> left open");
            else if (!kVoid.count(tag.name)) open.push_back(tag.name);
            if (tag.name == "title") titleStart = text.size();
            if (tag.name == "style") at = std::min(html.find("</style>", at), html.size());   // CSS, not page text
            if (tag.attributes.count("id")) page.ids.insert(tag.attributes["id"]);
            ++page.counts[tag.name];
            page.tags.push_back(tag);
        }
    }
    for (const std::string& name : open) page.errors.push_back("<" + name + "> never closed");
    page.text = Collapsed(text);
    return page;
}

Page Read(const std::string& name)
{
    std::ifstream in(std::string(HELP_DIR) + "/" + name, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return Parse(bytes.str());
}

struct Guide {
    const char* file;
    const char* lang;
    int language;
};
const Guide kGuides[] = {{"help.html", "en", LANGUAGE_ENGLISH}, {"help_r.html", "ru", LANGUAGE_RUSSIAN}};

}  // namespace

TEST(HelpPagesTest, TheCheckerRejectsBrokenMarkup)
{
    const std::string head = "<!DOCTYPE html><html><head><title>t</title></head><body>";
    Page good = Parse(head + "<p id=\"x\">a &amp; <b>b</b><br>\n<!-- c --><br/></p></body></html>");
    EXPECT_TRUE(good.errors.empty()) << good.errors.front();
    EXPECT_EQ("t a & b", good.text);
    for (const char* broken : {"<p><b>a</p></b>", "<p class=x>a</p>", "<p>a &copy b</p>", "<p>a", "</div>", "<div/>",
                               "<P>a</P>", "a < b"})
        EXPECT_FALSE(Parse(head + broken + "</body></html>").errors.empty()) << broken;
}

TEST(HelpPagesTest, EachPageIsWellFormedSelfContainedAndItsLinksResolve)
{
    std::map<std::string, Page> pages;
    for (const Guide& guide : kGuides) pages[guide.file] = Read(guide.file);
    for (const Guide& guide : kGuides) {
        SCOPED_TRACE(guide.file);
        const Page& page = pages[guide.file];
        ASSERT_FALSE(page.raw.empty()) << "missing";
        for (const std::string& error : page.errors) ADD_FAILURE() << error;
        for (const char* once : {"html", "head", "body", "title"})
            EXPECT_EQ(1, page.counts.count(once) ? page.counts.at(once) : 0) << once;
        EXPECT_FALSE(page.title.empty());
        std::string charset, utf8;
        for (const Tag& tag : page.tags) {
            auto attribute = [&](const char* name) {
                return tag.attributes.count(name) ? tag.attributes.at(name) : std::string();
            };
            if (tag.name == "html") {
                EXPECT_EQ(guide.lang, attribute("lang"));
            }
            if (tag.name == "meta" && tag.attributes.count("charset")) charset = attribute("charset");
            EXPECT_FALSE(kForbidden.count(tag.name)) << "<" << tag.name << ">";
            for (const auto& pair : tag.attributes) EXPECT_NE("on", pair.first.substr(0, 2)) << "a script";
            std::string link = tag.attributes.count("href") ? attribute("href") : attribute("src");
            if (link.empty() || (tag.name == "a" && link.compare(0, 7, "mailto:") == 0)) continue;
            if (link.find(':') != std::string::npos || link.compare(0, 2, "//") == 0) {
                EXPECT_TRUE(tag.name == "a" && link.compare(0, 24, "https://dorvane.example/") == 0) << link;
                continue;
            }
            std::string file = link.substr(0, link.find('#'));
            std::string anchor = link.find('#') == std::string::npos ? "" : link.substr(link.find('#') + 1);
            const Page& target = file.empty() ? page : pages[file];
            EXPECT_FALSE(target.raw.empty()) << link << " names no page in help/";
            EXPECT_TRUE(anchor.empty() || target.ids.count(anchor)) << link << " names no anchor";
        }
        EXPECT_EQ("utf-8", charset);
        EXPECT_TRUE(Decode(page.raw, charset, &utf8)) << "the bytes are not " << charset;
        EXPECT_EQ(std::string::npos, page.raw.find("url(")) << "the style fetches something";
        EXPECT_EQ(std::string::npos, page.raw.find("@import")) << "the style fetches something";
    }
    EXPECT_EQ(pages["help.html"].ids, pages["help_r.html"].ids) << "the two guides have the same sections";
}

class HelpPagesTextTest : public Scenario {};

TEST_F(HelpPagesTextTest, EachPageNamesEveryMenuCommandAndLinksItsHomePage)
{
    InitStringTable();
    // A table text as the user sees it: no mnemonic marker, no outer blanks, in UTF-8.
    auto shown = [](int language, int id) {
        std::string text = StringTable[language][id], utf8;
        text.erase(std::remove(text.begin(), text.end(), '&'), text.end());
        EXPECT_TRUE(Decode(text, "CP1251", &utf8));
        return Collapsed(utf8);
    };
    for (const Guide& guide : kGuides) {
        Page page = Read(guide.file);
        ASSERT_FALSE(page.text.empty()) << guide.file;
        for (int id : kShownTexts) {
            EXPECT_NE(std::string::npos, page.text.find(shown(guide.language, id)))
                << guide.file << " does not mention string " << id << " \"" << shown(guide.language, id) << "\"";
        }
        bool linksHome = false;
        for (Tag& tag : page.tags)
            linksHome |= tag.name == "a" && tag.attributes["href"] == shown(guide.language, IDS_HOMEPAGE_URL);
        EXPECT_TRUE(linksHome) << guide.file << " links to the home page of its language";
    }
}
