#include "ExpEngine.h"

// One code table read into a lookup list.
struct ExpEngine::CodeTable
{
    const char* title;
    const char* table;
    const char* alias;
    const char* keyField;
    const char* valueField;
    const char* missingMessage;
    LookupList* list;    // null for EV090, which is split by EV_TYPE
    bool disciplineOnly; // EVENT_CAT = 'DIS'
};

const LookupList* ExpEngine::MiscDiscipline(const XString& eventType) const
{
    auto it = m_miscDiscipline.find(eventType.Std());
    return it == m_miscDiscipline.end() ? nullptr : &it->second;
}

void ExpEngine::ClearLookupLists()
{
    for (LookupList* list :
         {&m_includedStudents, &m_staffList, &m_studentNames, &m_relationships, &m_weapons, &m_damages,
          &m_otherFactors, &m_injuryTo, &m_injuryTypes, &m_participantStatus, &m_busLocations, &m_days})
        list->Clear();
    for (auto& entry : m_miscDiscipline)
        entry.second.Clear();
}

void ExpEngine::LoadLookupTables()
{
    ClearLookupLists();

    StudentInclusion();
    StudentNamesTable();
    LoadCodeTable({"Relationship Codes", "CE035", "relation", "RLTN_CD", "RLTN_DESCR",
                   "Build Relationship Code Table: Table CE035 does not exist.", &m_relationships, false});

    // The conduct code tables are optional extras: a failing or incomplete one
    // leaves its list short with a warning, and the run still succeeds.
    const CodeTable conductTables[] = {
        {"Weapon Codes", "EV070", "weapon", "WPN_CD", "WPN_DESC",
         "Build Weapon Code Table: Table EV070 does not exist.", &m_weapons, true},
        {"Damages Codes", "EV081", "damages", "PROP_TYPE", "PROP_DESC",
         "Build Damages Code Table: Table EV081 does not exist.", &m_damages, true},
        {"Factor Codes", "EV080", "factor", "OTH_FACT", "OTH_DESC",
         "Build Other Factors Code Table: Table EV080 does not exist.", &m_otherFactors, true},
        {"Injury Types Codes", "EV082", "injury", "INJURY_TY", "INJURY_DES",
         "Build Injury Type Code Table: Table EV082 does not exist.", &m_injuryTypes, true},
        {"Injury To Codes", "EV083", "injury", "INJ_TO_TY", "INJ_TO_DES",
         "Build Injury To Code Table: Table EV082 does not exist.", &m_injuryTo, true},
        {"Participant Status Codes", "EV075", "part", "PART_STAT", "PART_ST_DE",
         "Build Participant Status Code Table: Table EV075 does not exist.", &m_participantStatus, true},
        {"Miscellaneous Discipline Codes", "EV090", "misc", "EV_CODE", "EV_DESC",
         "Build Misc Discipline Code Table: Table EV075 does not exist.", nullptr, false},
    };
    for (const CodeTable& table : conductTables)
    {
        try
        {
            LoadCodeTable(table);
        }
        catch (const XException& e)
        {
            Log(6, XString(table.title) + ": " + e.what());
        }
        WithdrawTableIncomplete();
    }

    LoadCodeTable({"Bus Location", "TR060", "bus", "BUS_LOC_CD", "BUS_LCD_DE",
                   "Build Bus Location Code Table: Table TR060 does not exist.", &m_busLocations, false});
}

void ExpEngine::LoadCodeTable(const CodeTable& code)
{
    StartTable(code.title, "", false);
    ODBCTable* table = AddSisTable(code.table, code.alias, false);
    if (!table)
        return SkipMissingTable(code.missingMessage);
    ODBCField* key = AddField(table, code.keyField, false);
    ODBCField* value = AddField(table, code.valueField, false);
    ODBCField* type = code.list ? nullptr : AddField(table, "EV_TYPE", false);
    if (code.disciplineOnly)
        AddCondition("AND", AddOperandField(table, "EVENT_CAT"), "=", "'DIS'");
    AddDistrictCondition(table);

    // A table without its code column has nothing to give.
    if (key && OpenTable(1))
    {
        for (bool more = GetFirstRecord(); more; more = GetNextRecord())
        {
            LookupList* list = code.list;
            if (!list)
            {
                auto it = m_miscDiscipline.find(FieldText(type).Std());
                list = it == m_miscDiscipline.end() ? nullptr : &it->second;
            }
            if (list)
                list->Add(FieldText(key), FieldText(value));
        }
    }
    FinishTable();
}

void ExpEngine::StudentNamesTable()
{
    StartTable("Student Names", "", false);
    ScopedAnsiJoin ansiJoin(*this);
    ODBCTable* enroll = AddSisTable("CE020", "enroll", true);
    AddDistrictCondition(enroll);
    ODBCField* id = AddField(enroll, "ID_NBR", false);
    ODBCField* last = AddField(enroll, "LST_NME", false);
    ODBCField* first = AddField(enroll, "FRST_NME", false);

    const bool opened = OpenTable(1);
    ansiJoin.Release();
    m_studentNames.Clear();
    if (opened)
    {
        for (bool more = GetFirstRecord(); more; more = GetNextRecord())
        {
            const XString firstName = FieldText(first);
            const XString lastName = FieldText(last);
            if (firstName.IsEmpty() && lastName.IsEmpty())
                continue;
            m_studentNames.Add(GetTrimmedText(id), firstName + " " + lastName);
        }
    }
    FinishTable();
}
