#include "XFileSpec.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "XFolderIterator.h"
#include "XSystemPath.h"
#include "platform/NativeFile.h"

namespace fs = std::filesystem;

namespace
{
// The importer's and the front-end's wording of these two failures; kept verbatim.
constexpr const char* kCreateFailed = "Error creating path: %s";
constexpr const char* kDeleteFailed = "Could not delete path: %s";

constexpr unsigned kMaxChars = XFileSpec::kMaxPath - 1;

std::string Normalised(const char* text)
{
    std::string p(text ? text : "");
    for (char& c : p)
        if (c == '\\')
            c = '/';
    return p;
}

// The path as the system wants it: a folder without its trailing "/", except "/".
fs::path SystemPath(const XString& path)
{
    XString p(path);
    while (p.Length() > 1 && p[p.Length() - 1] == '/')
        p.Truncate(p.Length() - 1);
    return XSystemPath::FromEngine(p);
}

// A file goes, or the error is raised; a folder goes after its contents, and
// errors on the folder itself do not count.
void RemoveTree(const fs::path& path)
{
    std::error_code ec;
    const fs::file_status status = fs::symlink_status(path, ec);
    if (ec || !fs::exists(status))
        return;
    if (fs::is_directory(status))
    {
        for (fs::directory_iterator it(path, ec), end; !ec && it != end; it.increment(ec))
            RemoveTree(it->path());
        fs::remove(path, ec);
        return;
    }
    if (!fs::remove(path, ec) && ec && ec != std::errc::no_such_file_or_directory)
        RaiseError(ec.value(), kDeleteFailed, XSystemPath::ToEngineText(path).Text());
}
} // namespace

void XFileSpec::Set(const char* path)
{
    std::string p = Normalised(path);
    if (p.compare(0, 2, "./") == 0)
    {
        size_t i = 2;
        while (i < p.size() && (p[i] == '.' || p[i] == '/'))
            ++i;
        p.erase(0, i);
    }
    if (!p.empty() && p[0] == '.')
        RaiseError(0, "No support for relative paths: %s", path);
    if (p.size() > kMaxChars)
        RaiseError(0, "Path length (%u) would exceed maximum %u.", static_cast<unsigned>(p.size()),
                   kMaxChars);
    Assign(XString(p));
}

void XFileSpec::Assign(const XString& path)
{
    path_ = path;
    const std::string& p = path_.Std();
    size_t slash = p.rfind('/');
    if (p.empty() || slash == p.size() - 1)
        filePos_ = -1;
    else
        filePos_ = slash == std::string::npos ? 0 : static_cast<int>(slash + 1);
}

const char* XFileSpec::FileName() const
{
    return filePos_ < 0 ? "" : path_.Text() + filePos_;
}

XString XFileSpec::FolderPath() const
{
    size_t slash = path_.Std().rfind('/');
    return slash == std::string::npos ? XString() : path_.Left(static_cast<int>(slash + 1));
}

void XFileSpec::SetFileName(const char* name)
{
    const std::string n = Normalised(name);
    const std::string& p = path_.Std();
    size_t slash = p.rfind('/');
    std::string base;
    if (slash != std::string::npos)
        base = p.substr(0, slash + 1);
    else if (!p.empty())
        base = p + "/";
    if (base.size() + n.size() > kMaxChars)
    {
        unsigned room = base.size() < kMaxChars ? static_cast<unsigned>(kMaxChars - base.size()) : 0u;
        RaiseError(0, "Appended length (%u) would make path length exceed maximum %u.",
                   static_cast<unsigned>(n.size()), room);
    }
    Assign(XString(base + n));
}

void XFileSpec::AppendFolder(const char* name)
{
    XFileSpec copy(*this);
    copy.SetFileName(name);
    copy.MakeFolder();
    *this = copy;
}

