// The date and time pattern language: input "pattern\0text". The text is
// parsed with the pattern by the date, the time and the pair; whatever was
// read is formatted back with the same pattern, and a fixed moment too.
#include "FuzzInput.h"
#include "XDateTime.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::vector<std::string> parts = SplitAtNul(data, size);
    const char* pattern = Part(parts, 0).c_str();
    const char* text = Part(parts, 1).c_str();

    XDate date;
    date.Parse(pattern, text);
    date.Format(pattern);
    XTime time;
    time.Parse(pattern, text);
    time.Format(pattern);
    XDateTime both;
    both.Parse(pattern, text);
    both.Format(pattern);
    both.ParseIso(text);

    const XDateTime fixed(XDate(2026, 10, 15), XTime(13, 5, 9, 7));
    fixed.Format(pattern);
    XDate(9999, 12, 31).Format(pattern);

    // Automation dates from the third part's bytes, however large or odd.
    const std::string& raw = Part(parts, 2);
    if (raw.size() >= sizeof(double))
    {
        double value;
        std::memcpy(&value, raw.data(), sizeof value);
        XDateTime::FromOleDate(value).Format(pattern);
    }
    return 0;
}
