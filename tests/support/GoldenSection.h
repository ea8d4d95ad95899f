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

// The lines of one table of a golden file of a test folder (<folder>/golden/<file>):
// the table starts at its "[section]" line, "#" lines are notes, fields are
// separated by tabs, and \t, \r, \n and \\ stand for a tab, a carriage
// return, a line feed and a backslash.
inline std::vector<std::vector<std::string>> GoldenLines(const std::string& file, const std::string& section,
                                                         std::size_t fields, const std::string& folder)
{
    std::vector<std::vector<std::string>> lines;
    for (const std::string& line :
         GoldenSection(TSIS_SOURCE_DIR "/tests/" + folder + "/golden/" + file, section))
    {
        std::vector<std::string> f(1);
        for (std::size_t i = 0; i < line.size(); ++i)
        {
            const char escaped = line[i] == '\\' && i + 1 < line.size() ? line[++i] : '\0';
            if (line[i] == '\t' && !escaped)
                f.emplace_back();
            else
                f.back() += escaped == 't' ? '\t' : escaped == 'r' ? '\r' : escaped == 'n' ? '\n' : line[i];
        }
        EXPECT_EQ(f.size(), fields) << file << ": " << line;
        lines.push_back(f);
    }
    return lines;
}
