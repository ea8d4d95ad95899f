#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "GoldenSection.h"

// The lines of one table of a golden file of a test folder (<folder>/golden/<file>):
// the table starts at its "[section]" line, "#" lines are notes, fields are
// separated by tabs, and \t, \r, \n and \\ stand for a tab, a carriage
// return, a line feed and a backslash.
inline std::vector<std::vector<std::string>> GoldenLines(const std::string& file, const std::string& section,
                                                         std::size_t fields,
                                                         const std::string& folder = "dataaccess")
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

// The other folders' tests have no database types.
#if __has_include("DatabaseType.h")
#include "DatabaseType.h"

// The database type of a display name in a golden line.
inline int GoldenType(const std::string& name)
{
    for (int type = 0; type <= 21; ++type)
        if (name == DatabaseType::Name(type))
            return type;
    ADD_FAILURE() << "no database type " << name;
    return -1;
}

// A field of a golden line as an argument: "(null)" is none.
inline const char* GoldenArg(const std::string& field)
{
    return field == "(null)" ? nullptr : field.c_str();
}
#endif
