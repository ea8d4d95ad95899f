#pragma once

#include "DataAccessField.h"
#include "XString.h"

class ODBCTable;

// A column of a query. Selected fields are read back from the result by
// position, so the position must be the field's place in the SELECT list.
// Fields built only as condition operands keep position 0 and sit in no list.
class ODBCField : public DataAccessField
{
public:
    ODBCField(ODBCTable* table, const XString& name, int position = 0);
    ~ODBCField() override;

    XString FieldName() const override { return name_; }

    ODBCTable* Table() const { return table_; }
    const XString& Name() const { return name_; }
    int Position() const { return position_; }
    void SetPosition(int position) { position_ = position; }

    const XString& OutputName() const { return outputName_; }
    void SetOutputName(const XString& outputName) { outputName_ = outputName; }
    const XString& Prefix() const { return prefix_; }
    void SetPrefix(const XString& prefix) { prefix_ = prefix; }
    const XString& Suffix() const { return suffix_; }
    void SetSuffix(const XString& suffix) { suffix_ = suffix; }

    // alias.name, the form used in conditions and orders; a name that is not
    // plain is quoted as the dialect of databaseType quotes identifiers.
    XString QualifiedName(int databaseType) const;
    // The form used in the SELECT list: prefix, qualified name, suffix, output name.
    XString SelectText(int databaseType) const;
    // What ORDER BY names: the output name when there is one.
    XString OrderText(int databaseType) const;

private:
    ODBCTable* table_;
    XString name_;
    XString outputName_;
    int position_;
    XString prefix_;
    XString suffix_;
};
