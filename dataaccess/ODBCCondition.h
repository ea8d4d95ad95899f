#pragma once

#include "XString.h"

class ODBCField;

// One term of a WHERE clause (or of an ON clause when it compares two
// columns). The fields are not owned; the value is written into SQL as given.
class ODBCCondition
{
public:
    ODBCCondition(const XString& conjunction, ODBCField* field, const XString& op, ODBCField* secondField,
                  const XString& value, int level)
        : conjunction_(conjunction), field_(field), operator_(op), secondField_(secondField), value_(value),
          level_(level)
    {
    }
    virtual ~ODBCCondition() = default;

    const XString& Conjunction() const { return conjunction_; }
    ODBCField* Field() const { return field_; }
    const XString& Operator() const { return operator_; }
    ODBCField* SecondField() const { return secondField_; }
    const XString& Value() const { return value_; }
    int Level() const { return level_; }
    bool IsJoin() const { return secondField_ != nullptr; }

private:
    XString conjunction_;
    ODBCField* field_;
    XString operator_;
    ODBCField* secondField_;
    XString value_;
    int level_;
};
