#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace demo
{

// Deterministic pseudo-random numbers keyed by what they describe (school, student, day...),
// so that a row's content does not depend on how many rows were generated before it and a
// small district is a prefix of a large one.
class DemoRandom
{
public:
    DemoRandom(std::initializer_list<std::uint64_t> key)
    {
        for (std::uint64_t k : key)
            state_ = mix(state_ ^ (k + 0x9e3779b97f4a7c15ULL));
    }

    std::uint64_t next()
    {
        state_ += 0x9e3779b97f4a7c15ULL;
        return mix(state_);
    }
    // 0 <= result < n.
    int below(int n) { return n <= 0 ? 0 : static_cast<int>(next() % static_cast<std::uint64_t>(n)); }
    int between(int lo, int hi) { return lo + below(hi - lo + 1); }
    bool perMille(int chance) { return below(1000) < chance; }
    template <typename T> const T& pick(const std::vector<T>& items)
    {
        return items[static_cast<std::size_t>(below(static_cast<int>(items.size())))];
    }

    static std::uint64_t tag(const char* text)
    {
        std::uint64_t h = 1469598103934665603ULL;
        for (; *text; ++text)
            h = (h ^ static_cast<unsigned char>(*text)) * 1099511628211ULL;
        return h;
    }

private:
    static std::uint64_t mix(std::uint64_t z)
    {
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    }
    std::uint64_t state_ = 0x243f6a8885a308d3ULL;
};

} // namespace demo
