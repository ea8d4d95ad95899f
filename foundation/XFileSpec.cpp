#include "XFileSpec.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "XFolderIterator.h"

namespace
{
// The importer's and the front-end's wording of these two failures; kept verbatim.
constexpr const char* kCreateFailed = "Error creating spec: %s";
constexpr const char* kDeleteFailed = "Could not delete spec: %s";

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
std::string SystemPath(const XString& path)
{
    std::string p = path.Std();
    while (p.size() > 1 && p.back() == '/')
        p.pop_back();
    return p;
}

bool MatchFrom(const char* p, const char* n)
{
    for (; *p; ++p)
    {
        if (*p == '*')
        {
            while (p[1] == '*')
                ++p;
            if (!p[1])
                return true;
            for (const char* s = n; *s; ++s)
                if (MatchFrom(p + 1, s))
                    return true;
            return false;
        }
        if (!*n)
            return false;
        if (*p != '?' &&
            std::tolower(static_cast<unsigned char>(*p)) != std::tolower(static_cast<unsigned char>(*n)))
            return false;
        ++n;
    }
    return *n == '\0';
}

void RemoveTree(const std::string& path)
{
    struct stat st
    {
    };
    if (lstat(path.c_str(), &st) != 0)
        return;
    if (S_ISDIR(st.st_mode))
    {
        if (DIR* dir = opendir(path.c_str()))
        {
            std::string base = path == "/" ? path : path + "/";
            while (dirent* e = readdir(dir))
            {
                std::string name = e->d_name;
                if (name == "." || name == "..")
                    continue;
                RemoveTree(base + name);
            }
            closedir(dir);
        }
        rmdir(path.c_str()); // errors on the folder itself do not count
        return;
    }
    if (unlink(path.c_str()) != 0 && errno != ENOENT)
        RaiseError(errno, kDeleteFailed, path.c_str());
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
    struct stat st
    {
    };
    return stat(SystemPath(path_).c_str(), &st) == 0;
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
        int fd = open(path_.Text(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
        if (fd < 0)
            RaiseError(errno, kCreateFailed, path_.Text());
        close(fd);
        return;
    }
    const std::string& p = path_.Std();
    for (size_t pos = p.find('/', 1); pos != std::string::npos; pos = p.find('/', pos + 1))
    {
        const std::string part = p.substr(0, pos);
        struct stat st
        {
        };
        if (stat(part.c_str(), &st) == 0)
        {
            if (!S_ISDIR(st.st_mode))
                RaiseError(ENOTDIR, kCreateFailed, path_.Text());
            continue;
        }
        if (mkdir(part.c_str(), 0777) != 0 && errno != EEXIST)
            RaiseError(errno, kCreateFailed, path_.Text());
    }
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
        if (unlink(file.Path()) != 0 && errno != ENOENT)
            RaiseError(errno, kDeleteFailed, file.Path());
    }
}

void XFileSpec::MoveTo(const XFileSpec& target) const
{
    if (rename(SystemPath(path_).c_str(), SystemPath(target.path_).c_str()) != 0)
        RaiseError(errno, "Could not rename %s to %s", path_.Text(), target.path_.Text());
}

bool XFileSpec::MatchPattern(const char* pattern, const char* name)
{
    if (!pattern || !name)
        return false;
    if (std::string(pattern) == "*.*")
        return true;
    return MatchFrom(pattern, name);
}
