#include "SqlValueText.h"

XString SqlQuoted(const XString& text)
{
    XString out("'");
    for (int i = 0; i < text.Length(); ++i)
    {
        if (text[i] == '\'')
            out.Append('\'');
        out.Append(text[i]);
    }
    out.Append('\'');
    return out;
}

bool IsWholeNumber(const XString& text)
{
    const std::string& s = text.Std();
    size_t i = (!s.empty() && s[0] == '-') ? 1 : 0;
    if (i >= s.size())
        return false;
    for (; i < s.size(); ++i)
        if (s[i] < '0' || s[i] > '9')
            return false;
    return true;
}

XString NotWholeNumberMessage(const char* parameter, const XString& value, const XString& typeName)
{
    return XString("The parameter ") + parameter + " must be a whole number for the database type " +
           typeName + ", but it is \"" + value + "\".";
}
