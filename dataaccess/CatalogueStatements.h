#pragma once

#include "XString.h"

// The statements that ask a database whether a table or a field exists, and
// how their outcome is read.
namespace CatalogueStatements
{
enum class Verdict
{
    Opens, // the statement runs
    Rows,  // it runs and returns at least one record
    Value  // its first record's first column is a number above 0
};

struct Probe
{
    bool defined = false; // false: the type has no statement
    XString trial;        // when set: run first; when it opens it is the statement, else `fallback` is
    XString statement;
    XString fallback;
    Verdict verdict = Verdict::Opens;
};

Probe ForTable(int type, const XString& table);
Probe ForField(int type, const XString& table, const XString& field);

// The statement that lists every table with its columns; "" for types without one.
XString SchemaStatement(int type);

// Postgres names given in double quotes become literals in single quotes.
XString DoubleToSingleQuotes(const XString& name);
} // namespace CatalogueStatements
