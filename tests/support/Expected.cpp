// The expectations that the host suite and the run under Wine both hold the program to.
#include <fstream>

#include "Scenario.h"

std::vector<std::string> ExpectedLines(const std::string& file)
{
    std::vector<std::string> lines;
    std::ifstream in(EXPECT_DIR "/" + file);
    if (!in) ADD_FAILURE() << "cannot read " EXPECT_DIR "/" << file;
    for (std::string line; std::getline(in, line);)
        if (!line.empty() && line[0] != '#') lines.push_back(line);
    return lines;
}

std::string ExpectedText(const std::string& file)
{
    std::string text;
    for (const std::string& line : ExpectedLines(file)) text += line + "\n";
    return text;
}

std::string MenuLines(const std::vector<sim::MenuItemView>& items, const std::string& indent)
{
    std::string lines;
    for (const sim::MenuItemView& item : items) {
        if (item.type & MFT_SEPARATOR) {
            lines += indent + "-\n";
            continue;
        }
        lines += indent + (item.isPopup ? "popup" : std::to_string(item.id)) + " \"" + item.text + "\" " +
                 std::to_string(item.checkedBitmap) + " " + std::to_string(item.uncheckedBitmap) +
                 (item.state == (item.checkedBitmap ? MFS_CHECKED : 0u) ? "" : " state " + std::to_string(item.state)) +
                 ((item.type & ~MFT_RADIOCHECK) ? " type " + std::to_string(item.type) : "") +
                 (item.type & MFT_RADIOCHECK ? " radio" : "") + "\n";
        if (item.isPopup) lines += MenuLines(item.popup, indent + "  ");
    }
    return lines;
}
