#pragma once

#include <string>
#include <vector>

namespace demo
{

// Name and address pools the demo people are drawn from.
struct DemoNames
{
    static const std::vector<std::string>& femaleFirst();
    static const std::vector<std::string>& maleFirst();
    static const std::vector<std::string>& last();
    static const std::vector<std::string>& streets();

    struct Town
    {
        std::string city;
        std::string zip;
    };
    static const std::vector<Town>& towns();
};

} // namespace demo
