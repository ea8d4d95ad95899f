#pragma once

#include <QObject>
#include <QString>
#include <exception>
#include <string>
#include <vector>

#include "ODBCDataAccess.h"

// Collects the log lines a data access object emits.
struct DataAccessLogLine
{
    int level;
    std::string message;
    std::string method;
};

class DataAccessTestLog
{
public:
    explicit DataAccessTestLog(ODBCDataAccess& task)
    {
        connection_ = QObject::connect(
            &task, &AppTaskBase::writeLog,
            [this](int level, QString message, QString method) {
                lines.push_back({level, message.toLatin1().toStdString(), method.toLatin1().toStdString()});
            });
    }
    ~DataAccessTestLog() { QObject::disconnect(connection_); }
    DataAccessTestLog(const DataAccessTestLog&) = delete;
    DataAccessTestLog& operator=(const DataAccessTestLog&) = delete;

    bool Has(int level, const std::string& message) const
    {
        for (const DataAccessLogLine& l : lines)
            if (l.level == level && l.message == message)
                return true;
        return false;
    }
    bool AnyContains(const std::string& text) const
    {
        for (const DataAccessLogLine& l : lines)
            if (l.message.find(text) != std::string::npos || l.method.find(text) != std::string::npos)
                return true;
        return false;
    }
    std::vector<DataAccessLogLine> lines;

private:
    QMetaObject::Connection connection_;
};

// What a call throws, or "(nothing thrown)".
template <typename F> std::string ThrownText(F&& f)
{
    try
    {
        f();
    }
    catch (const std::exception& e)
    {
        return e.what();
    }
    return "(nothing thrown)";
}
