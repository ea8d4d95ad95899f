#include "SISExpCustomFieldList.h"

#include <memory>

SISExpCustomFieldList::SISExpCustomFieldList() : XVector<SISExpCustomField>(20), m_titles(20, CompareXStrings)
{
}

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
    auto field = std::make_unique<SISExpCustomField>(title, label, command, source, commented);
    auto key = std::make_unique<XString>(title);
    Append(field.get());
    field.release();
    try
    {
        m_titles.InsertSorted(key.get());
    }
    catch (...)
    {
        delete RemoveAt(Count() - 1);
        throw;
    }
    key.release();
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
