#include "ODBCField.h"

#include "ODBCTable.h"

ODBCField::ODBCField(ODBCTable* table, const XString& name, int position)
    : table_(table), name_(name), position_(position)
{
}

ODBCField::~ODBCField() = default;

XString ODBCField::QualifiedName() const
{
    XString text;
    if (table_)
        text.Append(table_->Alias()).Append(".");
    return text.Append(name_);
}

XString ODBCField::SelectText() const
{
    XString text;
    if (!prefix_.IsEmpty())
        text.Append(prefix_).Append(" ");
    text.Append(QualifiedName());
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

XString ODBCField::OrderText() const
{
    return outputName_.IsEmpty() ? QualifiedName() : outputName_;
}
