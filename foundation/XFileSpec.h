#pragma once

#include "XString.h"

// A path value with "/" as separator (a "\" given in a path is taken as "/").
// A path ending with "/" names a folder; otherwise its last component is the
// file name. At most 259 characters.
class XFileSpec
{
public:
    static constexpr int kMaxPath = 260; // bytes, terminator included

    XFileSpec() = default;
    XFileSpec(const char* path) { Set(path); }
    XFileSpec(const XString& path) { Set(path.Text()); }

    // A leading "./" (and any further leading "." and "/" after it) is dropped;
    // a path that still starts with "." fails with "No support for relative
    // paths: %s". A path that is too long fails too; on failure the path is unchanged.
    void Set(const char* path);
    void Set(const XString& path) { Set(path.Text()); }
    XFileSpec& operator=(const char* path)
    {
        Set(path);
        return *this;
    }
    XFileSpec& operator=(const XString& path)
    {
        Set(path.Text());
        return *this;
    }

    const char* Path() const { return path_.Text(); }
    const XString& PathString() const { return path_; }
    const char* FileName() const; // "" for a folder
    XString FolderPath() const;   // everything up to and including the last "/"
    bool IsFolder() const { return filePos_ < 0; }
    bool IsEmpty() const { return path_.IsEmpty(); }

    // Replaces the file name (or appends "/" + name when there is no "/");
    // fails with "Appended length (%u) would make path length exceed maximum
    // %u." and leaves the path unchanged when it would not fit.
    void SetFileName(const char* name);
    void SetFileName(const XString& name) { SetFileName(name.Text()); }
    void AppendFolder(const char* name); // SetFileName, then MakeFolder
    void AppendFolder(const XString& name) { AppendFolder(name.Text()); }
    void MakeFolder(); // appends "/" when missing

    // A file's folder, or the folder above a folder.
    XFileSpec Parent() const;

    bool Exists() const;
    // Folder: missing parents first, then the folder. File: its folders, then
    // the file, empty, unless it exists. Fails with the creation error and the path.
    void Create() const;
    // File (or a folder named without the trailing "/"): removed, failing with
    // the deletion error and the path. Folder: contents recursively, then the
    // folder (errors on the folder itself are ignored). A missing path is no error.
    void Delete() const;
    // Deletes every file of this path's folder whose name matches the wildcard
    // pattern without regard to case ("*.*" matches every file); subfolders stay.
    void DeleteMatching(const char* pattern = "*.*") const;
    // Renames this file to target, replacing a file there; fails with the
    // rename error and both paths.
    void MoveTo(const XFileSpec& target) const;
    // Renames this file to target, never replacing a file there (the error is
    // then EEXIST), and makes the new name durable before returning.
    void MoveToNew(const XFileSpec& target) const;

    bool operator==(const XFileSpec& o) const { return path_ == o.path_; }
    bool operator!=(const XFileSpec& o) const { return path_ != o.path_; }

    // Windows-style wildcard match ("*", "?"), case-insensitive; "*.*" matches all.
    static bool MatchPattern(const char* pattern, const char* name);

private:
    void Assign(const XString& path);

    XString path_;
    int filePos_ = -1; // start of the file name, -1 for a folder
};
