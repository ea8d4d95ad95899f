#include "BridgeTaskBase.h"

#include <filesystem>
#include <system_error>

#include "SchoolConfig.h"
#include "XException.h"

BridgeTaskBase::BridgeTaskBase(QObject* parent) : AppTaskBase(parent) {}

BridgeTaskBase::~BridgeTaskBase() = default;

void BridgeTaskBase::Log(int level, const XString& message, const XString& method)
{
    QString text = message.ToQString();
    emit writeLog(level, text, method.ToQString());
    if (level == 5)
        emit writeProgressIncrement(text);
    else if (level == 6)
        emit writeProgressWarning(text);
}

void BridgeTaskBase::PutJobText(const XString& text)
{
    emit writeProgressIncrement(text.ToQString());
    Log(7, text, "BridgeTaskBase::PutJobText");
}

void BridgeTaskBase::PutTotalText(const XString& text)
{
    Log(7, text, "BridgeTaskBase::PutTotalText");
}

XString BridgeTaskBase::Param(const char* key) const
{
    if (!m_params)
        return XString();
    return XString(m_params->value(QString::fromLatin1(key)));
}

void BridgeTaskBase::SetProgressCounts(int setup, int lookupTables, int import, int periodAttendance,
                                       int dailyAttendance)
{
    m_setupCount = setup;
    m_lookupCount = lookupTables;
    m_importCount = import;
    m_periodAttCount = periodAttendance;
    m_dailyAttCount = dailyAttendance;
}

bool BridgeTaskBase::SetSDEFolder(const XString& folder)
{
    XString given(folder);
    given.ReplaceChar('\\', '/');
    std::error_code ec;
    std::filesystem::path absolute;
    if (!given.IsEmpty())
        absolute = std::filesystem::absolute(std::filesystem::path(given.Std()), ec).lexically_normal();
    XString absoluteText(absolute.generic_string());
    // MakeFolder below adds the one trailing separator.
    absoluteText.TrimRight("/");
    if (absoluteText.IsEmpty() && !absolute.empty())
        absoluteText = "/";

    bool created = false;
    if (!given.IsEmpty() && !ec)
    {
        try
        {
            XFileSpec target(absoluteText);
            target.MakeFolder();
            target.Create();
            created = target.Exists();
            if (created)
                m_sdeFolder = target;
        }
        catch (const std::exception&)
        {
            created = false;
        }
    }
    if (created)
        return true;

    XString message = XString("Could not create sde folder: ") + absoluteText;
    Log(3, message, "BridgeTaskBase::SetSDEFolder");
    emit writeError(QStringLiteral("file"), message.ToQString());
    return false;
}

int BridgeTaskBase::CalculateProgressSize(int flags)
{
    const char* method = "BridgeTaskBase::CalculateProgressSize";
    if (m_setupCount <= 0)
        Log(7, "Calculating Progress Size: Setup total is 0 or less", method);
    if (m_lookupCount <= 0)
        Log(7, "Calculating Progress Size: LUT total is 0 or less", method);
    if (m_importCount <= 0)
        Log(7, "Calculating Progress Size: Import total is 0 or less", method);
    if (m_dailyAttCount <= 0)
        Log(7, "Calculating Progress Size: Daily Att total is 0 or less", method);
    if (m_periodAttCount <= 0)
        Log(7, "Calculating Progress Size: Period Att total is 0 or less", method);

    int total = m_setupCount + m_lookupCount + 2;
    if (flags & 1)
        total += m_importCount;
    if (flags & 2)
    {
        XDate today = XDate::Today();
        XDate updateDate = SchoolConfig::ReadUpdateDate(m_sdeFolder);
        if (updateDate.IsNull())
        {
            // The school year starts on 3 September.
            int year = today.Year();
            if (today.Month() < 9)
                --year;
            updateDate.SetYMD(year, 9, 3);
        }
        int units = today - updateDate;
        if (updateDate >= today)
            units = 1;
        else
            units = units / 6;
        if (units < 1)
            units = 1;
        if (Param("filterdaily") == "true" && m_dailyAttCount > 0)
            total += units * m_dailyAttCount + 1;
        if (Param("filterperiod") == "true" && m_periodAttCount > 0)
            total += units * m_periodAttCount + 1;
    }
    return total;
}

bool BridgeTaskBase::Execute(ParamMap& params, int flags, QString& errorText)
{
    (void)params;
    (void)flags;
    errorText = QStringLiteral("Execute not defined correctly in ExpEngine.");
    return false;
}

bool BridgeTaskBase::LoadList(QList<ListEntry>& entries, const QString& paramKey, ParamMap& params,
                              QString& errorText)
{
    (void)entries;
    (void)paramKey;
    (void)params;
    (void)errorText;
    Log(3, "Not set up yet.", "BridgeTaskBase::LoadList");
    return false;
}

bool BridgeTaskBase::BeginExecute(ParamMap& params, int flags, QString& errorText)
{
    const char* method = "BridgeTaskBase::BeginExecute";
    bool result = false;
    try
    {
        result = RunExecute(params, flags, errorText);
    }
    catch (const std::exception& e)
    {
        Log(7, "Caught Exception", method);
        Log(3, e.what(), method);
        // The caller reports errorText; an empty one would hide the cause.
        if (errorText.isEmpty())
            errorText = XString(e.what()).ToQString();
        result = false;
    }
    catch (...)
    {
        const char* message = "Execute failed for an unkown reason, please consult Vantrel support.";
        Log(3, message, method);
        if (errorText.isEmpty())
            errorText = QString::fromLatin1(message);
        result = false;
    }
    // The map belongs to the caller; nothing may reach it after the run.
    m_params = nullptr;
    return result;
}

bool BridgeTaskBase::RunExecute(ParamMap& params, int flags, QString& errorText)
{
    const char* method = "BridgeTaskBase::BeginExecute";
    Log(5, "Starting Execution...", method);
    m_params = &params;
    if (!SetSDEFolder(XString(params.value(QStringLiteral("path")))))
        return false;
    Log(7, XString("SDE Folder is: ") + m_sdeFolder.Path(), "");

    m_updateDate = SchoolConfig::ReadUpdateDate(m_sdeFolder);
    m_updateDateTime = SchoolConfig::ReadUpdateDateTime(m_sdeFolder);
    Log(7, XString("Update Date is: ") + m_updateDate.Format("MMM DD YYYY"), method);

    m_progressTotal = CalculateProgressSize(flags);
    emit writeProgress(QStringLiteral("start_progress"), m_progressTotal);

    bool ok = Execute(params, flags, errorText);
    if (!ok)
    {
        if (errorText.isEmpty())
            errorText = QStringLiteral("Bridge execution failed, consult logs for more information.");
        Log(3, XString(errorText), method);
    }
    return ok;
}
