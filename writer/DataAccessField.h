#pragma once

#include "XString.h"

// A field of a query as the writer sees it: the data access layer supplies the
// concrete kind; the writer only needs its name for its logs.
class DataAccessField
{
public:
    virtual ~DataAccessField() = default;
    virtual XString FieldName() const = 0;
};
