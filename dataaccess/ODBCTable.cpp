#include "ODBCTable.h"

ODBCTable::ODBCTable(const XString& name, const XString& alias) : ODBCTable(name, name, alias) {}

ODBCTable::ODBCTable(const XString& fullName, const XString& name, const XString& alias)
    : fullName_(fullName), name_(name), alias_(alias.IsEmpty() ? fullName : alias)
{
}

ODBCTable::~ODBCTable() = default;

XString ODBCTable::FromText() const
{
    if (alias_ == fullName_)
        return fullName_;
    return fullName_ + " " + alias_;
}
