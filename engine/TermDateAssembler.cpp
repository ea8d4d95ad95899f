#include "TermDateAssembler.h"

bool TermDateAssembler::Add(const XString& code, const XString& name, const XString& begin,
                            const XString& end, TermDateLine& finished)
{
    if (code == current_.code)
    {
        current_.end = end;
        return false;
    }
    const bool hadTerm = !current_.code.IsEmpty();
    if (hadTerm)
        finished = current_;
    current_ = TermDateLine{code, name, begin, end};
    return hadTerm;
}
