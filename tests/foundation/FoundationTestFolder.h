#pragma once

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

// A fresh folder under the temporary directory, removed with its contents at the end.
class FoundationTestFolder
{
public:
    FoundationTestFolder()
    {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/xfoundation-XXXXXX";
        path_ = mkdtemp(pattern.data());
    }
    ~FoundationTestFolder()
    {
        if (!path_.empty())
            std::system(("rm -rf '" + path_ + "'").c_str());
    }
    FoundationTestFolder(const FoundationTestFolder&) = delete;
    FoundationTestFolder& operator=(const FoundationTestFolder&) = delete;

    // Path of an entry inside the folder (or the folder itself, ending with "/").
    std::string Path(const std::string& relative = "") const { return path_ + "/" + relative; }

    static std::string ReadBytes(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    static void WriteBytes(const std::string& path, const std::string& bytes)
    {
        std::ofstream out(path, std::ios::binary);
        out << bytes;
    }
    static bool Exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

private:
    std::string path_;
};
