#pragma once

#include "XString.h"

// One line of StudentNotes.sef.
struct StudentNoteLine
{
    XString student;
    XString page;
    XString severity;
    XString title;
    XString text;
};

// Joins the SY055 note lines of one student and page into one note. Records
// arrive ordered by student, page and line; a note ends when the student or
// the page changes. The finished note takes as its title the keyword of the
// record that starts the next note ("Family Note" when that keyword is empty),
// and the last note of all is titled "Family Note".
class StudentNoteAssembler
{
public:
    // Feeds one record; true when it finished the note before it, which is
    // then in `finished`.
    bool Add(const XString& student, const XString& page, const XString& text, const XString& keyword,
             StudentNoteLine& finished);
    // True when a note is still open; it is then in `finished`.
    bool Finish(StudentNoteLine& finished);

private:
    void Start(const XString& student, const XString& page, const XString& text);

    XString student_;
    XString page_;
    XString text_;
};
