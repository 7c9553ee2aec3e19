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
