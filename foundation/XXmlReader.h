#pragma once

#include <vector>

#include "XFileSpec.h"
#include "XString.h"

// Reads the flat XML files XXmlWriter writes (CR LF or LF line ends): checks
// the root element, then steps through its child elements giving each name
// and its attributes. Values are returned as written unless unescaping is on.
class XXmlReader
{
public:
    struct Attribute
    {
        XString name;
        XString value;
    };

    XXmlReader() = default;

    // False when the file does not exist or its root element is not root.
    // Read failures throw XException.
    bool Open(const XFileSpec& file, const char* root);
    // Moves to the next child element; false when there is none.
    bool Next();
    const XString& Name() const { return name_; }
    int AttributeCount() const { return static_cast<int>(attributes_.size()); }
    const XString& AttributeName(int index) const { return attributes_[index].name; }
    const XString& AttributeValue(int index) const { return attributes_[index].value; }
    const std::vector<Attribute>& Attributes() const { return attributes_; }
    // The value of the attribute of that exact name, or nullptr.
    const XString* Value(const char* attribute) const;
    void Close();

    // Opt-in: when on, values go through Unescape().
    void SetUnescapeValues(bool on) { unescape_ = on; }
    // The five predefined entities and numeric references below 256.
    static XString Unescape(const char* value);

private:
    bool ParseTag(XString& name, std::vector<Attribute>& attributes, bool& closing, bool& selfClosing);
    void SkipSpace();

    std::string content_;
    size_t pos_ = 0;
    XString root_;
    XString name_;
    std::vector<Attribute> attributes_;
    bool open_ = false;
    bool unescape_ = false;
};
