#include "DriveScenario.h"

#include <shellapi.h>

#include <algorithm>
#include <cctype>

#include "app/MainWindow.h"
#include "app/WinMain.h"
#include "res/resource.h"

namespace {

// The letters of the drives added to this machine.
std::string Letters;

}  // namespace

void DriveScenario::NewMachine()
{
    Scenario::NewMachine();
    Letters.clear();
    seen_.clear();
    marks_.clear();
    Install();
}

void DriveScenario::AddDrives(const std::string& letters)
{
    for (char letter : letters) {
        char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
        sim::AddCdDrive(upper);
        Letters += upper;
    }
}

void DriveScenario::SetDefaultDrive(int drive)
{
    SetDefaultDriveBytes(std::string(1, static_cast<char>(drive)) + std::string(3, '\0'));
}

void DriveScenario::SetDefaultDriveBytes(const std::string& bytes)
{
    sim::SetRegValue(MCI_CDAUDIO_PATH, "Default Drive", REG_BINARY, bytes);
}

std::string DriveScenario::DefaultDriveBytes()
{
    auto value = sim::GetRegValue(MCI_CDAUDIO_PATH, "Default Drive");
    return value ? value->data : "(none)";
}

std::string DriveScenario::OwnerOf(HWND window)
{
    if (window == NULL) return "none";
    std::optional<sim::WindowView> view = sim::WindowInfo(window);
    switch (view ? view->templateId : 0) {
    case IDD_MAIN: return "main";
    case IDD_OPTIONS: return "Options";
    case IDD_ABOUT: return "About";
    case IDD_PASSWORD_PROMPT: return "prompt";
    case IDD_PASSWORD_CHANGE: return "change";
    case IDD_AUTOCLOSE: return "countdown";
    }
    return "a window of no dialog of the program";
}

std::vector<std::string> DriveScenario::BoxOwners()
{
    std::vector<std::string> owners;
    for (const sim::MessageBoxRecord& box : sim::MessageBoxes()) owners.push_back(OwnerOf(box.owner));
    return owners;
}

std::string DriveScenario::Joined(const std::vector<std::string>& texts)
{
    std::string joined;
    for (const std::string& text : texts) joined += (joined.empty() ? "" : " ") + text;
    return joined;
}

std::vector<int> DriveScenario::TrayPictures()
{
    std::vector<int> pictures;
    for (const sim::TrayCall& call : sim::TrayCalls())
        if (call.message == NIM_MODIFY && (call.flags & NIF_ICON)) pictures.push_back(sim::IconResourceId(call.icon));
    return pictures;
}

bool DriveScenario::Ticking()
{
    for (const sim::TimerView& timer : sim::Timers())
        if (timer.window == MainWindow && timer.id == IDT_POLL) return true;
    return false;
}

std::string DriveScenario::OpenTrays()
{
    std::string open;
    for (char letter : Letters)
        if (sim::TrayOpen(letter)) open += letter;
    return open;
}

int DriveScenario::Sent(const std::string& command)
{
    std::vector<std::string> sent = sim::MciCommands();
    return static_cast<int>(std::count(sent.begin(), sent.end(), command));
}

const DriveScenario::Seen& DriveScenario::Look(const Mark* since)
{
    seen_.emplace_back();
    Seen* seen = &seen_.back();
    Step([this, seen, since] {
        seen->open = OpenTrays();
        std::vector<sim::TrayIconRecord> icons = sim::TrayIcons();
        seen->tip = icons.empty() ? "(no icon)" : icons.front().tip;
        seen->picture = icons.empty() ? 0 : icons.front().iconResource;
        const std::vector<sim::MciCall>& log = sim::MciLog();
        for (size_t i = since ? since->mci : log.size(); i < log.size(); ++i) seen->mci.push_back(log[i].command);
        seen->boxes = MessageTexts();
        for (const sim::DialogView& dialog : sim::OpenDialogs())
            if (dialog.templateId != IDD_MAIN && dialog.visible) {
                seen->dialogs.push_back(dialog.templateId);
                seen->owners.push_back(OwnerOf(dialog.owner));
            }
        auto countdown = sim::OpenDialog(IDD_AUTOCLOSE);
        seen->countdown = countdown && countdown->visible ? countdown->Control(IDC_COUNTDOWN_SECONDS).text : "-";
        seen->devices = sim::OpenMciDevices();
        seen->ticking = Ticking();
    });
    return *seen;
}

void DriveScenario::LookAtTray(TrayView* tray)
{
    user.Do("look at the tray", [tray] {
        std::vector<sim::TrayIconRecord> icons = sim::TrayIcons();
        tray->icons = icons.size();
        if (!icons.empty()) {
            const sim::TrayIconRecord& icon = icons.front();
            tray->picture = icon.iconResource;
            tray->size = icon.iconSize;
            tray->tip = icon.tip;
            tray->answers = icon.hasCallback && icon.callbackMessage == WM_TRAYNOTIFY && icon.window == MainWindow &&
                            icon.id == 151;
        }
        std::optional<sim::WindowView> window = sim::WindowInfo(MainWindow);
        HICON big = window ? window->bigIcon : NULL;
        tray->windowIcon = sim::IconResourceId(big);
        tray->windowIconSize = sim::IconSize(big);
    });
}

const DriveScenario::Mark& DriveScenario::MarkNow()
{
    marks_.emplace_back();
    Mark* mark = &marks_.back();
    Step([mark] { mark->mci = sim::MciLog().size(); });
    return *mark;
}
