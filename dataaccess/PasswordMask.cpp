#include "PasswordMask.h"

#include <cctype>
#include <string>
#include <vector>

namespace
{
bool IsWordChar(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

bool StartsNoCase(const std::string& s, std::size_t at, const char* word)
{
    for (std::size_t i = 0; word[i]; ++i)
        if (at + i >= s.size() || std::tolower(static_cast<unsigned char>(s[at + i])) !=
                                      std::tolower(static_cast<unsigned char>(word[i])))
            return false;
    return true;
}

// When a password key starts at "at", where its value starts; else npos.
std::size_t PasswordValueAt(const std::string& s, std::size_t at)
{
    if (at > 0 && IsWordChar(s[at - 1]))
        return std::string::npos;
    for (const char* key : {"password", "pwd"})
    {
        if (!StartsNoCase(s, at, key))
            continue;
        std::size_t i = at + std::char_traits<char>::length(key);
        while (i < s.size() && s[i] == ' ')
            ++i;
        if (i >= s.size() || s[i] != '=')
            return std::string::npos;
        ++i;
        while (i < s.size() && s[i] == ' ')
            ++i;
        return i;
    }
    return std::string::npos;
}

// A value of a connection string starting at "at": braced ("}}" a "}"),
// quoted (the quote doubled), or plain up to ";". Gives its end.
std::size_t ValueEnd(const std::string& s, std::size_t at, std::string& plain)
{
    std::size_t i = at;
    if (i < s.size() && (s[i] == '{' || s[i] == '"' || s[i] == '\''))
    {
        const char close = s[i] == '{' ? '}' : s[i];
        for (++i; i < s.size(); ++i)
        {
            if (s[i] != close)
            {
                plain += s[i];
                continue;
            }
            if (i + 1 < s.size() && s[i + 1] == close)
            {
                plain += close;
                ++i;
                continue;
            }
            return i + 1;
        }
        return i;
    }
    while (i < s.size() && s[i] != ';')
        plain += s[i++];
    // The parser of the connection string trims plain values.
    while (!plain.empty() && plain.back() == ' ')
        plain.pop_back();
    return i;
}

// The passwords of the connection string: each as written and as plain text.
std::vector<std::string> Passwords(const std::string& cs)
{
    std::vector<std::string> out;
    for (std::size_t at = 0; at < cs.size(); ++at)
    {
        std::size_t start = PasswordValueAt(cs, at);
        if (start == std::string::npos)
            continue;
        std::string plain;
        std::size_t end = ValueEnd(cs, start, plain);
        out.push_back(cs.substr(start, end - start));
        out.push_back(plain);
        at = end;
    }
    return out;
}
} // namespace

XString MaskEchoedPasswords(const XString& report, const XString& connectionString)
{
    const std::string& s = report.Std();
    const std::vector<std::string> known = Passwords(connectionString.Std());
    std::string out;
    std::size_t copied = 0;
    for (std::size_t at = 0; at < s.size(); ++at)
    {
        const std::size_t start = PasswordValueAt(s, at);
        if (start == std::string::npos)
            continue;
        std::size_t length = 0;
        for (const std::string& p : known)
            if (p.size() > length && s.compare(start, p.size(), p) == 0)
                length = p.size();
        if (length == 0)
        {
            while (start + length < s.size() &&
                   std::string(";'\" \t\r\n").find(s[start + length]) == std::string::npos)
                ++length;
        }
        if (length == 0)
            continue;
        out.append(s, copied, start - copied).append("****");
        copied = start + length;
        at = copied - 1;
    }
    out.append(s, copied, std::string::npos);
    return XString(out);
}
