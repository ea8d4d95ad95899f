#pragma once

#include <functional>

#include "DataAccessField.h"
#include "XString.h"

// One column of the table being written.
struct SDEColumn
{
    enum Command
    {
        None = 0,
        Constant = 1,  // writes text
        LineBreak = 2, // the record goes on on a new line
        Hook = 4,      // SDEWriter::ColumnHook with the field
    };

    DataAccessField* field = nullptr; // the query field that delivers the value, not owned
    XString text;                     // the field's name, or the value of a constant column
    std::function<XString()> value;   // the value for the current record; when empty, command decides
    int command = None;
};
