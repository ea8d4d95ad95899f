#pragma once

#include "XFile.h"
#include "XString.h"

// One custom field: a value shown in the handheld product on the tab that its
// command names ("#customcomfield" and so on).
class SISExpCustomField
{
public:
    SISExpCustomField() = default;
    SISExpCustomField(const XString& title, const XString& label, const XString& command,
                      const XString& source, bool commented = false)
        : m_title(title), m_label(label), m_command(command), m_source(source), m_commented(commented)
    {
    }
    virtual ~SISExpCustomField() = default;

    const XString& Title() const { return m_title; }
    const XString& Label() const { return m_label; }
    const XString& Command() const { return m_command; }
    const XString& Source() const { return m_source; }
    bool Commented() const { return m_commented; }

    // [//]command "title" "label" "source" CR LF; double quotes inside the
    // texts are dropped so that the line stays readable.
    XString Line(bool commented) const;
    void WriteLine(XFile& file, bool commented) const { file.WriteText(Line(commented)); }

private:
    XString m_title;
    XString m_label;
    XString m_command;
    XString m_source;
    bool m_commented = false;
};
