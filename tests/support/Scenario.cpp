#include "Scenario.h"

#include <iconv.h>

#include <stdexcept>

#include "ProgramImage.h"
#include "res/resource.h"
#include "settings/Settings.h"

void Scenario::NewMachine()
{
    sim::ResetWorld();
    sim::LoadResourceScript(DORVANE_RC);
    RestoreProgramImage();
    ASSERT_TRUE(InProgramImage(&SettingsRecord)) << "the program's globals must live in its own image";
}

void Scenario::Install(const std::string& dir, bool registerPath)
{
    sim::AddFile(dir + "\\Dorvane.exe");
    sim::AddFile(dir + "\\Ambergate.exe");
    if (registerPath) sim::SetRegText(SETTINGS_PATH, "InstallPath", dir);
}

int Scenario::Run(const std::string& commandLine)
{
    try {
        int result = sim::RunProcess(WinMain, commandLine);
        std::string left = sim::UnusedScript();
        if (!left.empty()) ADD_FAILURE() << "the program ended before its script: " << left;
        return result;
    } catch (const sim::Failure& failure) {
        ADD_FAILURE() << failure.what();
        return -1;
    }
}

HWND Scenario::TestWindow(DLGPROC procedure)
{
    if (procedure == NULL) procedure = [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; };
    return CreateDialogParamA(sim::ProgramInstance(), MAKEINTRESOURCEA(IDD_MAIN), NULL, procedure, 0);
}

std::vector<std::string> Scenario::MessageTexts() const
{
    std::vector<std::string> texts;
    for (const sim::MessageBoxRecord& box : sim::MessageBoxes()) texts.push_back(box.text);
    return texts;
}

void Scenario::Store(const std::string& name, const std::string& text)
{
    sim::SetRegValue(SETTINGS_PATH, name, REG_SZ, text);
}

std::string Scenario::Saved(const std::string& name)
{
    auto value = sim::GetRegValue(SETTINGS_PATH, name);
    if (!value) return "(none)";
    return value->type == REG_SZ ? value->data : "(type " + std::to_string(value->type) + ")";
}

void Scenario::Choose(UINT command)
{
    user.RightClickTray().ChooseMenuItem(command);
}

int Scenario::RunToExit()
{
    user.AcceptMessageBoxes();
    Choose(IDM_EXIT);
    int result = Run();
    // Whatever failed on the way, the program leaves nothing behind.
    std::string left;
    for (const Leftover& item : LeftBehind()) left += item.what + "; ";
    EXPECT_EQ("", left) << "left behind after Exit";
    return result;
}

std::vector<Leftover> LeftBehind()
{
    std::vector<Leftover> left;
    if (int keys = sim::OpenRegistryHandles()) left.push_back({std::to_string(keys) + " registry keys", "", ""});
    if (int handles = sim::OpenKernelHandles()) left.push_back({std::to_string(handles) + " kernel handles", "", ""});
    if (int bitmaps = sim::LiveBitmaps()) left.push_back({std::to_string(bitmaps) + " menu pictures", "", ""});
    for (const std::string& device : sim::OpenMciDevices())
        left.push_back({"the MCI device " + device, "mciSendStringA", "close " + device});
    if (!sim::TrayIcons().empty())
        left.push_back({"its icon in the notification area", "Shell_NotifyIconW", "NIM_DELETE"});
    for (const sim::TrayCall& call : sim::TrayCalls())
        if (sim::IconSize(call.icon) != 0)
            left.push_back({"the picture " + std::to_string(sim::IconResourceId(call.icon)), "", ""});
    return left;
}

void Scenario::Step(std::function<void()> what)
{
    user.Do("look", what);
}

std::string Cp1251(const std::string& text)
{
    iconv_t converter = iconv_open("CP1251", "UTF-8");
    if (converter == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("no CP1251 converter");
    std::string input = text, output(text.size() + 1, '\0');
    char *in = &input[0], *out = &output[0];
    size_t inLeft = input.size(), outLeft = output.size();
    size_t done = iconv(converter, &in, &inLeft, &out, &outLeft);
    iconv_close(converter);
    if (done == static_cast<size_t>(-1)) throw std::runtime_error("not convertible to CP1251: " + text);
    output.resize(output.size() - outLeft);
    return output;
}
