// Reads the program's resource script the way the resource compiler does, as
// far as the script uses it: #include and #define, DIALOGEX templates, MENU
// trees, ICON and BITMAP files; VERSIONINFO is skipped.
#include "world.h"

#include <commctrl.h>

#include <cctype>
#include <fstream>
#include <sstream>

namespace sim {

namespace {

#define CONSTANT(name) {#name, static_cast<long>(name)}
const std::map<std::string, long> kConstants = {
    CONSTANT(WS_OVERLAPPED), CONSTANT(WS_POPUP), CONSTANT(WS_CHILD), CONSTANT(WS_MINIMIZE), CONSTANT(WS_VISIBLE),
    CONSTANT(WS_DISABLED), CONSTANT(WS_CLIPSIBLINGS), CONSTANT(WS_CLIPCHILDREN), CONSTANT(WS_MAXIMIZE),
    CONSTANT(WS_CAPTION), CONSTANT(WS_BORDER), CONSTANT(WS_DLGFRAME), CONSTANT(WS_VSCROLL), CONSTANT(WS_HSCROLL),
    CONSTANT(WS_SYSMENU), CONSTANT(WS_THICKFRAME), CONSTANT(WS_GROUP), CONSTANT(WS_TABSTOP),
    CONSTANT(WS_EX_DLGMODALFRAME), CONSTANT(WS_EX_NOPARENTNOTIFY), CONSTANT(WS_EX_TOPMOST),
    CONSTANT(WS_EX_TRANSPARENT), CONSTANT(WS_EX_TOOLWINDOW), CONSTANT(WS_EX_WINDOWEDGE), CONSTANT(WS_EX_CLIENTEDGE),
    CONSTANT(WS_EX_CONTEXTHELP), CONSTANT(WS_EX_CONTROLPARENT), CONSTANT(WS_EX_STATICEDGE), CONSTANT(WS_EX_APPWINDOW),
    CONSTANT(DS_ABSALIGN), CONSTANT(DS_SYSMODAL), CONSTANT(DS_3DLOOK), CONSTANT(DS_FIXEDSYS),
    CONSTANT(DS_NOFAILCREATE), CONSTANT(DS_LOCALEDIT), CONSTANT(DS_SETFONT), CONSTANT(DS_MODALFRAME),
    CONSTANT(DS_NOIDLEMSG), CONSTANT(DS_SETFOREGROUND), CONSTANT(DS_CONTROL), CONSTANT(DS_CENTER),
    CONSTANT(DS_CENTERMOUSE), CONSTANT(DS_CONTEXTHELP),
    CONSTANT(BS_PUSHBUTTON), CONSTANT(BS_DEFPUSHBUTTON), CONSTANT(BS_CHECKBOX), CONSTANT(BS_AUTOCHECKBOX),
    CONSTANT(BS_RADIOBUTTON), CONSTANT(BS_3STATE), CONSTANT(BS_AUTO3STATE), CONSTANT(BS_GROUPBOX),
    CONSTANT(BS_AUTORADIOBUTTON), CONSTANT(BS_LEFTTEXT), CONSTANT(BS_ICON), CONSTANT(BS_BITMAP), CONSTANT(BS_LEFT),
    CONSTANT(BS_RIGHT), CONSTANT(BS_CENTER), CONSTANT(BS_MULTILINE), CONSTANT(BS_NOTIFY), CONSTANT(BS_FLAT),
    CONSTANT(ES_LEFT), CONSTANT(ES_CENTER), CONSTANT(ES_RIGHT), CONSTANT(ES_MULTILINE), CONSTANT(ES_UPPERCASE),
    CONSTANT(ES_LOWERCASE), CONSTANT(ES_PASSWORD), CONSTANT(ES_AUTOVSCROLL), CONSTANT(ES_AUTOHSCROLL),
    CONSTANT(ES_NOHIDESEL), CONSTANT(ES_OEMCONVERT), CONSTANT(ES_READONLY), CONSTANT(ES_WANTRETURN), CONSTANT(ES_NUMBER),
    CONSTANT(SS_LEFT), CONSTANT(SS_CENTER), CONSTANT(SS_RIGHT), CONSTANT(SS_ICON), CONSTANT(SS_BLACKRECT),
    CONSTANT(SS_GRAYRECT), CONSTANT(SS_WHITERECT), CONSTANT(SS_BLACKFRAME), CONSTANT(SS_GRAYFRAME),
    CONSTANT(SS_WHITEFRAME), CONSTANT(SS_ETCHEDHORZ), CONSTANT(SS_ETCHEDVERT), CONSTANT(SS_ETCHEDFRAME),
    CONSTANT(SS_NOPREFIX), CONSTANT(SS_NOTIFY), CONSTANT(SS_CENTERIMAGE), CONSTANT(SS_REALSIZEIMAGE), CONSTANT(SS_SUNKEN),
    CONSTANT(UDS_WRAP), CONSTANT(UDS_SETBUDDYINT), CONSTANT(UDS_ALIGNRIGHT), CONSTANT(UDS_ALIGNLEFT),
    CONSTANT(UDS_AUTOBUDDY), CONSTANT(UDS_ARROWKEYS), CONSTANT(UDS_HORZ), CONSTANT(UDS_NOTHOUSANDS), CONSTANT(UDS_HOTTRACK),
    CONSTANT(IDOK), CONSTANT(IDCANCEL),
};
#undef CONSTANT

// Class names a CONTROL statement may give without quotes.
const std::map<std::string, std::string> kClassNames = {
    {"BUTTON", "Button"}, {"EDIT", "Edit"}, {"STATIC", "Static"},
    {"HOTKEY_CLASS", HOTKEY_CLASSA}, {"UPDOWN_CLASS", UPDOWN_CLASSA},
};

// The statements for standard controls: class and default style (the
// compiler adds WS_CHILD and WS_VISIBLE to every control).
struct ControlKind {
    const char* className;
    DWORD style;
    bool hasText;
};
const std::map<std::string, ControlKind> kControlStatements = {
    {"LTEXT", {"Static", SS_LEFT | WS_GROUP, true}},
    {"CTEXT", {"Static", SS_CENTER | WS_GROUP, true}},
    {"RTEXT", {"Static", SS_RIGHT | WS_GROUP, true}},
    {"PUSHBUTTON", {"Button", BS_PUSHBUTTON | WS_TABSTOP, true}},
    {"DEFPUSHBUTTON", {"Button", BS_DEFPUSHBUTTON | WS_TABSTOP, true}},
    {"GROUPBOX", {"Button", BS_GROUPBOX, true}},
    {"AUTOCHECKBOX", {"Button", BS_AUTOCHECKBOX | WS_TABSTOP, true}},
    {"CHECKBOX", {"Button", BS_CHECKBOX | WS_TABSTOP, true}},
    {"EDITTEXT", {"Edit", ES_LEFT | WS_BORDER | WS_TABSTOP, false}},
    {"ICON", {"Static", SS_ICON, true}},
};

struct Token {
    enum Kind { Name, Number, Text, Punct, End } kind;
    std::string text;
    long number = 0;
    int line = 0;
};

class Lexer {
public:
    Lexer(const std::string& path, std::map<std::string, std::string>* defines) : defines_(defines)
    {
        Load(path);
    }

