#include "StudentNoteAssembler.h"

void StudentNoteAssembler::Start(const XString& student, const XString& page, const XString& text)
{
    student_ = student;
    page_ = page;
    text_ = text;
}

bool StudentNoteAssembler::Add(const XString& student, const XString& page, const XString& text,
                               const XString& keyword, StudentNoteLine& finished)
{
    if (student_.IsEmpty())
    {
        Start(student, page, text);
        return false;
    }
    if (student != student_ || page != page_)
    {
        finished = StudentNoteLine{student_, page_, "NORMAL",
                                   keyword.IsEmpty() ? XString("Family Note") : keyword, text_};
        Start(student, page, text);
        return true;
    }
    text_.Append(" ");
    text_.Append(text);
    return false;
}

bool StudentNoteAssembler::Finish(StudentNoteLine& finished)
{
    if (student_.IsEmpty())
        return false;
    finished = StudentNoteLine{student_, page_, "NORMAL", "Family Note", text_};
    student_ = "";
    page_ = "";
    text_ = "";
    return true;
}
