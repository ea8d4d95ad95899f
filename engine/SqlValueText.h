#pragma once

#include "XString.h"

// District, school and year values come from the command line and go into SQL
// text. These helpers keep them from changing the statement: a value inside a
// quoted literal has its single quotes doubled, and a value written without
// quotes has to be a whole number.

// "'" + text with every "'" doubled + "'"; "001" gives '001'.
XString SqlQuoted(const XString& text);

// Digits with an optional leading "-"; "" is not a whole number.
bool IsWholeNumber(const XString& text);

// The message for a value that a dialect writes without quotes but that is
// not a whole number, naming the parameter, the value and the database type.
XString NotWholeNumberMessage(const char* parameter, const XString& value, const XString& typeName);