    const Token& Peek() { return tokens_[position_]; }
    Token Next()
    {
        Token token = tokens_[position_];
        if (token.kind != Token::End) ++position_;
        return token;
    }

private:
    void Load(const std::string& path)
    {
        std::ifstream file(path);
        if (!file) throw Failure("cannot read resource script " + path);
        std::string directory = path.substr(0, path.find_last_of('/') + 1);
        std::string line;
        int number = 0;
        bool inComment = false;
        while (std::getline(file, line)) {
            ++number;
            if (!inComment) {
                size_t first = line.find_first_not_of(" \t");
                if (first != std::string::npos && line[first] == '#') {
                    Directive(line.substr(first + 1), directory, path, number);
                    continue;
                }
            }
            Scan(line, number, &inComment, path);
        }
        tokens_.push_back(Token{Token::End, "", 0, number});
    }

    void Directive(const std::string& text, const std::string& directory, const std::string& path, int line)
    {
        std::istringstream in(text);
        std::string word;
        in >> word;
        if (word == "include") {
            std::string name;
            in >> name;
            if (name.size() > 2 && name[0] == '"') {
                std::map<std::string, std::string>* defines = defines_;
                Lexer header(directory + name.substr(1, name.size() - 2), defines);
                // A header contributes its #defines only.
            }
            return;   // <system headers>: their constants are known already
        }
        if (word == "define") {
            std::string name, value;
            in >> name;
            std::getline(in, value);
            size_t comment = value.find("//");
            if (comment != std::string::npos) value.erase(comment);
            (*defines_)[name] = value;
            return;
        }
        if (word == "ifndef" || word == "ifdef" || word == "endif" || word == "pragma") return;
        throw Failure(path + ":" + std::to_string(line) + ": unsupported directive #" + word);
    }

