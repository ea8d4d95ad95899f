#include "SISExpCustomFieldList.h"

SISExpCustomFieldList::SISExpCustomFieldList() : XVector<SISExpCustomField>(20), m_titles(20, CompareXStrings) {}

SISExpCustomFieldList::SISExpCustomFieldList(const XString& fileName, const XString& title,
                                             const XString& dataFileName, int flag)
    : XVector<SISExpCustomField>(20), m_titles(20, CompareXStrings), m_header(title, dataFileName),
      m_fileName(fileName), m_flag(flag)
{
}

SISExpCustomFieldList::~SISExpCustomFieldList()
{
    Empty();
}

bool SISExpCustomFieldList::HasTitle(const XString& title) const
{
    return m_titles.Find(&title) != nullptr;
}

bool SISExpCustomFieldList::Add(const XString& title, const XString& label, const XString& command,
                                const XString& source, bool commented)
{
    if (HasTitle(title))
        return false;
    m_titles.InsertSorted(new XString(title));
    Append(new SISExpCustomField(title, label, command, source, commented));
    return true;
}

bool SISExpCustomFieldList::AddHeaderAndField(const XString& headerName, const XString& title,
                                              const XString& label, const XString& command,
                                              const XString& source, bool commented)
{
    if (!headerName.IsEmpty())
        m_header.AddName(headerName);
    return Add(title, label, command, source, commented);
}

void SISExpCustomFieldList::Empty()
{
    DeleteAll();
    m_titles.DeleteAll();
    m_header.ClearNames();
}
