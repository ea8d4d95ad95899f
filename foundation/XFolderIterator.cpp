#include "XFolderIterator.h"

#include <algorithm>
#include <dirent.h>
#include <string>
#include <sys/stat.h>

XFolderIterator::XFolderIterator(const XFileSpec& folder, const char* pattern, int kinds)
{
    XString path(folder.Path());
    if (!folder.IsFolder() && !path.IsEmpty())
        path.Append('/');
    folder_ = XFileSpec();
    if (!path.IsEmpty())
    {
        folder_.Set(path);
    }
    std::string dirPath = path.IsEmpty() ? std::string(".") : path.Std();
    DIR* dir = opendir(dirPath.c_str());
    if (!dir)
        return;
    while (dirent* e = readdir(dir))
    {
        const std::string name = e->d_name;
        if (name == "." || name == "..")
            continue;
        struct stat st
        {
        };
        if (stat((path.Std() + name).c_str(), &st) != 0)
            continue;
        const bool isFolder = S_ISDIR(st.st_mode);
        if (isFolder ? !(kinds & Folders) || name[0] == '.' : !(kinds & Files))
            continue;
        if (!XFileSpec::MatchPattern(pattern ? pattern : "*.*", name.c_str()))
            continue;
        entries_.push_back({XString(name), isFolder});
    }
    closedir(dir);
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