    void Scan(const std::string& line, int number, bool* inComment, const std::string& path)
    {
        for (size_t i = 0; i < line.size();) {
            char c = line[i];
            if (*inComment) {
                size_t end = line.find("*/", i);
                if (end == std::string::npos) return;
                *inComment = false;
                i = end + 2;
            } else if (c == '/' && i + 1 < line.size() && line[i + 1] == '/') {
                return;
            } else if (c == '/' && i + 1 < line.size() && line[i + 1] == '*') {
                *inComment = true;
                i += 2;
            } else if (std::isspace(static_cast<unsigned char>(c))) {
                ++i;
            } else if (c == '"') {
                std::string text;
                for (++i; i < line.size(); ++i) {
                    if (line[i] == '"') {
                        if (i + 1 < line.size() && line[i + 1] == '"') {
                            text += '"';
                            ++i;
                            continue;
                        }
                        break;
                    }
                    if (line[i] == '\\' && i + 1 < line.size()) {
                        char e = line[++i];
                        text += e == 'n' ? '\n' : e == 't' ? '\t' : e;
                        continue;
                    }
                    text += line[i];
                }
                ++i;
                tokens_.push_back(Token{Token::Text, text, 0, number});
            } else if (std::isdigit(static_cast<unsigned char>(c))) {
                size_t used = 0;
                long value = std::stol(line.substr(i), &used, 0);
                i += used;
                while (i < line.size() && (line[i] == 'L' || line[i] == 'l' || line[i] == 'U' || line[i] == 'u'))
                    ++i;
                tokens_.push_back(Token{Token::Number, "", value, number});
            } else if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
                size_t end = i;
                while (end < line.size() && (std::isalnum(static_cast<unsigned char>(line[end])) || line[end] == '_'))
                    ++end;
                std::string name = line.substr(i, end - i);
                auto defined = defines_->find(name);
                if (defined != defines_->end() && depth_ < 16) {
                    // A macro: its text takes its place.
                    ++depth_;
                    bool noComment = false;
                    Scan(defined->second, number, &noComment, path);
                    --depth_;
                } else {
                    tokens_.push_back(Token{Token::Name, name, 0, number});
                }
                i = end;
            } else if (std::string(",|()-+").find(c) != std::string::npos) {
                tokens_.push_back(Token{Token::Punct, std::string(1, c), 0, number});
                ++i;
            } else {
                throw Failure(path + ":" + std::to_string(number) + ": unexpected character '" + std::string(1, c) + "'");
            }
        }
    }

    std::map<std::string, std::string>* defines_;
    int depth_ = 0;
    std::vector<Token> tokens_;
    size_t position_ = 0;
};

class Parser {
public:
    explicit Parser(const std::string& path) : path_(path), lexer_(path, &defines_) {}