void XFileSpec::MakeFolder()
{
    const std::string& p = path_.Std();
    if (!p.empty() && p.back() == '/')
        return;
    if (p.size() + 1 > kMaxChars)
        RaiseError(0, "Appended length (%u) would make path length exceed maximum %u.", 1u,
                   static_cast<unsigned>(kMaxChars - p.size()));
    Assign(XString(p + "/"));
}

XFileSpec XFileSpec::Parent() const
{
    std::string p = path_.Std();
    if (IsFolder())
        while (p.size() > 1 && p.back() == '/')
            p.pop_back();
    size_t slash = p.rfind('/');
    XFileSpec parent;
    parent.Assign(XString(slash == std::string::npos ? std::string() : p.substr(0, slash + 1)));
    return parent;
}

bool XFileSpec::Exists() const
{
    if (path_.IsEmpty())
        return false;
    std::error_code ec;
    return fs::exists(SystemPath(path_), ec);
}

void XFileSpec::Create() const
{
    if (path_.IsEmpty())
        RaiseError(0, kCreateFailed, path_.Text());
    if (!IsFolder())
    {
        const XFileSpec parent = Parent();
        if (!parent.IsEmpty())
            parent.Create();
        const int fd = NativeFile::Open(SystemPath(path_), NativeFile::Mode::Write);
        if (fd < 0)
            RaiseError(fd == NativeFile::kNotRegular ? 0 : errno, kCreateFailed, path_.Text());
        NativeFile::Close(fd);
        return;
    }
    std::error_code ec;
    const fs::path folder = SystemPath(path_);
    if (!NativeFile::CreateFolders(folder))
        RaiseError(errno, kCreateFailed, path_.Text());
    if (!fs::is_directory(folder, ec))
        RaiseError(ENOTDIR, kCreateFailed, path_.Text());
}

void XFileSpec::Delete() const
{
    if (path_.IsEmpty())
        return;
    RemoveTree(SystemPath(path_));
}

void XFileSpec::DeleteMatching(const char* pattern) const
{
    XFileSpec folder;
    folder.Assign(IsFolder() ? path_ : FolderPath());
    XFolderIterator it(folder, pattern && *pattern ? pattern : "*.*", XFolderIterator::Files);
    while (it.Next())
    {
        const XFileSpec file = it.FileSpec();
        std::error_code ec;
        if (!fs::remove(SystemPath(file.PathString()), ec) && ec &&
            ec != std::errc::no_such_file_or_directory)
            RaiseError(ec.value(), kDeleteFailed, file.Path());
    }
}

void XFileSpec::MoveTo(const XFileSpec& target) const
{
    if (!NativeFile::Replace(SystemPath(path_), SystemPath(target.path_)))
        RaiseError(errno, "Could not rename %s to %s", path_.Text(), target.path_.Text());
}

void XFileSpec::MoveToNew(const XFileSpec& target) const
{
    const fs::path to = SystemPath(target.path_);
    if (!NativeFile::MoveToNew(SystemPath(path_), to))
        RaiseError(errno, "Could not rename %s to %s", path_.Text(), target.path_.Text());
    // The name lives in the folder: the folder is synced too.
    if (!NativeFile::SyncFolder(to.parent_path()))
        RaiseError(errno, "Error syncing file: %s", target.path_.Text());
}

bool XFileSpec::MatchPattern(const char* pattern, const char* name)
{
    if (!pattern || !name)
        return false;
    if (std::string(pattern) == "*.*")
        return true;
    // Only "*" and "?" are wild, as on Windows, and letters match either case
    // by the ASCII rules. After a "*", a failed match retries from one more
    // character of the name.
    auto fold = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
    const char* star = nullptr;
    const char* resume = nullptr;
    while (*name)
    {
        if (*pattern == '*')
        {
            star = ++pattern;
            resume = name;
        }
        else if (*pattern && (*pattern == '?' || fold(*pattern) == fold(*name)))
        {
            ++pattern;
            ++name;
        }
        else if (star)
        {
            pattern = star;
            name = ++resume;
        }
        else
            return false;
    }
    while (*pattern == '*')
        ++pattern;
    return *pattern == '\0';
}
