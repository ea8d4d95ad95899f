#pragma once

// Starts tsisbridge in a sandbox without waiting, for runs the test meets
// while they are under way (a second run, a stop signal, a time limit).

#include "BridgeProcess.h"

#include <signal.h>
#include <time.h>

struct Launched
{
    std::string program = TSISBRIDGE_EXE; // found through PATH when it has no "/"
    pid_t pid = -1;
    QString outFile;
    QString errFile;
};

// The arguments as bytes, so a test can pass what is no UTF-8.
inline Launched launchBridgeBytes(const BridgeSandbox& box, std::vector<QByteArray> args, Launched launched,
                                  const QStringList& extraEnv = {})
{
    std::vector<char*> argv;
    for (QByteArray& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    // An added entry replaces one of the same name.
    std::vector<std::string> env = box.environment();
    for (const QString& e : extraEnv)
    {
        const std::string entry = e.toStdString();
        const std::string name = entry.substr(0, entry.find('=') + 1);
        std::erase_if(env, [&name](const std::string& old) { return old.rfind(name, 0) == 0; });
        env.push_back(entry);
    }
    std::vector<char*> envp;
    for (std::string& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const QByteArray out = QFile::encodeName(launched.outFile);
    const QByteArray err = QFile::encodeName(launched.errFile);
    const QByteArray home = QFile::encodeName(box.path());
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, err.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    // Relative paths land in the sandbox.
    posix_spawn_file_actions_addchdir_np(&actions, home.constData());
    if (posix_spawnp(&launched.pid, launched.program.c_str(), &actions, nullptr, argv.data(), envp.data()) !=
        0)
        launched.pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return launched;
}

inline Launched launchBridge(const BridgeSandbox& box, const QStringList& arguments, const QString& name,
                             const QStringList& extraEnv = {})
{
    Launched launched;
    launched.outFile = box.path(name + QStringLiteral(".out"));
    launched.errFile = box.path(name + QStringLiteral(".err"));
    std::vector<QByteArray> args{QByteArray(TSISBRIDGE_EXE)};
    for (const QString& a : arguments)
        args.push_back(a.toUtf8());
    return launchBridgeBytes(box, args, launched, extraEnv);
}

// The raw wait status, or -1 when the process had to be killed after the time limit.
inline int waitBridge(const Launched& launched, int seconds)
{
    timespec pause{0, 10 * 1000 * 1000};
    for (int i = 0; i < seconds * 100; ++i)
    {
        int status = 0;
        if (waitpid(launched.pid, &status, WNOHANG) == launched.pid)
            return status;
        nanosleep(&pause, nullptr);
    }
    kill(launched.pid, SIGKILL);
    int status = 0;
    waitpid(launched.pid, &status, 0);
    return -1;
}

// Waits until the file holds the text; false after the time limit.
inline bool waitForText(const QString& file, const QString& text, int seconds)
{
    timespec pause{0, 20 * 1000 * 1000};
    for (int i = 0; i < seconds * 50; ++i)
    {
        if (BridgeSandbox::readText(file).contains(text))
            return true;
        nanosleep(&pause, nullptr);
    }
    return false;
}

// The environment that preloads the fault library for one folder. (A sanitizer
// build would refuse a library preloaded ahead of its runtime.)
inline QStringList faultEnv(const QString& fault, const QString& folder)
{
    return {QStringLiteral("LD_PRELOAD=" OUTPUT_FAULTS_LIB), QStringLiteral("TSIS_FAULT=") + fault,
            QStringLiteral("TSIS_FAULT_DIR=") + folder,
            QStringLiteral("ASAN_OPTIONS=verify_asan_link_order=0:") + qEnvironmentVariable("ASAN_OPTIONS")};
}
