#pragma once

// Splits a fuzzer input into the texts a target needs: the parts between NUL
// bytes (a NUL cannot occur in an argument or a C string anyway).

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <unistd.h>

inline std::vector<std::string> SplitAtNul(const uint8_t* data, size_t size)
{
    std::vector<std::string> parts(1);
    for (size_t i = 0; i < size; ++i)
    {
        if (data[i] == 0)
            parts.emplace_back();
        else
            parts.back().push_back(static_cast<char>(data[i]));
    }
    return parts;
}

// The part at index, or "" when the input has fewer parts.
inline const std::string& Part(const std::vector<std::string>& parts, size_t index)
{
    static const std::string empty;
    return index < parts.size() ? parts[index] : empty;
}

// A file in a folder of its own, rewritten with each input and removed at exit:
// the readers under test take a file, not a buffer.
class ScratchFile
{
public:
    ScratchFile(const char* prefix, const std::string& name)
    {
        std::string folder = std::string("/tmp/") + prefix + "-XXXXXX";
        if (!mkdtemp(folder.data()))
            std::abort();
        folder_ = folder;
        path_ = folder + "/" + name;
    }
    ~ScratchFile()
    {
        std::remove(path_.c_str());
        std::remove(folder_.c_str());
    }
    const std::string& folder() const { return folder_; }
    const std::string& path() const { return path_; }
    void write(const uint8_t* data, size_t size) const
    {
        FILE* f = std::fopen(path_.c_str(), "wb");
        if (!f)
            std::abort();
        std::fwrite(data, 1, size, f);
        std::fclose(f);
    }

private:
    std::string folder_;
    std::string path_;
};
