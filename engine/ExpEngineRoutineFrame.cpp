#include <cstring>

#include "ExpEngine.h"
#include "XException.h"

ODBCTable* ExpEngine::AddSisTable(const char* name, const char* alias, bool required)
{
    return AddTable(GetTableName(name, false), alias, required, GetTableName(name, true));
}

void ExpEngine::AddJoin(ODBCTable* table1, const char* field1, ODBCTable* table2, const char* field2)
{
    AddCondition("AND", AddOperandField(table1, field1), "=", AddOperandField(table2, field2));
}

void ExpEngine::AddSchoolConditions(ODBCTable* table, int parts)
{
    if (parts & kSchoolNumber)
        AddCondition("AND", AddOperandField(table, "SCH_NBR"), "=", SchoolNumber());
    if (parts & kSchoolYear)
        AddCondition("AND", AddOperandField(table, "SCH_YR"), "=", SchoolYear());
    if (parts & kDistrict)
        AddDistrictCondition(table);
}

void ExpEngine::AddSchoolConditions(ODBCTable* table, std::initializer_list<ODBCTable*> districtTables)
{
    AddSchoolConditions(table);
    for (ODBCTable* other : districtTables)
        AddDistrictCondition(other);
}

void ExpEngine::AddDistrictCondition(ODBCTable* table)
{
    if (!DistrictNumber().IsEmpty())
        AddCondition("AND", AddOperandField(table, "DST_NBR"), "=", DistrictNumber());
}

void ExpEngine::SkipMissingTable(const XString& message)
{
    Log(7, message, "");
    FinishTable();
}

void ExpEngine::SkipMissingTable(const XString& message, XTextFile& file)
{
    Log(7, message, "");
    CloseTableFile(file);
}

bool ExpEngine::WalkTable(const char* subject, const std::function<void()>& walk)
{
    // Outside the catch: an open failure already carries its own report.
    if (!OpenTable(1))
        return false;
    try
    {
        walk();
    }
    catch (const std::exception& e)
    {
        AbandonAfterFailure();
        RaiseError(0, "Failed with error [%s] while writing %s.", e.what(), subject);
    }
    catch (const char* thrown)
    {
        AbandonAfterFailure();
        RaiseError(0, "Failed with error [%s] while writing %s.", thrown ? thrown : "", subject);
    }
    catch (...)
    {
        AbandonAfterFailure();
        RaiseError(0, "Failed with unknown error while writing %s.", subject);
    }
    return true;
}

void ExpEngine::AbandonAfterFailure()
{
    try
    {
        AbandonTableFile();
    }
    catch (const std::exception& e)
    {
        // The routine's failure is the one to report.
        Log(7, e.what(), "");
    }
}

void ExpEngine::ForEachRecord(const std::function<void()>& each)
{
    for (bool more = GetFirstRecord(); more; more = GetNextRecord())
        each();
}

void ExpEngine::RunSwallowingFailure(void (ExpEngine::*routine)())
{
    try
    {
        (this->*routine)();
    }
    catch (const std::exception& e)
    {
        Log(3, e.what(), "ExpEngine::Execute");
        MarkTableIncomplete();
        AbandonAfterFailure();
    }
    catch (...)
    {
        Log(3, XString("Failed with unknown error while writing ") + CurrentTitle() + ".",
            "ExpEngine::Execute");
        MarkTableIncomplete();
        AbandonAfterFailure();
    }
}

XString ExpEngine::LookupOrText(const LookupList& list, const XString& key)
{
    XString value;
    return list.Find(key, value) ? value : key;
}

XString ExpEngine::FieldText(DataAccessField* field)
{
    XString text = GetTrimmedText(field);
    text.Trim();
    text.ReplaceChar('\t', ' ').ReplaceChar('\r', ' ').ReplaceChar('\n', ' ');
    return text;
}

XString ExpEngine::TextOrEmpty(DataAccessField* field)
{
    return field ? FieldText(field) : XString();
}

void ExpEngine::AddConstantColumn(const XString& text, const XString& headerName)
{
    AddColumnField(nullptr, text, nullptr, headerName, false, XString(), XString(), XString(), XString(),
                   SDEColumn::Constant);
}
