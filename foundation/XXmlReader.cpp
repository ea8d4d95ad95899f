#include "XXmlReader.h"

#include <QString>
#include <QXmlStreamReader>
#include <filesystem>
#include <system_error>

#include "XSystemPath.h"
#include "XTextFile.h"

namespace
{
[[noreturn]] void Malformed(const QXmlStreamReader& xml)
{
    throw XException(XString("Malformed XML: ") + XString(xml.errorString()));
}

// Moves to the next start element; false at the end of the document.
bool NextStart(QXmlStreamReader& xml)
{
    while (!xml.atEnd())
    {
        if (xml.readNext() == QXmlStreamReader::StartElement)
            return true;
    }
    if (xml.hasError())
        Malformed(xml);
    return false;
}
} // namespace

XXmlReader::XXmlReader() = default;
XXmlReader::~XXmlReader() = default;

bool XXmlReader::Open(const XFileSpec& file, const char* root)
{
    Close();
    std::error_code ec;
    if (file.IsFolder() || !std::filesystem::is_regular_file(XSystemPath::FromEngine(file.PathString()), ec))
        return false;

    // Read as text, so a file from a Mac is converted like every other text file.
    XTextFile text('\t');
    text.Open(file, XFile::kRead);
    XString content;
    XString line;
    while (text.ReadLine(line))
    {
        content += line;
        content += '\n';
    }
    text.Close();

    xml_ = std::make_unique<QXmlStreamReader>(content.ToQString());
    // Names are taken as written, prefixes included.
    xml_->setNamespaceProcessing(false);
    try
    {
        if (!NextStart(*xml_) || xml_->qualifiedName() != QString::fromLatin1(root ? root : ""))
        {
            Close();
            return false;
        }
    }
    catch (const XException&)
    {
        Close();
        return false;
    }
    return true;
}

bool XXmlReader::Next()
{
    name_ = XString();
    attributes_.clear();
    if (!xml_ || !NextStart(*xml_))
        return false;
    name_ = XString(xml_->qualifiedName().toString());
    for (const QXmlStreamAttribute& attribute : xml_->attributes())
        attributes_.push_back(
            {XString(attribute.qualifiedName().toString()), XString(attribute.value().toString())});
    return true;
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
    xml_.reset();
    name_ = XString();
    attributes_.clear();
}
