#include "ProcessGuards.h"

#include <windows.h>

#include <cstring>
#include <cwchar>

void ProcessGuards::KeepOutOfCoreDumps()
{
    // No crash dialog either, which would keep an unattended run waiting.
    SetErrorMode(GetErrorMode() | SEM_NOGPFAULTERRORBOX | SEM_FAILCRITICALERRORS);
}

void ProcessGuards::WithholdFromOthers() {}

namespace
{
// The value runs to the next blank, or to the closing quote when the argument is quoted.
template <typename Char, typename Compare>
void Mask(Char* line, const std::basic_string<Char>& prefix, Compare compareIgnoringCase, Char star)
{
    for (Char* p = line; p && *p; ++p)
    {
        const bool starts = p == line || p[-1] == Char(' ') || p[-1] == Char('\t') || p[-1] == Char('"');
        if (!starts || compareIgnoringCase(p, prefix.c_str(), prefix.size()) != 0)
            continue;
        const bool quoted = p != line && p[-1] == Char('"');
        for (p += prefix.size(); *p && *p != Char('"') && (quoted || (*p != Char(' ') && *p != Char('\t')));
             ++p)
            *p = star;
        if (!*p)
            break;
    }
}
} // namespace

void ProcessGuards::MaskCommandLineValues(const QStringList& keys)
{
    for (const QString& key : keys)
    {
        const QString prefix = QStringLiteral("--") + key + QLatin1Char('=');
        Mask(GetCommandLineW(), prefix.toStdWString(), _wcsnicmp, L'*');
        Mask(GetCommandLineA(), prefix.toLocal8Bit().toStdString(), _strnicmp, '*');
    }
}
