#pragma once

#include <vector>

#include "XFileSpec.h"

// The entries of one folder whose names match a wildcard pattern (without
// regard to case), in name order. Folders whose names start with "." are skipped,
// and so are names that Windows-1252 cannot spell. A missing folder has no entries.
class XFolderIterator
{
public:
    enum Kinds
    {
        Files = 1,
        Folders = 2,
        FilesAndFolders = 3,
    };

    XFolderIterator(const XFileSpec& folder, const char* pattern = "*.*", int kinds = Files);

    // Moves to the next entry; false when there is none.
    bool Next();
    const char* Name() const;
    bool IsFolder() const;
    XFileSpec FileSpec() const; // full path; a folder's ends with "/"

private:
    struct Entry
    {
        XString name;
        bool folder;
    };
    XFileSpec folder_;
    std::vector<Entry> entries_;
    int index_ = -1;
};
