#pragma once

// Splits a fuzzer input into the texts a target needs: the parts between NUL
// bytes (a NUL cannot occur in an argument or a C string anyway).

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

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
