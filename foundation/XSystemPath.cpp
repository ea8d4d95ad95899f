#include "XSystemPath.h"

#include <QByteArray>
#include <QString>

namespace
{
QString Decoded(const std::filesystem::path& name)
{
    const std::string& bytes = name.native();
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}
} // namespace

std::filesystem::path XSystemPath::FromEngine(const XString& path)
{
    const QByteArray utf8 = path.ToQString().toUtf8();
    return std::filesystem::path(std::string(utf8.constData(), static_cast<size_t>(utf8.size())));
}

bool XSystemPath::ToEngine(const std::filesystem::path& name, XString& out)
{
    const QString text = Decoded(name);
    if (!XString::FitsCodePage(text))
        return false;
    out = XString(text);
    return true;
}

XString XSystemPath::ToEngineText(const std::filesystem::path& name)
{
    return XString(Decoded(name));
}