    Resources Parse()
    {
        Resources resources;
        while (lexer_.Peek().kind != Token::End) {
            int id = static_cast<int>(Value(lexer_.Next()));
            Token kind = lexer_.Next();
            if (kind.text == "DIALOGEX" || kind.text == "DIALOG") resources.dialogs[id] = Dialog(id);
            else if (kind.text == "MENU") resources.menus[id] = MenuBlock();
            else if (kind.text == "ICON") resources.icons[id] = Expect(Token::Text).text;
            else if (kind.text == "BITMAP") resources.bitmaps[id] = Expect(Token::Text).text;
            else if (kind.text == "VERSIONINFO") SkipBlock();
            else if (kind.text == "RT_MANIFEST" && id == 1) resources.manifest = ReadBeside(Expect(Token::Text).text);
            else Error(kind, "unsupported resource type " + kind.text);
        }
        return resources;
    }

private:
    [[noreturn]] void Error(const Token& token, const std::string& message)
    {
        throw Failure(path_ + ":" + std::to_string(token.line) + ": " + message);
    }

    Token Expect(Token::Kind kind)
    {
        Token token = lexer_.Next();
        if (token.kind != kind) Error(token, "unexpected '" + token.text + "'");
        return token;
    }

    void ExpectWord(const char* word)
    {
        Token token = lexer_.Next();
        if (token.text != word) Error(token, std::string("expected ") + word + ", found '" + token.text + "'");
    }

    bool Accept(const char* punct)
    {
        if (lexer_.Peek().kind == Token::Punct && lexer_.Peek().text == punct) {
            lexer_.Next();
            return true;
        }
        return false;
    }

    // A number or a name defined as a number, by #define or by the SDK.
    long Value(const Token& token)
    {
        if (token.kind == Token::Number) return token.number;
        if (token.kind == Token::Name) {
            auto defined = defines_.find(token.text);
            if (defined != defines_.end()) return std::stol(defined->second, NULL, 0);
            auto known = kConstants.find(token.text);
            if (known != kConstants.end()) return known->second;
        }
        Error(token, "unknown value '" + token.text + "'");
    }

    // A value with an optional minus sign (control identifiers such as -1).
    long Signed()
    {
        if (Accept("-")) return -Value(lexer_.Next());
        return Value(lexer_.Next());
    }

    // term { | term }, where a term is [NOT] value or (expression), applied
    // to `initial` (a statement's default style).
    long Expression(long initial = 0)
    {
        long result = initial;
        do {
            Token token = lexer_.Next();
            if (token.kind == Token::Name && token.text == "NOT") {
                result &= ~Value(lexer_.Next());
            } else if (token.kind == Token::Punct && token.text == "(") {
                result |= Expression();
                if (!Accept(")")) Error(token, "missing )");
            } else {
                result |= Value(token);
            }
        } while (Accept("|"));
        return result;
    }

    DialogTemplate Dialog(int id)
    {
        DialogTemplate dialog;
        dialog.id = id;
        dialog.x = static_cast<int>(Value(lexer_.Next()));
        Accept(",");
        dialog.y = static_cast<int>(Value(lexer_.Next()));
        Accept(",");
        dialog.cx = static_cast<int>(Value(lexer_.Next()));
        Accept(",");
        dialog.cy = static_cast<int>(Value(lexer_.Next()));
        // With no STYLE statement the compiler gives a popup with border and system menu.
        bool styled = false;
        for (;;) {
            Token word = lexer_.Next();
            if (word.text == "STYLE") {
                dialog.style = static_cast<DWORD>(Expression());
                styled = true;
            } else if (word.text == "EXSTYLE") {
                dialog.exStyle = static_cast<DWORD>(Expression());
            } else if (word.text == "CAPTION") {
                dialog.caption = Expect(Token::Text).text;
            } else if (word.text == "FONT") {
                dialog.fontSize = static_cast<int>(Value(lexer_.Next()));
                Accept(",");
                dialog.font = Expect(Token::Text).text;
                while (Accept(",")) Value(lexer_.Next());
            } else if (word.text == "BEGIN") {
                break;
            } else {
                Error(word, "unsupported dialog statement " + word.text);
            }
        }
        if (!styled) dialog.style = WS_POPUP | WS_BORDER | WS_SYSMENU;
        if (!dialog.caption.empty()) dialog.style |= WS_CAPTION;
        if (!dialog.font.empty()) dialog.style |= DS_SETFONT;
        for (Token word = lexer_.Next(); word.text != "END"; word = lexer_.Next()) {
            if (word.kind != Token::Name) Error(word, "unexpected '" + word.text + "' in a dialog");
            dialog.controls.push_back(Control(word));
        }
        return dialog;
    }

