// Ctrl-Break ends the process as SIGTERM does on Linux: the handler runs on a
// thread of its own, its status becomes the exit status. Run in a child (this
// program again), since the handler ends the process that takes it.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <windows.h>

#include <cstdlib>
#include <string>

#include "platform/StopRequests.h"

namespace
{
const char* const kChildVariable = "TSIS_STOP_CHILD";

int OnStop(const char* name)
{
    QFile marker(QString::fromLocal8Bit(qgetenv(kChildVariable)));
    if (marker.open(QIODevice::WriteOnly))
        marker.write(name);
    marker.close();
    return 7;
}
} // namespace

TEST(WindowsStop, ChildWaitingForCtrlBreak)
{
    if (!qEnvironmentVariableIsSet(kChildVariable))
        GTEST_SKIP() << "run by WindowsStop.CtrlBreakEndsTheRunThroughItsHandler";
    StopRequests::Start(OnStop);
    QFile ready(QString::fromLocal8Bit(qgetenv(kChildVariable)) + QStringLiteral(".ready"));
    ASSERT_TRUE(ready.open(QIODevice::WriteOnly));
    ready.close();
    Sleep(30000);
    FAIL() << "no Ctrl-Break came";
}

TEST(WindowsStop, CtrlBreakEndsTheRunThroughItsHandler)
{
    // Wine hands console events only to programs on a console of its own.
    if (GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version"))
        GTEST_SKIP() << "Wine delivers no console control events to a program without a console";
    QTemporaryDir dir;
    const QString marker = dir.filePath(QStringLiteral("stopped"));
    wchar_t self[MAX_PATH];
    ASSERT_GT(GetModuleFileNameW(nullptr, self, MAX_PATH), 0u);
    std::wstring command =
        std::wstring(L"\"") + self + L"\" --gtest_filter=WindowsStop.ChildWaitingForCtrlBreak";
    ASSERT_TRUE(
        SetEnvironmentVariableW(L"TSIS_STOP_CHILD", reinterpret_cast<const wchar_t*>(marker.utf16())));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child{};
    const BOOL started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE,
                                        CREATE_NEW_PROCESS_GROUP, nullptr, nullptr, &startup, &child);
    SetEnvironmentVariableW(L"TSIS_STOP_CHILD", nullptr);
    ASSERT_TRUE(started);
    for (int i = 0; i < 300 && !QFile::exists(marker + QStringLiteral(".ready")); ++i)
        Sleep(100);
    ASSERT_TRUE(QFile::exists(marker + QStringLiteral(".ready")));
    ASSERT_TRUE(GenerateConsoleCtrlEvent(CTRL_BREAK_EVENT, child.dwProcessId));
    ASSERT_EQ(WaitForSingleObject(child.hProcess, 20000), WAIT_OBJECT_0);
    DWORD status = 0;
    GetExitCodeProcess(child.hProcess, &status);
    CloseHandle(child.hProcess);
    CloseHandle(child.hThread);
    EXPECT_EQ(status, 7u);
    QFile written(marker);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), QByteArray("SIGBREAK"));
}
