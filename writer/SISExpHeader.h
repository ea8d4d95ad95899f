#pragma once

#include <vector>

#include "XFile.h"
#include "XString.h"

// The header of one import table: its title, its data file and the names of
// its fields in column order. A name of the form Name$="value" is a constant
// that has no column in the data lines.
class SISExpHeader
{
public:
    SISExpHeader() = default;
    SISExpHeader(const XString& title, const XString& fileName, bool safeInclude = false)
        : m_title(title), m_fileName(fileName), m_safeInclude(safeInclude)
    {
    }
    virtual ~SISExpHeader() = default;

    void AddName(const XString& name) { m_names.push_back(name); }
    void ClearNames() { m_names.clear(); }
    bool HasNames() const { return !m_names.empty(); }
    const std::vector<XString>& Names() const { return m_names; }

    const XString& Title() const { return m_title; }
    void SetTitle(const XString& title) { m_title = title; }
    const XString& FileName() const { return m_fileName; }
    void SetFileName(const XString& fileName) { m_fileName = fileName; }
    bool SafeInclude() const { return m_safeInclude; }
    void SetSafeInclude(bool safe) { m_safeInclude = safe; }

    // "// " + title, then the names joined by TAB; every line ends with CR LF.
    void WriteHeader(XFile& file) const;
    // Only when there are names: the header, the include line and "*".
    void WriteBlock(XFile& file) const;

private:
    std::vector<XString> m_names;
    XString m_title;
    XString m_fileName;
    bool m_safeInclude = false;
};
