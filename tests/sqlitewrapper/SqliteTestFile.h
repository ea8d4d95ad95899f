#pragma once

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

// A fresh database path per test, under the build tree.
inline std::string FreshDatabasePath(const char *suffix = "")
{
    const auto *info = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::filesystem::path dir = std::filesystem::path(TSIS_BINARY_DIR) / "sqlitewrapper-test";
    std::filesystem::create_directories(dir);
    const std::filesystem::path p =
        dir / (std::string(info->test_suite_name()) + "." + info->name() + suffix + ".db");
    std::filesystem::remove(p);
    return p.string();
}
