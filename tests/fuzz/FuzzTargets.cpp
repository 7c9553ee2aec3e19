// libFuzzer targets: the program runs as a process on winsim, as in the host
// suite, fed what it does not control (autorun.inf, the settings, MCI's
// answers, the command line), one target a build (FUZZ_TARGET). Beyond the
// sanitizers, each target's oracle is given with it; a finding ends the run
// with its account (and libFuzzer saves the input).
#include <mmsystem.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <map>

#include "Reliability.h"
#include "app/MainWindow.h"
#include "app/ShellLaunch.h"
#include "app/WinMain.h"
#include "drive/DiscPoller.h"
#include "drive/DriveDiscovery.h"
#include "res/resource.h"
#include "settings/DecimalText.h"
#include "ui/MenuBitmaps.h"
#include "ui/PasswordDialogs.h"
#include "ui/StringTable.h"
#include "ui/TrayMenu.h"

using namespace reliability;

namespace {

const char kRoot[] = "D:\\";
bool AutoplayUsable;

[[noreturn]] void Finding(const std::string& account)
{
    std::fprintf(stderr, "FINDING: %s\n", account.c_str());
    std::abort();
}

void Check(const std::vector<std::string>& faults)
{
    if (!faults.empty()) Finding(faults.front());
}

// The host suite's machine, bare, outside a test; the resource script is read once.
void Prepare(const char* drives)
{
    static Machine machine;
    machine.Prepare(drives, true);
}

// The input, read front to back; zeros once it has run out.
struct Input {
    std::string data;
    size_t at = 0;
    uint8_t Byte() { return at < data.size() ? uint8_t(data[at++]) : 0; }
    // With `padded`, zeros past the input's end: a long value costs little input.
    std::string Bytes(size_t count, bool padded = false)
    {
        std::string bytes = data.substr(std::min(at, data.size()), count);
        at += bytes.size();
        if (padded) bytes.resize(count, '\0');
        return bytes;
    }
};

// A light run of the program for autorun.inf alone: the drive, the menu
// with its drive item, one tick of the poller over the open menu, Autoplay.
int WINAPI AutorunProcess(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    AppInstance = instance;
    InitStringTable();
    MainWindow = Machine::TestWindow();
    HMENU resource = LoadMenuA(instance, MAKEINTRESOURCEA(IDR_TRAY_MENU));
    TrayMenu = GetSubMenu(resource, 0);
    EnumerateCdDrives();
    InsertDriveItems();
    TrayMenuOpen = 1;
    PollDiscStatus(MainWindow, WM_TIMER, IDT_POLL, 0);
    TrayMenuOpen = 0;
    std::vector<sim::MenuItemView> items = sim::MenuItems(TrayMenu);
    const sim::MenuItemView* autoplay = sim::FindMenuItem(items, IDM_AUTOPLAY);
    AutoplayUsable = autoplay && !(autoplay->state & MFS_GRAYED);
    RunAutoplay();
    DestroyMenu(resource);
    FreeMenuBitmaps();
    return 0;
}

// 1. The poller shows Autoplay usable exactly when the first 4096 bytes
// mention OPEN; Autoplay launches the whole OPEN value from the drive's root,
// or its program and parameters, exactly, or nothing when neither fits a path
// or holds what was read.
void FuzzAutorun(Input& input)
{
    std::string text = input.Bytes(8192);
    Prepare("D");
    sim::InsertDisc('D', sim::DataDisc("FUZZ", {{"autorun.inf", text}, {"SETUP.EXE", "MZ"}, {"RUN ME.EXE", "MZ"}}));
    Check(RunActs({}, true, "", AutorunProcess));

    std::string read = text.substr(0, 4096), upper = read;
    for (char& c : upper)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    size_t open = upper.find("OPEN");
    if (AutoplayUsable != (open != std::string::npos))
        Finding("Autoplay is usable, or greyed, against what autorun.inf says");
    std::vector<std::pair<std::string, std::string>> allowed;
    size_t start = open == std::string::npos ? open : upper.find('=', open);
    if (start != std::string::npos) {
        start = upper.find_first_not_of("= ", start);
        if (start == std::string::npos) start = upper.size();
        size_t end = std::min(upper.find_first_of("\r\n", start), upper.size());
        std::string value = upper.substr(start, end - start), spelt = read.substr(start, end - start);
        size_t blank = value.find(' ');
        if (value.find('\0') == std::string::npos) {
            if (value.size() + 3 < 260) allowed.push_back({kRoot + value, "-"});
            if (blank != std::string::npos && blank + 3 < 260)
                allowed.push_back({kRoot + spelt.substr(0, blank), spelt.substr(blank + 1)});
        }
    }
    std::vector<std::pair<std::string, std::string>> launched;
    for (const sim::ShellLaunch& launch : sim::ShellLaunches())
        launched.push_back({launch.file, launch.parameters.value_or("-")});
    if (launched.size() != (allowed.empty() ? 0u : 1u) ||
        (!launched.empty() && std::find(allowed.begin(), allowed.end(), launched[0]) == allowed.end()))
        Finding("Autoplay launched " + (launched.empty() ? std::string("nothing") : launched[0].first) +
                ", not the OPEN value whole or as a program and its parameters");
}

// 2. Values the program only reads (Language, Password, LastDrive,
// InstallPath, the Shell Folders, "Default Drive") keep their bytes, bar a
// "Default Drive" that was missing and is made; what Options OK writes back
// untouched means what it meant (the time excepted: its up-down holds it to
// 5..300, as the dialog shows).
const char* const kValues[] = {"Language", "HotKey", "Player", "AutoCloseAllowed", "AutoCloseTime", "Password",
                               "Locked", "LastDrive", "InstallPath", "StartUp", "Programs", "Default Drive"};

std::string KeyOf(const std::string& name)
{
    if (name == "StartUp" || name == "Programs") return SHELL_FOLDERS_PATH;
    return name == "Default Drive" ? MCI_CDAUDIO_PATH : SETTINGS_PATH;
}

// A value as loading reads it as text: up to its first NUL, refused when it
// leaves no room for one in 200 bytes.
std::optional<std::string> Loaded(const std::optional<sim::RegValue>& value)
{
    std::string text = value ? value->data.substr(0, value->data.find('\0')) : "";
    if (!value || value->data.size() > 200 || text.size() > 199) return std::nullopt;
    return text;
}

// A number setting as loading makes it of the value; `fallback` when it cannot be read.
long long Meaning(const std::optional<sim::RegValue>& value, long long fallback)
{
    return Loaded(value) ? ParseDecimal(Loaded(value)->c_str()) : fallback;
}

void FuzzSettings(Input& input)
{
    Prepare("DE");
    // An input of odd length runs elevated, where "Default Drive" is aimed and put back.
    sim::RunElevated(input.data.size() % 2);
    sim::InsertDisc('D', TestDisc(0));
    sim::AddFile(DEFAULT_INSTALL_DIR "\\Dorvane.lnk", "shortcut");
    while (input.at < input.data.size()) {
        std::string name = kValues[input.Byte() % std::size(kValues)];
        uint8_t type = input.Byte();
        if (type & 0x80) {
            // A number as text, from 64 bits of input: the 32-bit limits and past them.
            long long number = 0;
            std::string bits = input.Bytes(sizeof number, true);
            memcpy(&number, bits.data(), sizeof number);
            sim::SetRegText(KeyOf(name), name, std::to_string(number >> (type & 0x3F)));
            continue;
        }
        size_t length = input.Byte();
        if (length > 240) length = 200 + (length - 240) * 8;   // past the 200-byte buffers too
        sim::SetRegValue(KeyOf(name), name, type % 8, input.Bytes(length, true));
    }
    std::map<std::string, std::optional<sim::RegValue>> before;
    for (const char* name : kValues) before[name] = sim::GetRegValue(KeyOf(name), name);
    Check(RunActs({{Act::Wait, 1200}, {Act::Click}, {Act::Type, IDC_OLD_PASSWORD, MasterPassword}, {Act::Press, IDOK},
                   {Act::Wait, 1500}, {Act::Click}, {Act::Wait, 600}, {Act::RightClick}, {Act::Wait, 600},
                   {Act::Dismiss}, {Act::RightClick}, {Act::Choose, IDM_OPTIONS}, {Act::Press, IDOK}}));

    for (const char* name :
         {"Language", "Password", "LastDrive", "InstallPath", "StartUp", "Programs", "Default Drive"}) {
        std::optional<sim::RegValue> now = sim::GetRegValue(KeyOf(name), name);
        bool made = !before[name] && std::string(name) == "Default Drive" && now && now->type == REG_BINARY &&
                    now->data == std::string(4, '\0');
        if (!made && (before[name].has_value() != now.has_value() ||
                      (now && (now->type != before[name]->type || now->data != before[name]->data))))
            Finding(std::string("\"") + name + "\", which the program only reads, changed");
    }
    const std::pair<const char*, long long> numbers[] = {{"HotKey", 1568}, {"AutoCloseAllowed", 0}, {"Locked", 0}};
    for (const auto& number : numbers) {
        std::optional<sim::RegValue> now = sim::GetRegValue(SETTINGS_PATH, number.first);
        long long was = Meaning(before[number.first], number.second), is = Meaning(now, number.second);
        if (std::string(number.first) == "HotKey") was &= 0xFFFF, is &= 0xFFFF;
        if (was != is) Finding(std::string("Options OK changed the meaning of \"") + number.first + "\"");
    }
    std::optional<sim::RegValue> player = sim::GetRegValue(SETTINGS_PATH, "Player");
    std::optional<std::string> shown = Loaded(before["Player"]);
    if (player && shown && Loaded(player) != shown) Finding("Options OK changed the player's path");
}

// 3. Whatever MCI answers, the program keeps to its buffers and its menu,
// sends only commands it is written to send, and ends.
void FuzzMci(Input& input)
{
    static const MCIERROR kErrors[] = {MCIERR_HARDWARE, MCIERR_DEVICE_NOT_READY, MCIERR_INVALID_DEVICE_NAME,
                                       MCIERR_OUTOFRANGE, MCIERR_DEVICE_OPEN, MCIERR_MUST_USE_SHAREABLE, 1};
    Prepare("D");
    sim::InsertDisc('D', TestDisc(0));
    sim::AnswerMciWith([&input](const std::string&, MCIERROR* result, std::string* answer) {
        uint8_t how = input.Byte();
        if (how % 4 == 0) return false;
        *result = how % 4 == 1 ? kErrors[input.Byte() % std::size(kErrors)] : 0;
        if (*result == 0) *answer = input.Bytes(input.Byte() % 32 + (how & 0x80 ? 100 : 0), true);
        return true;
    });
    std::vector<Act> acts = {{Act::RightClick}, {Act::Choose, IDM_PLAY}, {Act::RightClick}, {Act::Wait, 1100}};
    for (int command : {IDM_NEXT_TRACK, IDM_PREVIOUS_TRACK, IDM_PAUSE, IDM_PLAY})
        acts.insert(acts.end(), {{Act::Choose, command}, {Act::RightClick}});
    acts.insert(acts.end(), {{Act::Choose, IDM_STOP}, {Act::Click}, {Act::Wait, 600}, {Act::Click}});
    Check(RunActs(acts));
}

// 4. The whole command line is the install directory: the companion starts
// from it exactly, or, where its command line would not fit, nothing starts
// and the program says so; Help opens the page from it.
void FuzzCommandLine(Input& input)
{
    bool companion = input.Byte() & 1;
    std::string line = input.Bytes(400);
    line = line.substr(0, line.find('\0'));
    Prepare("D");
    std::string dir = line.empty() ? DEFAULT_INSTALL_DIR : line;
    if (companion) sim::AddFile(dir + "\\Ambergate.exe", "MZ");
    sim::AddFile(dir + "\\help.html", "<html>");
    Check(RunActs({{Act::RightClick}, {Act::Choose, IDM_ABOUT}, {Act::Press, IDC_ABOUT_HELP}}, true, line));

    std::string program = dir + "\\Ambergate.exe", command = program + " 236 \"Dorvane_is1\"";
    const std::vector<sim::ProcessStart>& starts = sim::ProcessStarts();
    bool fits = command.size() < 260;
    if (starts.size() != (fits ? 1u : 0u) ||
        (fits && (starts[0].applicationName != program || starts[0].commandLine != command)))
        Finding("the companion did not start exactly from the install directory");
    for (const sim::ShellLaunch& launch : sim::ShellLaunches())
        if (launch.file != dir + "\\help.html") Finding("Help opened " + launch.file);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Input input{std::string(reinterpret_cast<const char*>(data), size)};
    void (*const targets[])(Input&) = {FuzzAutorun, FuzzSettings, FuzzMci, FuzzCommandLine};
    targets[FUZZ_TARGET - 1](input);
    return 0;
}
