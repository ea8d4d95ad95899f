#include "ODBCField.h"

#include "ODBCTable.h"
#include "SqlDialect.h"

ODBCField::ODBCField(ODBCTable* table, const XString& name, int position)
    : table_(table), name_(name), position_(position)
{
}

ODBCField::~ODBCField() = default;

XString ODBCField::QualifiedName(int databaseType) const
{
    XString text;
    if (table_)
        text.Append(table_->Alias()).Append(".");
    return text.Append(SqlDialect::Identifier(name_, databaseType));
}

XString ODBCField::SelectText(int databaseType) const
{
    XString text;
    if (!prefix_.IsEmpty())
        text.Append(prefix_).Append(" ");
    text.Append(QualifiedName(databaseType));
    if (!prefix_.IsEmpty())
    {
        // An expression without a suffix is a function call that needs closing.
        if (suffix_.IsEmpty())
            text.Append(")");
        else
            text.Append(" ").Append(suffix_);
    }
    if (!outputName_.IsEmpty())
        text.Append(" as ").Append(outputName_);
    return text;
}

XString ODBCField::OrderText(int databaseType) const
{
    return outputName_.IsEmpty() ? QualifiedName(databaseType) : outputName_;
}
