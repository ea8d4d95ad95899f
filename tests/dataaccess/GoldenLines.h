#pragma once

#include <gtest/gtest.h>

#include <string>

#include "DatabaseType.h"
#include "GoldenSection.h"

// A table of this folder's golden files.
inline std::vector<std::vector<std::string>> GoldenLines(const std::string& file, const std::string& section,
                                                         std::size_t fields)
{
    return GoldenLines(file, section, fields, "dataaccess");
}

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
