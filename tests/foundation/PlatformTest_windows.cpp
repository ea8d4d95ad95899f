// What the Windows side of the platform layer does that Linux has nothing alike for.
#include <gtest/gtest.h>

#include <QDir>
#include <QStandardPaths>
#include <QStringEncoder>

#include <shlobj.h>
#include <windows.h>

#include <thread>

#include "FoundationTestFolder.h"
#include "XException.h"
#include "XFileSpec.h"
#include "XSystemPath.h"
#include "platform/NativeFile.h"
#include "platform/ProcessGuards.h"
#include "platform/ShellFolders.h"

namespace
{
// A reader that lets nobody delete or replace the file, as a virus scanner may hold it.
HANDLE HoldOpen(const std::string& path)
{
    return CreateFileW(XSystemPath::FromText(QString::fromStdString(path)).c_str(), GENERIC_READ,
                       FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
}
} // namespace

TEST(WindowsPlatform, ApplicationDataIsTheRoamingFolder)
{
    const QString folder = ShellFolders::ApplicationData();
    EXPECT_TRUE(folder.endsWith(QStringLiteral("/AppData/Roaming"), Qt::CaseInsensitive))
        << qPrintable(folder);
    // Qt's generic data folder is the local one, which stays on the machine.
    EXPECT_NE(folder, QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
}

TEST(WindowsPlatform, ConsoleTextIsInTheAnsiCodePage)
{
    const QString text = QStringLiteral("Sch\u00fcler \u0141ukasz");
    char ansi[64] = {};
    const int n = WideCharToMultiByte(CP_ACP, 0, reinterpret_cast<const wchar_t*>(text.utf16()),
                                      static_cast<int>(text.size()), ansi, sizeof ansi, nullptr, nullptr);
    QStringEncoder console(QStringConverter::System);
    EXPECT_EQ(QByteArray(console(text)), QByteArray(ansi, n));
}

TEST(WindowsPlatform, ALockedFileStaysReadableAndASecondLockWaits)
{
    FoundationTestFolder tmp;
    const auto path = XSystemPath::FromText(QString::fromStdString(tmp.Path("BridgeStatus.tmp")));
    const int first = NativeFile::Open(path, NativeFile::Mode::ReadWrite);
    ASSERT_GE(first, 0);
    ASSERT_EQ(NativeFile::TryLock(first), NativeFile::Lock::Taken);
    ASSERT_TRUE(NativeFile::WriteAt(first, "Extract Running", 15, 0));
    // Windows locks hold against every other handle, another process's as this one.
    const int second = NativeFile::Open(path, NativeFile::Mode::ReadWrite);
    ASSERT_GE(second, 0);
    EXPECT_EQ(NativeFile::TryLock(second), NativeFile::Lock::Busy);
    EXPECT_EQ(FoundationTestFolder::ReadBytes(tmp.Path("BridgeStatus.tmp")), "Extract Running");
    NativeFile::Close(first);
    EXPECT_EQ(NativeFile::TryLock(second), NativeFile::Lock::Taken);
    NativeFile::Close(second);
}

TEST(WindowsPlatform, ADestinationHeldOpenIsWaitedForThenNamedInTheError)
{
    FoundationTestFolder tmp;
    const std::string target = tmp.Path("Students.sef");
    const std::string fresh = tmp.Path("Students.sef.tmp");
    FoundationTestFolder::WriteBytes(target, "old");
    FoundationTestFolder::WriteBytes(fresh, "new");

    // Held for a moment: the file is replaced once the reader lets go.
    HANDLE held = HoldOpen(target);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    std::thread release(
        [held]
        {
            Sleep(500);
            CloseHandle(held);
        });
    EXPECT_NO_THROW(XFileSpec(fresh.c_str()).MoveTo(XFileSpec(target.c_str())));
    release.join();
    EXPECT_EQ(FoundationTestFolder::ReadBytes(target), "new");

    // Held for good: a clear error naming both files, and nothing half written.
    FoundationTestFolder::WriteBytes(fresh, "newer");
    held = HoldOpen(target);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    try
    {
        XFileSpec(fresh.c_str()).MoveTo(XFileSpec(target.c_str()));
        ADD_FAILURE() << "a file held open was replaced";
    }
    catch (const XException& e)
    {
        EXPECT_EQ(std::string(e.what()), "Could not rename " + fresh + " to " + target);
    }
    CloseHandle(held);
    EXPECT_EQ(FoundationTestFolder::ReadBytes(target), "new");
    EXPECT_EQ(FoundationTestFolder::ReadBytes(fresh), "newer");
}

TEST(WindowsPlatform, FoldersAreMadeUnderDrivesAndLongNames)
{
    FoundationTestFolder tmp;
    // A share names its root by server and share; the engine keeps the slashes.
    const XFileSpec share("\\\\server\\share\\TSIS\\Students.sef");
    EXPECT_STREQ("//server/share/TSIS/Students.sef", share.Path());
    EXPECT_STREQ("//server/share/TSIS/", share.Parent().Path());
    // Near the 260-character limit the system is handed the long form.
    std::string deep = tmp.Path("");
    while (deep.size() < 240)
        deep += "Sch\xfcler Folder/";
    deep += std::string(255 - deep.size(), 'x') + "/";
    EXPECT_NO_THROW(XFileSpec(deep.c_str()).Create());
    EXPECT_TRUE(std::filesystem::is_directory(XSystemPath::FromEngine(XString(deep.c_str()))));
}

TEST(WindowsPlatform, MaskedValuesLeaveTheCommandLineOthersSee)
{
    // ctest starts each test with --gtest_filter=<name>: that value stands in for a password.
    const QString line = QString::fromWCharArray(GetCommandLineW());
    if (!line.contains(QStringLiteral("--gtest_filter=")))
        GTEST_SKIP() << "run without --gtest_filter";
    ProcessGuards::MaskCommandLineValues({QStringLiteral("GTEST_FILTER")});
    const QString masked = QString::fromWCharArray(GetCommandLineW());
    const qsizetype at = masked.indexOf(QStringLiteral("--gtest_filter=")) + 15;
    EXPECT_EQ(masked.size(), line.size());
    EXPECT_EQ(masked.mid(at, 5), QStringLiteral("*****")) << qPrintable(masked);
    EXPECT_FALSE(masked.contains(QStringLiteral("MaskedValues"))) << qPrintable(masked);
    EXPECT_FALSE(QString::fromLocal8Bit(GetCommandLineA()).contains(QStringLiteral("MaskedValues")));
}
