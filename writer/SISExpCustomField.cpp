#include "SISExpCustomField.h"

namespace
{
XString Quoted(const XString& text)
{
    XString clean(text);
    clean.RemoveChars("\"");
    return clean.DoubleQuoted();
}
} // namespace

XString SISExpCustomField::Line(bool commented) const
{
    XString command(m_command);
    command.RemoveChars("\"");
    XString line;
    if (commented)
        line.Append("//");
    line.Append(command);
    line.Append(" ");
    line.Append(Quoted(m_title));
    line.Append(" ");
    line.Append(Quoted(m_label));
    line.Append(" ");
    line.Append(Quoted(m_source));
    line.Append("\r\n");
    return line;
}
