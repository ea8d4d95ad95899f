#pragma once

#include "SISExpCustomField.h"
#include "SISExpHeader.h"
#include "XVector.h"

// Custom fields in the order they were registered, each title once, with the
// header of the table that carries their values and the name of the
// custom-field file that describes them. The list owns its fields.
class SISExpCustomFieldList : public XVector<SISExpCustomField>
{
public:
    SISExpCustomFieldList();
    // fileName: the custom-field file (for instance "StudentCustom.txt");
    // title and dataFileName: the header of the table with the values.
    SISExpCustomFieldList(const XString& fileName, const XString& title, const XString& dataFileName,
                          int flag = 0);
    SISExpCustomFieldList(const SISExpCustomFieldList&) = delete;
    SISExpCustomFieldList& operator=(const SISExpCustomFieldList&) = delete;
    ~SISExpCustomFieldList() override;

    // False (and nothing changes) when the title is already in the list.
    bool Add(const XString& title, const XString& label, const XString& command, const XString& source,
             bool commented = false);
    // The header name and the custom field in one call.
    bool AddHeaderAndField(const XString& headerName, const XString& title, const XString& label,
                           const XString& command, const XString& source, bool commented = false);
    void AddHeaderName(const XString& name) { m_header.AddName(name); }
    bool HasTitle(const XString& title) const;

    // Drops every field and header name; title, file names and flag stay.
    void Empty();

    SISExpHeader& Header() { return m_header; }
    const SISExpHeader& Header() const { return m_header; }
    const XString& FileName() const { return m_fileName; }
    void SetFileName(const XString& fileName) { m_fileName = fileName; }
    int Flag() const { return m_flag; }
    void SetFlag(int flag) { m_flag = flag; }

private:
    XVector<XString> m_titles;
    SISExpHeader m_header;
    XString m_fileName;
    int m_flag = 0;
};
