#pragma once

class ODBCField;

// One ORDER BY term; the field is not owned.
class ODBCOrder
{
public:
    ODBCOrder(ODBCField* field, bool descending) : field_(field), descending_(descending) {}
    virtual ~ODBCOrder() = default;

    ODBCField* Field() const { return field_; }
    bool Descending() const { return descending_; }

private:
    ODBCField* field_;
    bool descending_;
};
