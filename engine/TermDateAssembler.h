#pragma once

#include "XString.h"

// One line of TermDates.sef; the second value (TermCalRef) is always empty.
struct TermDateLine
{
    XString code;
    XString name;
    XString start;
    XString end;
};

// Joins the periods of a term into one line. Records arrive ordered by term
// code and term number; a term starts at the begin date of its first period
// and ends at the end date of its last one.
class TermDateAssembler
{
public:
    // Feeds one period; true when it starts a new term after another one,
    // whose line is then in `finished`.
    bool Add(const XString& code, const XString& name, const XString& begin, const XString& end,
             TermDateLine& finished);
    // The open term; all values empty when no record came.
    const TermDateLine& Current() const { return current_; }

private:
    TermDateLine current_;
};
