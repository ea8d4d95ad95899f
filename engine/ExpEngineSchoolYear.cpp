#include "DatabaseType.h"
#include "ExpEngine.h"
#include "SqlValueText.h"

namespace
{

// CAL_DT as a date: a date value as it is, anything else (a TSIS calendar
// keeps eight-digit numbers) read as its "YYYYMMDD" text.
XDate CalendarDate(ExpEngine& engine, DataAccessField* field)
{
    XDate date = engine.GetDate(field);
    if (date.IsNull())
    {
        XString text = engine.GetTrimmedText(field);
        if (text.Length() == 8 && text.IsDigits())
            date.Parse("YYYYMMDD", text.Text());
    }
    return date;
}

} // namespace

bool ExpEngine::YearIsQuoted() const
{
    return DatabaseType() == DatabaseType::MSSQL || DatabaseType() == DatabaseType::Access;
}

XString ExpEngine::FindCurrentSchoolYear()
{
    const char* fmt = Settings().dateFormat.Text();
    try
    {
        Log(7, "Finding Current School Year", "");
        Connect(BuildConnectionString(DataSource().Text(), User(), Password()));
        ClearQuery();

        ODBCTable* calendar = AddSisTable("CA005", "CA", true);
        ODBCField* dateField = AddField(calendar, "CAL_DT", false);
        ODBCField* yearField = AddField(calendar, "SCH_YR", false);
        ODBCField* dayField = AddField(calendar, "DAY_CD", false);
        AddCondition("AND", AddOperandField(calendar, "SCH_NBR"), "=", SchoolNumber());
        if (!DistrictNumber().IsEmpty())
            AddCondition("AND", AddOperandField(calendar, "DST_NBR"), "=", DistrictNumber());
        if (!SchoolYear().IsEmpty())
            AddCondition("AND", AddOperandField(calendar, "SCH_YR"), "=", SchoolYear());
        AddOrder(dateField, false);
        ScopedDistinct distinct(*this);

        const XDate today = XDate::Today();
        Log(8, "Today's Date:" + today.Format(fmt), "");
        StartWalk("School Year Calendar");
        const bool opened = RunCurrentQueryOk();
        distinct.Release();
        if (!opened)
            throw XException("The calendar query could not be run.");

        XString year;
        XDate start, end, last;
        bool afterStart = false;
        for (bool more = GetFirstRecord(); more; more = GetNextRecord())
        {
            const XDate date = CalendarDate(*this, dateField);
            const XString rowYear = GetTrimmedText(yearField);
            if (rowYear != year)
            {
                end.SetNull();
                start = date;
                year = rowYear;
            }
            last = date;
            const XString day = GetTrimmedText(dayField);
            if (day == "FD")
            {
                afterStart = false;
                start = date;
                Log(8, "Start Date:" + start.Format(fmt), "");
                if (today >= start)
                {
                    Log(8, "Today is After Start Date: " + today.Format(fmt) + " >= " + start.Format(fmt),
                        "");
                    afterStart = true;
                    continue;
                }
            }
            if (day == "LD" && afterStart)
            {
                end = date;
                Log(8, "End Date:" + end.Format(fmt), "");
                if (today <= end)
                {
                    Log(8, "Today is Before End Date: " + today.Format(fmt) + " >= " + end.Format(fmt), "");
                    break;
                }
            }
        }
        // A walk cut short would give the wrong year or dates.
        if (CurrentTableIncomplete())
            throw XException("The calendar could not be read to its end.");
        if (end.IsNull())
            end = last;
        Log(8, "Final School Year:" + year, "");
        Log(8, "School Start Date: " + start.Format(fmt), "");
        Log(8, "School End Date: " + end.Format(fmt), "");
        m_schoolStartDate = start;
        m_schoolEndDate = end;

        CloseQuery();
        Disconnect();
        return YearIsQuoted() ? SqlQuoted(year) : year;
    }
    catch (...)
    {
        Log(7, "Error Extracting School Year.", "");
        return XString();
    }
}
