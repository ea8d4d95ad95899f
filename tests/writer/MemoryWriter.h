#pragma once

// A writer whose records come from rows held in memory, plus helpers for the
// writer tests: a temporary SDE folder, a fixed clock and captured signals.

#include <QDir>
#include <QTemporaryDir>

#include <algorithm>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "AppIdentity.h"
#include "QStringPrinter.h"
#include "SDEWriter.h"
#include "XClock.h"
#include "XException.h"

struct LogEntry
{
    int level;
    std::string message;
    std::string method;
};

class MemoryField : public DataAccessField
{
public:
    explicit MemoryField(const char* name) : name_(name) {}
    XString FieldName() const override { return name_; }

private:
    XString name_;
};

class MemoryWriter : public SDEWriter
{
public:
    using Row = std::vector<std::string>;

    std::vector<Row> rows;
    int cursor = -1;
    int openCount = 0;
    int clearCount = 0;
    XString query = "SELECT STD.ID, STD.NAME FROM ST010 STD";
    XString dataSource = "TSISDSN";
    std::vector<DataAccessField*> hooked;
    std::function<bool(ParamMap&, int, QString&)> body;
    std::vector<std::unique_ptr<MemoryField>> fields;

    using BridgeTaskBase::SetParams;

    void FilterAttendance(const XDate&, const XDate&) override {}
    void ResetAttendanceFilter() override {}
    void WriteCachedAttendance() override {}
    bool OpenTable(int) override
    {
        ++openCount;
        return true;
    }
    bool GetFirstRecord() override
    {
        cursor = 0;
        return !rows.empty();
    }
    bool GetNextRecord() override { return ++cursor < static_cast<int>(rows.size()); }
    void ClearQuery() override { ++clearCount; }
    XString BuildQuery() override { return query; }
    XString GetDataSource() override { return dataSource; }
    void ColumnHook(DataAccessField* field) override { hooked.push_back(field); }
    bool Execute(ParamMap& params, int flags, QString& errorText) override
    {
        return body ? body(params, flags, errorText) : SDEWriter::Execute(params, flags, errorText);
    }

    // The value of column index of the current row.
    XString Value(int index) const { return XString(rows.at(cursor).at(index)); }

    // A column over row index with its header name.
    MemoryField* AddValueColumn(const char* headerName, int index)
    {
        fields.push_back(std::make_unique<MemoryField>(headerName));
        MemoryField* field = fields.back().get();
        AddColumn(
            field, headerName, [this, index] { return Value(index); }, 0);
        AddHeaderField(headerName);
        return field;
    }
};

// Records every signal the tests look at.
struct SignalLog
{
    std::vector<LogEntry> logs;
    std::vector<std::string> increments;
    std::vector<std::string> warnings;
    std::vector<std::pair<std::string, int>> progress;
    std::vector<std::pair<std::string, std::string>> errors;

    void Attach(AppTaskBase& task)
    {
        QObject::connect(&task, &AppTaskBase::writeLog,
                         [this](int level, QString message, QString method) {
                             logs.push_back({level, message.toStdString(), method.toStdString()});
                         });
        QObject::connect(&task, &AppTaskBase::writeProgressIncrement,
                         [this](QString message) { increments.push_back(message.toStdString()); });
        QObject::connect(&task, &AppTaskBase::writeProgressWarning,
                         [this](QString message) { warnings.push_back(message.toStdString()); });
        QObject::connect(&task, &AppTaskBase::writeProgress,
                         [this](QString type, int total)
                         { progress.emplace_back(type.toStdString(), total); });
        QObject::connect(&task, &AppTaskBase::writeError,
                         [this](QString key, QString message)
                         { errors.emplace_back(key.toStdString(), message.toStdString()); });
    }
    bool Has(int level, const std::string& message) const
    {
        return std::any_of(logs.begin(), logs.end(),
                           [&](const LogEntry& entry)
                           { return entry.level == level && entry.message == message; });
    }
    int Count(const std::string& message) const
    {
        return static_cast<int>(std::count_if(
            logs.begin(), logs.end(), [&](const LogEntry& entry) { return entry.message == message; }));
    }
};

inline std::string ReadFileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

inline void WriteFileBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

// An expected file of tests/writer/golden.
inline std::string Golden(const std::string& name)
{
    return ReadFileBytes(TSIS_SOURCE_DIR "/tests/writer/golden/" + name);
}

// The text of the XException the step throws, "no exception" when it throws none.
template <typename Step> std::string ThrownText(Step step)
{
    try
    {
        step();
    }
    catch (const XException& e)
    {
        return e.what();
    }
    return "no exception";
}

inline XDateTime At(int year, int month, int day, int hour = 0, int minute = 0, int second = 0)
{
    return XDateTime(XDate(year, month, day), XTime(hour, minute, second));
}

// A writer on a fresh temporary SDE folder, with the application's identity
// values in its parameters and the clock fixed at 9 December 2026 10:11:12.
class WriterTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    ParamMap params;
    MemoryWriter writer;
    SignalLog signalLog;

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        XClock::SetFixed(At(2026, 12, 9, 10, 11, 12));
        params["path"] = dir.path();
        SetAppIdentity(params, "Nov 20 2014 16:13:20");
        writer.SetParams(&params);
        ASSERT_TRUE(writer.SetSDEFolder(XString(dir.path())));
        signalLog.Attach(writer);
    }
    void TearDown() override { XClock::Reset(); }

    std::string PathOf(const std::string& name) const { return dir.path().toStdString() + "/" + name; }
    std::string FileBytes(const std::string& name) const { return ReadFileBytes(PathOf(name)); }
    bool FileExists(const std::string& name) const { return std::ifstream(PathOf(name)).good(); }
    // The names in the SDE folder, or in a folder below it.
    QStringList Entries(const std::string& folder = "") const
    {
        return QDir(QString::fromStdString(PathOf(folder)))
            .entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    }
};
