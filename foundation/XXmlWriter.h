#pragma once

#include "XTextFile.h"

// Writes a flat XML file: the root start tag, one element per line with one
// attribute, the end tag; every line ends with CR LF. Values are escaped, so
// a folder name with a quote or an ampersand reads back as it was written.
class XXmlWriter
{
public:
    XXmlWriter() = default;
    ~XXmlWriter(); // finishes the file if Close() was not called; errors dropped

    // Creates or truncates the file, optionally writes the declaration
    // "<?xml version=\"1.0\"?>" and two CR LF, then "<" + root + ">".
    void Open(const XFileSpec& file, const char* root, bool declaration = false);
    // "<" + name + " " + attribute + "=\"" + value + "\"/>"
    void WriteElement(const char* name, const char* attribute, const char* value);
    void WriteElement(const XString& name, const XString& attribute, const XString& value)
    {
        WriteElement(name.Text(), attribute.Text(), value.Text());
    }
    // "</" + root + ">", then closes the file.
    void Close();

    // & < > " as entities; an apostrophe stays, the values are in double quotes.
    static XString Escape(const char* value);

private:
    XTextFile file_;
    XString root_;
    bool open_ = false;
};
