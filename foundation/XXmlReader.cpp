#include "XXmlReader.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

#include "XTextFile.h"

namespace
{
bool IsNameChar(char c)
{
    return c != '\0' && !std::isspace(static_cast<unsigned char>(c)) && c != '/' && c != '>' && c != '=' &&
           c != '<';
}
} // namespace

bool XXmlReader::Open(const XFileSpec& file, const char* root)
{
    Close();
    struct stat st
    {
    };
    if (file.IsFolder() || stat(file.Path(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;

    XTextFile text('\t');
    text.Open(file, XFile::kRead);
    XString line;
    while (text.ReadLine(line))
    {
        content_ += line.Std();
        content_ += '\n';
    }
    text.Close();

    root_ = root;
    pos_ = 0;
    XString name;
    std::vector<Attribute> attributes;
    bool closing = false, selfClosing = false;
    if (!ParseTag(name, attributes, closing, selfClosing))
        return false;
    if (closing || name != root_)
        return false;
    open_ = !selfClosing;
    if (selfClosing)
        pos_ = content_.size();
    return true;
}

void XXmlReader::SkipSpace()
{
    while (pos_ < content_.size() && std::isspace(static_cast<unsigned char>(content_[pos_])))
        ++pos_;
}

// Reads the next tag, skipping text, declarations and comments. False at the end.
bool XXmlReader::ParseTag(XString& name, std::vector<Attribute>& attributes, bool& closing, bool& selfClosing)
{
    name = XString();
    attributes.clear();
    closing = selfClosing = false;
    for (;;)
    {
        pos_ = content_.find('<', pos_);
        if (pos_ == std::string::npos)
        {
            pos_ = content_.size();
            return false;
        }
        if (content_.compare(pos_, 4, "<!--") == 0)
        {
            size_t end = content_.find("-->", pos_ + 4);
            pos_ = end == std::string::npos ? content_.size() : end + 3;
            continue;
        }
        if (content_.compare(pos_, 2, "<?") == 0 || content_.compare(pos_, 2, "<!") == 0)
        {
            size_t end = content_.find('>', pos_);
            pos_ = end == std::string::npos ? content_.size() : end + 1;
            continue;
        }
        break;
    }
    ++pos_;
    if (pos_ < content_.size() && content_[pos_] == '/')
    {
        closing = true;
        ++pos_;
    }
    size_t start = pos_;
    while (pos_ < content_.size() && IsNameChar(content_[pos_]))
        ++pos_;
    name = XString(content_.substr(start, pos_ - start));
    if (name.IsEmpty())
        throw XException("Malformed XML: a tag without a name");
    for (;;)
    {
        SkipSpace();
        if (pos_ >= content_.size())
            throw XException("Malformed XML: unterminated tag <" + name + ">");
        if (content_[pos_] == '>')
        {
            ++pos_;
            return true;
        }
        if (content_.compare(pos_, 2, "/>") == 0)
        {
            pos_ += 2;
            selfClosing = true;
            return true;
        }
        start = pos_;
        while (pos_ < content_.size() && IsNameChar(content_[pos_]))
            ++pos_;
        Attribute attribute;
        attribute.name = XString(content_.substr(start, pos_ - start));
        SkipSpace();
        if (attribute.name.IsEmpty() || pos_ >= content_.size() || content_[pos_] != '=')
            throw XException("Malformed XML: bad attribute in <" + name + ">");
        ++pos_;
        SkipSpace();
        if (pos_ >= content_.size() || (content_[pos_] != '"' && content_[pos_] != '\''))
            throw XException("Malformed XML: unquoted value in <" + name + ">");
        const char quote = content_[pos_++];
        size_t end = content_.find(quote, pos_);
        if (end == std::string::npos)
            throw XException("Malformed XML: unterminated value in <" + name + ">");
        const XString raw(content_.substr(pos_, end - pos_));
        attribute.value = unescape_ ? Unescape(raw.Text()) : raw;
        pos_ = end + 1;
        attributes.push_back(attribute);
    }
}

bool XXmlReader::Next()
{
    name_ = XString();
    attributes_.clear();
    while (open_)
    {
        XString name;
        std::vector<Attribute> attributes;
        bool closing = false, selfClosing = false;
        if (!ParseTag(name, attributes, closing, selfClosing))
            throw XException("Malformed XML: missing </" + root_ + ">");
        if (closing)
        {
            if (name == root_)
                open_ = false;
            continue; // the end of a child written with a separate end tag
        }
        name_ = name;
        attributes_.swap(attributes);
        return true;
    }
    return false;
}

const XString* XXmlReader::Value(const char* attribute) const
{
    for (const Attribute& a : attributes_)
        if (a.name == attribute)
            return &a.value;
    return nullptr;
}

void XXmlReader::Close()
{
    content_.clear();
    pos_ = 0;
    open_ = false;
    name_ = XString();
    attributes_.clear();
}

XString XXmlReader::Unescape(const char* value)
{
    static const struct
    {
        const char* entity;
        char c;
    } kEntities[] = {{"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
    XString out;
    for (const char* p = value ? value : ""; *p;)
    {
        if (*p != '&')
        {
            out += *p++;
            continue;
        }
        bool done = false;
        for (const auto& e : kEntities)
        {
            size_t n = std::strlen(e.entity);
            if (std::strncmp(p, e.entity, n) == 0)
            {
                out += e.c;
                p += n;
                done = true;
                break;
            }
        }
        if (!done && p[1] == '#')
        {
            const bool hex = p[2] == 'x' || p[2] == 'X';
            char* end = nullptr;
            long code = std::strtol(p + (hex ? 3 : 2), &end, hex ? 16 : 10);
            if (end && *end == ';' && end > p + (hex ? 3 : 2))
            {
                out += (code > 0 && code < 256) ? static_cast<char>(code) : '?';
                p = end + 1;
                done = true;
            }
        }
        if (!done)
            out += *p++;
    }
    return out;
}