    // A control statement: CONTROL text, id, class, style, x, y, cx, cy [, exstyle]
    // or a standard one: [text,] id, x, y, cx, cy [, style [, exstyle]].
    ControlTemplate Control(const Token& word)
    {
        ControlTemplate control;
        const DWORD base = WS_CHILD | WS_VISIBLE;
        bool general = word.text == "CONTROL";
        auto kind = kControlStatements.find(word.text);
        if (!general && kind == kControlStatements.end()) Error(word, "unsupported dialog control " + word.text);
        if (general || kind->second.hasText) {
            if (lexer_.Peek().kind == Token::Text) control.text = lexer_.Next().text;
            else control.text = "#" + std::to_string(Signed());   // an icon by its resource number
            Accept(",");
        }
        control.id = static_cast<int>(Signed());
        Accept(",");
        if (general) {
            Token name = lexer_.Next();
            if (name.kind == Token::Text) {
                control.className = name.text;
            } else {
                auto known = kClassNames.find(Upper(name.text));
                if (known == kClassNames.end()) Error(name, "unknown control class " + name.text);
                control.className = known->second;
            }
            Accept(",");
            control.style = static_cast<DWORD>(Expression(base));
            Accept(",");
        } else {
            control.className = kind->second.className;
            control.style = base | kind->second.style;
        }
        control.x = static_cast<int>(Signed());
        Accept(",");
        control.y = static_cast<int>(Signed());
        bool sized = Accept(",");
        if (sized || word.text != "ICON") {
            control.cx = static_cast<int>(Signed());
            Accept(",");
            control.cy = static_cast<int>(Signed());
        }
        if (!general && Accept(",")) control.style = static_cast<DWORD>(Expression(static_cast<long>(control.style)));
        if (Accept(",")) control.exStyle = static_cast<DWORD>(Expression());
        while (Accept(",")) Signed();   // a help identifier
        return control;
    }

    std::vector<MenuTemplateItem> MenuBlock()
    {
        ExpectWord("BEGIN");
        std::vector<MenuTemplateItem> items;
        for (;;) {
            Token word = lexer_.Next();
            if (word.text == "END") return items;
            MenuTemplateItem item;
            if (word.text == "MENUITEM") {
                if (lexer_.Peek().kind == Token::Name && lexer_.Peek().text == "SEPARATOR") {
                    lexer_.Next();
                    item.type = MFT_SEPARATOR;
                } else {
                    item.text = Expect(Token::Text).text;
                    Accept(",");
                    item.id = static_cast<UINT>(Value(lexer_.Next()));
                    MenuOptions(&item);
                }
            } else if (word.text == "POPUP") {
                item.popup = true;
                item.text = Expect(Token::Text).text;
                MenuOptions(&item);
                item.items = MenuBlock();
            } else {
                Error(word, "unsupported menu statement " + word.text);
            }
            items.push_back(item);
        }
    }

    void MenuOptions(MenuTemplateItem* item)
    {
        while (Accept(",")) {
            Token option = Expect(Token::Name);
            if (option.text == "GRAYED") item->state |= MFS_GRAYED;
            else if (option.text == "CHECKED") item->state |= MFS_CHECKED;
            else Error(option, "unsupported menu option " + option.text);
        }
    }

    // A file the script names, from the script's own folder.
    std::string ReadBeside(const std::string& name)
    {
        std::string folder = path_.substr(0, path_.find_last_of("/\\") + 1);
        std::ifstream in(folder + name, std::ios::binary);
        if (!in) throw Failure(path_ + ": cannot read " + folder + name);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    void SkipBlock()
    {
        int depth = 0;
        for (;;) {
            Token token = lexer_.Next();
            if (token.kind == Token::End) Error(token, "unterminated block");
            if (token.text == "BEGIN") ++depth;
            if (token.text == "END" && --depth == 0) return;
        }
    }

    std::string path_;
    std::map<std::string, std::string> defines_;
    Lexer lexer_;
};

}  // namespace

Resources ParseResourceScript(const std::string& path)
{
    return Parser(path).Parse();
}

}  // namespace sim
