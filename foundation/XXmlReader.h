#pragma once

#include <memory>
#include <vector>

#include "XFileSpec.h"
#include "XString.h"

class QXmlStreamReader;

// Reads the flat XML files XXmlWriter writes (bytes in Windows-1252, CR LF or
// LF line ends): checks the root element, then steps through the elements
// below it giving each name and its attributes, entities resolved.
class XXmlReader
{
public:
    struct Attribute
    {
        XString name;
        XString value;
    };

    XXmlReader();
    ~XXmlReader();

    // False when the file does not exist or its root element is not root.
    // Read failures throw XException.
    bool Open(const XFileSpec& file, const char* root);
    // Moves to the next element; false when there is none. A malformed file
    // throws XException.
    bool Next();
    const XString& Name() const { return name_; }
    int AttributeCount() const { return static_cast<int>(attributes_.size()); }
    const XString& AttributeName(int index) const { return attributes_[index].name; }
    const XString& AttributeValue(int index) const { return attributes_[index].value; }
    const std::vector<Attribute>& Attributes() const { return attributes_; }
    // The value of the attribute of that exact name, or nullptr.
    const XString* Value(const char* attribute) const;
    void Close();

private:
    std::unique_ptr<QXmlStreamReader> xml_;
    XString name_;
    std::vector<Attribute> attributes_;
};
