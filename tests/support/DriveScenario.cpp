#include "DriveScenario.h"

#include <shellapi.h>

#include <cctype>

void DriveScenario::SetUp()
{
    Scenario::SetUp();
    Install();
}

void DriveScenario::AddDrives(const std::string& letters)
{
    for (char letter : letters) sim::AddCdDrive(static_cast<char>(std::toupper(static_cast<unsigned char>(letter))));
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

int DriveScenario::TrayPicture()
{
    std::vector<sim::TrayIconRecord> icons = sim::TrayIcons();
    return icons.empty() ? 0 : icons.front().iconResource;
}

std::string DriveScenario::TrayTip()
{
    std::vector<sim::TrayIconRecord> icons = sim::TrayIcons();
    return icons.empty() ? "(no icon)" : icons.front().tip;
}

std::vector<int> DriveScenario::TrayPictures()
{
    std::vector<int> pictures;
    for (const sim::TrayCall& call : sim::TrayCalls())
        if (call.message == NIM_MODIFY && (call.flags & NIF_ICON)) pictures.push_back(sim::IconResourceId(call.icon));
    return pictures;
}

DriveScenario::Mark DriveScenario::Now()
{
    return Mark{sim::MciLog().size()};
}

std::vector<std::string> DriveScenario::MciSince(const Mark& mark)
{
    std::vector<std::string> commands;
    const std::vector<sim::MciCall>& log = sim::MciLog();
    for (size_t i = mark.mci; i < log.size(); ++i) commands.push_back(log[i].command);
    return commands;
}
