#include "SISExpHeader.h"

void SISExpHeader::WriteHeader(XFile& file) const
{
    XString text = XString("// ") + m_title + "\r\n";
    for (size_t i = 0; i < m_names.size(); ++i)
    {
        if (i > 0)
            text.Append('\t');
        text.Append(m_names[i]);
    }
    text.Append("\r\n");
    file.WriteText(text);
}

void SISExpHeader::WriteBlock(XFile& file) const
{
    if (!HasNames())
        return;
    WriteHeader(file);
    XString include =
        XString(m_safeInclude ? "#safeinclude " : "#include ") + m_fileName.DoubleQuoted() + "\r\n";
    file.WriteText(include);
    file.WriteText("*\r\n\r\n");
}
