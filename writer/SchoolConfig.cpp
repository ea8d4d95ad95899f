#include "SchoolConfig.h"

#include "XSystemPath.h"
#include "XXmlReader.h"
#include "XXmlWriter.h"

#include <filesystem>
#include <system_error>

namespace SchoolConfig
{
namespace
{
XFileSpec FileIn(const XFileSpec& folder)
{
    XFileSpec file(folder);
    file.MakeFolder();
    file.SetFileName(kFileName);
    return file;
}
} // namespace

std::vector<Entry> Read(const XFileSpec& folder)
{
    std::vector<Entry> entries;
    if (folder.IsEmpty())
        return entries;
    try
    {
        // A few hundred bytes when the bridge wrote it: a larger file, or
        // anything but a file, is not its own and is not read (it counts as malformed).
        std::error_code error;
        const XFileSpec file = FileIn(folder);
        const std::filesystem::path system = XSystemPath::FromEngine(file.Path());
        if (!std::filesystem::is_regular_file(system, error) ||
            std::filesystem::file_size(system, error) > kMaxBytes || error)
            return entries;
        XXmlReader reader;
        if (!reader.Open(file, kRoot))
            return entries;
        while (reader.Next())
        {
            if (reader.AttributeCount() == 0)
                entries.push_back({reader.Name(), XString(), XString()});
            for (const auto& attribute : reader.Attributes())
                entries.push_back({reader.Name(), attribute.name, attribute.value});
        }
        reader.Close();
    }
    catch (const std::exception&)
    {
        // An unreadable file counts as no file: the configuration then reads as changed.
        entries.clear();
    }
    return entries;
}

XString ReadValue(const XFileSpec& folder, const char* element, const char* attribute)
{
    for (const Entry& entry : Read(folder))
    {
        if (entry.element == element && entry.attribute == attribute)
            return entry.value;
    }
    return XString();
}

XDate ReadUpdateDate(const XFileSpec& folder)
{
    XDate date;
    XString text = ReadValue(folder, "UpdateDate", "UpdateDateValue");
    if (!text.IsEmpty())
        date.Parse("dd-mmm-yyyy", text.Text());
    return date;
}

XDateTime ReadUpdateDateTime(const XFileSpec& folder)
{
    XDateTime dateTime;
    XString text = ReadValue(folder, "UpdateDateTime", "UpdateDateTimeValue");
    if (!text.IsEmpty())
        dateTime.Parse("dd-mmm-yyyy hh:nn:ss", text.Text());
    return dateTime;
}

XString ReadOverlapDays(const XFileSpec& folder)
{
    return ReadValue(folder, "OverlapInDays", "OverlapValue");
}

XString ReadGlobalFolder(const XFileSpec& folder)
{
    return ReadValue(folder, "GlobalFolder", "GlobalFolderValue");
}

void Write(const XFileSpec& folder, const std::vector<Entry>& entries)
{
    XXmlWriter writer;
    writer.Open(FileIn(folder), kRoot);
    for (const Entry& entry : entries)
        writer.WriteElement(entry.element, entry.attribute, entry.value);
    writer.Close();
}
} // namespace SchoolConfig
