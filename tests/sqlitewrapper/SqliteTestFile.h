#pragma once

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "sqlerror.h"

// A fresh database path per test, under the build tree.
inline std::string FreshDatabasePath(const char* suffix = "")
{
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::filesystem::path dir = std::filesystem::path(TSIS_BINARY_DIR) / "sqlitewrapper-test";
    std::filesystem::create_directories(dir);
    const std::filesystem::path p =
        dir / (std::string(info->test_suite_name()) + "." + info->name() + suffix + ".db");
    std::filesystem::remove(p);
    return p.string();
}

// The SqlError the step throws; a failure, and an error with code -1, when it throws none.
template <typename Step> sqlite::SqlError Thrown(Step step)
{
    try
    {
        step();
    }
    catch (const sqlite::SqlError& e)
    {
        return e;
    }
    ADD_FAILURE() << "no SqlError";
    return sqlite::SqlError(-1, "no error", "", "", "");
}
