#include "OsDescription.h"

#include <QOperatingSystemVersion>
#include <QSysInfo>

QString osDescription()
{
    const QOperatingSystemVersion os = QOperatingSystemVersion::current();
    if (os.type() != QOperatingSystemVersion::Windows)
        return QSysInfo::prettyProductName();
    const int major = os.majorVersion();
    const int minor = os.minorVersion();
    if (major == 4)
        return QStringLiteral("Windows NT (operating system version 4.0)");
    if (major == 5 && minor == 0)
        return QStringLiteral("Windows 2000 (operating system version 5.0)");
    if (major == 5 && minor == 1)
        return QStringLiteral("Windows XP (operating system version 5.1)");
    if (major == 5 && minor == 2)
        return QStringLiteral("Windows Server 2003, Windows Server 2003 R2, Windows Home Server, Windows XP "
                              "Professional x64 Edition (operating system version 5.2)");
    if (major == 6 && minor == 0)
        return QStringLiteral("Windows Vista, Windows Server 2008 (operating system version 6.0)");
    if (major == 6 && minor == 1)
        return QStringLiteral("Windows 7 (operating system version 6.1)");
    if (major >= 6)
        return QStringLiteral("NT-based version of Windows");
    return QStringLiteral("No OS set.");
}
