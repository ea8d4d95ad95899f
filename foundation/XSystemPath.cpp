#include "XSystemPath.h"

#include <QByteArray>
#include <type_traits>

namespace
{
// Native names are UTF-16 where the system's character is wide, else UTF-8
// (a name that is no valid UTF-8 keeps its other bytes readable). Templates,
// so only the branch of this system is compiled.
template <typename Path> constexpr bool kWide = std::is_same_v<typename Path::value_type, wchar_t>;

template <typename Path> QString Decoded(const Path& name)
{
    if constexpr (kWide<Path>)
        return QString::fromStdWString(name.native());
    else
    {
        const std::string& bytes = name.native();
        return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    }
}

template <typename Path> Path Encoded(const QString& path)
{
    if constexpr (kWide<Path>)
        return Path(path.toStdWString());
    else
    {
        const QByteArray utf8 = path.toUtf8();
        return Path(std::string(utf8.constData(), static_cast<size_t>(utf8.size())));
    }
}
} // namespace

std::filesystem::path XSystemPath::FromText(const QString& path)
{
    return Encoded<std::filesystem::path>(path);
}

std::filesystem::path XSystemPath::FromEngine(const XString& path)
{
    return FromText(path.ToQString());
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
