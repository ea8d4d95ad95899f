#include "XXmlWriter.h"

XXmlWriter::~XXmlWriter()
{
    try
    {
        Close();
    }
    catch (const XException&)
    {
        // Nothing to report to from a destructor.
    }
}

void XXmlWriter::Open(const XFileSpec& file, const char* root, bool declaration)
{
    Close();
    file_.Open(file, XFile::kWrite);
    root_ = root;
    if (declaration)
        file_.WriteText("<?xml version=\"1.0\"?>\r\n\r\n");
    file_.WriteText("<" + root_ + ">\r\n");
    open_ = true;
}

void XXmlWriter::WriteElement(const char* name, const char* attribute, const char* value)
{
    if (!open_)
        throw XException("XXmlWriter::WriteElement: no file is open");
    XString line("<");
    line += name;
    line += ' ';
    line += attribute;
    line += "=\"";
    line += Escape(value);
    line += "\"/>\r\n";
    file_.WriteText(line);
}

void XXmlWriter::Close()
{
    if (!open_)
        return;
    open_ = false;
    file_.WriteText("</" + root_ + ">\r\n");
    file_.Close();
}

XString XXmlWriter::Escape(const char* value)
{
    XString out;
    for (const char* p = value ? value : ""; *p; ++p)
    {
        switch (*p)
        {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += *p;
            break;
        }
    }
    return out;
}
