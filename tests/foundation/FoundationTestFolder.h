#pragma once

#include <QUuid>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

#include "XException.h"

// A fresh folder under the temporary directory, removed with its contents at the end.
class FoundationTestFolder
{
public:
    // Named with forward slashes, as the engine names paths on every system.
    FoundationTestFolder()
    {
        const std::filesystem::path folder =
            std::filesystem::temp_directory_path() /
            ("xfoundation-" + QUuid::createUuid().toString(QUuid::WithoutBraces).toStdString());
        std::filesystem::create_directory(folder);
        const std::u8string name = folder.generic_u8string();
        path_.assign(name.begin(), name.end());
    }
    ~FoundationTestFolder()
    {
        std::error_code ignored;
        if (!path_.empty())
            std::filesystem::remove_all(Native(path_), ignored);
    }
    FoundationTestFolder(const FoundationTestFolder&) = delete;
    FoundationTestFolder& operator=(const FoundationTestFolder&) = delete;

    // Path of an entry inside the folder (or the folder itself, ending with "/").
    std::string Path(const std::string& relative = "") const { return path_ + "/" + relative; }

    // Paths here are UTF-8, as the engine's reach the file system.
    static std::filesystem::path Native(const std::string& path)
    {
        return std::filesystem::path(std::u8string(path.begin(), path.end()));
    }
    static std::string ReadBytes(const std::string& path)
    {
        std::ifstream in(Native(path), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    static void WriteBytes(const std::string& path, const std::string& bytes)
    {
        std::ofstream out(Native(path), std::ios::binary);
        out << bytes;
    }
    static bool Exists(const std::string& path)
    {
        // A name that is no UTF-8 cannot exist where names are UTF-16.
        std::error_code ignored;
        try
        {
            return std::filesystem::exists(Native(path), ignored);
        }
        catch (const std::exception&)
        {
            return false;
        }
    }

private:
    std::string path_;
};

// The XException the step throws; a failure, and code -1, when it throws none.
template <typename Step> XException Thrown(Step step)
{
    try
    {
        step();
    }
    catch (const XException& e)
    {
        return e;
    }
    ADD_FAILURE() << "no XException";
    return XException("no exception", -1);
}
