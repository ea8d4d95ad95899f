#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

// The lines of a golden file from its "[section]" line to the next section,
// without empty lines and "#" notes.
inline std::vector<std::string> GoldenSection(const std::string& path, const std::string& section)
{
    std::vector<std::string> lines;
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in) << path;
    bool inSection = false;
    for (std::string line; std::getline(in, line);)
    {
        if (line.empty() || line[0] == '#')
            continue;
        if (line[0] == '[')
            inSection = line == "[" + section + "]";
        else if (inSection)
            lines.push_back(line);
    }
    EXPECT_FALSE(lines.empty()) << path << " has no lines under [" << section << "]";
    return lines;
}
