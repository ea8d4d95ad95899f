#pragma once

#include "XString.h"

// A table of a query; the data access layer supplies the concrete kind.
class DataAccessTable
{
public:
    virtual ~DataAccessTable() = default;
    virtual XString SqlName() const = 0;
};
