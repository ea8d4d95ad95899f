#pragma once

#include "DataAccessTable.h"
#include "XString.h"

// A table of a query: the name written into SQL, the name the existence
// checks look for, and the correlation name that qualifies its fields.
class ODBCTable : public DataAccessTable
{
public:
    // Full name and name are both `name`; an empty alias becomes the name.
    ODBCTable(const XString& name, const XString& alias);
    // An empty alias becomes the full name.
    ODBCTable(const XString& fullName, const XString& name, const XString& alias);
    ~ODBCTable() override;

    XString SqlName() const override { return fullName_; }

    const XString& FullName() const { return fullName_; }
    const XString& Name() const { return name_; }
    const XString& Alias() const { return alias_; }

    // As it appears in a FROM list: the full name, then the alias when it differs.
    XString FromText() const;

private:
    XString fullName_;
    XString name_;
    XString alias_;
};
