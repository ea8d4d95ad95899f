#pragma once

#include <fstream>
#include <string>

// Peak resident memory of this process, for the streaming tests.
namespace PeakMemory
{

// Peak resident memory in KiB since the last reset.
inline long PeakKib()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stol(line.substr(6));
    return -1;
}

inline bool ResetPeak()
{
    std::ofstream f("/proc/self/clear_refs");
    f << "5";
    f.flush();
    return static_cast<bool>(f);
}

} // namespace PeakMemory
