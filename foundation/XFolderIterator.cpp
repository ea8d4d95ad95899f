#include "XFolderIterator.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "XSystemPath.h"

namespace fs = std::filesystem;

XFolderIterator::XFolderIterator(const XFileSpec& folder, const char* pattern, int kinds)
{
    XString path(folder.Path());
    if (!folder.IsFolder() && !path.IsEmpty())
        path.Append('/');
    folder_ = XFileSpec();
    if (!path.IsEmpty())
        folder_.Set(path);
    std::error_code ec;
    const fs::path system = path.IsEmpty() ? fs::path(".") : XSystemPath::FromEngine(path);
    for (fs::directory_iterator it(system, ec), end; !ec && it != end; it.increment(ec))
    {
        XString name;
        // A name the engine cannot spell is one it never made and cannot open.
        if (!XSystemPath::ToEngine(it->path().filename(), name))
            continue;
        std::error_code statusError;
        const fs::file_status status = it->status(statusError);
        if (statusError || !fs::exists(status))
            continue;
        const bool isFolder = fs::is_directory(status);
        if (isFolder ? !(kinds & Folders) || name[0] == '.' : !(kinds & Files))
            continue;
        if (!XFileSpec::MatchPattern(pattern ? pattern : "*.*", name.Text()))
            continue;
        entries_.push_back({name, isFolder});
    }
    std::sort(entries_.begin(), entries_.end(),
              [](const Entry& a, const Entry& b) { return a.name.Std() < b.name.Std(); });
}

bool XFolderIterator::Next()
{
    if (index_ + 1 >= static_cast<int>(entries_.size()))
    {
        index_ = static_cast<int>(entries_.size());
        return false;
    }
    ++index_;
    return true;
}

const char* XFolderIterator::Name() const
{
    return index_ >= 0 && index_ < static_cast<int>(entries_.size()) ? entries_[index_].name.Text() : "";
}

bool XFolderIterator::IsFolder() const
{
    return index_ >= 0 && index_ < static_cast<int>(entries_.size()) && entries_[index_].folder;
}

XFileSpec XFolderIterator::FileSpec() const
{
    XFileSpec fileSpec(folder_);
    if (IsFolder())
        fileSpec.AppendFolder(Name());
    else
        fileSpec.SetFileName(Name());
    return fileSpec;
}
