#pragma once

#include <functional>
#include <initializer_list>
#include <map>
#include <string>

#include "ConductValueText.h"
#include "EngineList.h"
#include "LookupList.h"
#include "ODBCExpEngineBase.h"
#include "SISExpCustomFieldList.h"
#include "ScopedQuerySwitch.h"
#include "XDateTime.h"
#include "XString.h"
#include "XTextFile.h"

// The engine that knows the TSIS and SchoolMAX databases: it finds the
// database type, the table-name prefix and suffix and the flavour (alias
// "tsis" or "schmax"), determines the school year, answers the connection
// tests and the lists of the front-end, and runs the exports of an extraction.
//
// Operations for the application (connection values are the decoded texts of
// "dsn", "user" and "pwd"); none of them throws, each logs and returns false:
//   ValidateConnection            connection test of the group "connection"
//   ValidateDistrictAndSchoolNum  test of the group "school"
//   LoadSchoolDistrictList        "district_list": (DST_NBR, "District"), or
//                                 "Default District" when there is one district
//   LoadSchoolList                "school_list": (SCH_NBR, SCH_NME)
//   LoadSchoolYearList            "year_list": (SCH_YR, the year as shown)
//   LoadBridgeList                "bridgelist" for the key "teacher":
//                                 (EMP_NBR, "Last, First")
// The lists arrive in an EngineList: districts, schools and years sorted by
// key, teachers in the order of the teacher query (staff without a last name
// last). Each entry becomes one protocol line in that order.
class ExpEngine : public ODBCExpEngineBase
{
    Q_OBJECT
public:
    explicit ExpEngine(QObject* parent = nullptr);
    ~ExpEngine() override;

    // ---- Extraction ----
    bool Execute(ParamMap& params, int flags, QString& errorText) override;

    // ---- Connection tests and lists ----
    bool ValidateConnection(const XString& dataSource, const XString& user, const XString& password);
    bool ValidateDistrictAndSchoolNum(const XString& dataSource, const XString& user, const XString& password,
                                      const XString& district, const XString& school);
    bool LoadSchoolDistrictList(EngineList& list, const XString& dataSource, const XString& user,
                                const XString& password);
    bool LoadSchoolList(EngineList& list, const XString& dataSource, const XString& user,
                        const XString& password, const XString& district);
    bool LoadSchoolYearList(EngineList& list, const XString& district, const XString& school,
                            const XString& dataSource, const XString& user, const XString& password);
    bool LoadBridgeList(EngineList& list, const XString& paramKey, const ParamMap& params);

    // ---- Database type, table names and flavour ----
    bool SetDatabaseType(const XString& dataSource, const XString& user, const XString& password);
    bool ValidateDBConnection(const XString& dataSource, const XString& user, const XString& password);
    void SetAlias(const XString& dataSource, const XString& user, const XString& password);
    bool IsDBTSIS(const XString& dataSource, const XString& user, const XString& password);
    bool TestTableQuery();
    bool SetFullTableName(const XString& prefix, const XString& suffix);
    // The validation form (full false) or the form written into SQL (full true).
    XString GetTableName(const XString& name, bool full) const;

    const XString& ValidationPrefix() const { return m_validationPrefix; }
    const XString& ValidationSuffix() const { return m_validationSuffix; }
    const XString& FullPrefix() const { return m_fullPrefix; }
    const XString& FullSuffix() const { return m_fullSuffix; }

    // ---- School year ----
    // The year to export as an SQL value ("" when it cannot be found); sets
    // the school start and end dates.
    XString FindCurrentSchoolYear();
    const XDate& SchoolStartDate() const { return m_schoolStartDate; }
    const XDate& SchoolEndDate() const { return m_schoolEndDate; }

    // ---- Lookup tables ----
    void LoadLookupTables();
    const LookupList& IncludedStudents() const { return m_includedStudents; }
    const LookupList& StaffList() const { return m_staffList; }
    const LookupList& StudentNames() const { return m_studentNames; }
    const LookupList& RelationshipCodes() const { return m_relationships; }
    const LookupList& BusLocations() const { return m_busLocations; }
    const LookupList& Weapons() const { return m_weapons; }
    const LookupList& Damages() const { return m_damages; }
    const LookupList& OtherFactors() const { return m_otherFactors; }
    const LookupList& InjuryTo() const { return m_injuryTo; }
    const LookupList& InjuryTypes() const { return m_injuryTypes; }
    const LookupList& ParticipantStatus() const { return m_participantStatus; }
    // The EV090 codes of one event type ("DISB", "DREA", "REST", "EDRE",
    // "ELRE"); null for any other type.
    const LookupList* MiscDiscipline(const XString& eventType) const;

    // ---- Value functions and row filters shared by the exports ----
    XString ZeroAsEmpty() override;
    // Clears the current field handles as a whole (called by FinishTable).
    void EndTableHook() override;
    bool FilterStudent(); // needs m_fields.studentKey
    bool FilterStaff();   // needs m_fields.staffKey
    XString AddThisToStaffLUT();

    // ==== Export routines, one group and one source file per family ====

    // ---- Students and families (ExpEngineStudents.cpp) ----
    void StudentInclusion();
    void StudentDemographics();
    void StudentNotes();
    // StdLeaveDate: "0" is empty, a year followed by 0000 is the school start date.
    XString LeaveDate();
    // ExpEngineFamilies.cpp: addresses, parents and guardians, contacts,
    // custody and legal notes, user-defined fields and bus transport.
    void StudentLegalNotes();
    void StudentCustodyProtection();
    void StudentTransport();
    void StudentAddress();
    void StudentParentGuardian();
    void StudentCustomFieldsTable();
    void StudentContacts();
    // Value functions of these routines (they read CurrentField() and m_fields).
    XString PrimaryPhoneLabel(); // StdComKind from PRIM_FAM; counts the phones
    XString HomePhoneLabel();    // StdComKind without PRIM_FAM
    XString HomeAddressType();   // "Home Address" (+ the phone counter)
    // Phone of the column's area code with the given number and extension.
    XString PhoneOf(DataAccessField* number, DataAccessField* extension);
    // "<relationship> is Restricted" for each restricted household head.
    XString HeadRestrictionText();
    // The CE035 description of a relationship code, else the code.
    XString RelationshipOf(DataAccessField* field);
    // "UK_" + the next number of a counter that runs through the whole run.
    XString UniqueNoteKey();
    // Bus number, first location and the described numbered locations.
    XString BusRoute(ODBCField* const (&locations)[6]);
    // A date, or a date kept as an eight-digit number, in the writer's format.
    XString EightDigitDateText();

    // ---- Scheduling and calendar (ExpEngineScheduling.cpp) ----
    // Calendar also sets the school start and end dates from its calendar days.
    void Calendar();
    void Days();
    void Terms();
    void TermDates();
    void GradingPeriods();
    void Courses();
    void Sections();
    void SectionTeachers();
    void SectionRooms();
    // Runs with the time-outs raised to 120 and 360 seconds.
    void StudentSchedule();
    // Course key "C" + COURSE; section key "C" + COURSE + "-" + section (XSECTION
    // or SECT_ASG); DAY_CD, empty when it is digits only.
    XString CourseKey();  // needs m_fields.course
    XString SectionKey(); // needs m_fields.course and m_fields.section
    XString DayDescription();
    // Adds the teacher to the staff list and accepts the record.
    bool FilterSectionTeacher(); // needs m_fields.staffKey

    // ---- Attendance (ExpEngineAttendance.cpp) ----
    void AttendanceCodes();
    // Both read the SIS window by window into the attendance cache.
    void StudentPeriodAttendance(const XDate& schoolStart, const XDate& schoolEnd);
    void StudentDailyAttendance(const XDate& schoolStart, const XDate& schoolEnd);
    // The attendance update: the update file, both tables, the cache's changes.
    // On a failure the update file of this run is removed and the run fails.
    void ExportAttendance();
    // AttCodeExcAbs and AttCodeUnexcAbs from EXCSD_ABS: "0\t0" for X, "1\t0" for E, else "0\t1".
    XString ExcusedPair();
    // "1" for status A ("0.5" when halfDays reads 1), else "0".
    XString AbsentValue(DataAccessField* halfDays);
    XString TardyValue(); // "1" for status T
    bool IncludesStudent(const XString& student) override;

    // ---- Conduct (ExpEngineConduct.cpp; Student Names is a lookup table) ----
    void StudentNamesTable();
    void ConductIncidents();
    void StateIncidents();
    void IncidentTypes();
    void ConductOutcomes();
    void OutcomeTypes();
    // Staff participants, outcome targets and referees: the number, which
    // joins the staff list (with its "added" log line) when not empty.
    XString GetStaffPerp();
    XString GetStaffVictim();
    XString GetStaffWitness();
    XString GetStaffTarget();
    XString GetStaffReferee();

    // ---- Health (ExpEngineHealth.cpp) ----
    void HealthConcernTypes();
    void StudentHealthConcerns();
    void StudentMedications();
    void StudentImmunizations();
    void StudentMedical();        // "tsis" only
    void StudentAllergy();        // "schmax" only
    void StudentMedicalAllergy(); // "schmax" only, after Student Allergy
    // MedConditNote of Student Medications: needs the medication handles.
    XString MedicationNoteValue();
    // StdMedAlert: "Allergy: " + ALLERGY, or "" when it is empty.
    XString AllergyAlert();
    // MED_CMT unless NO_DISPLAY is "X"; an unreadable NO_DISPLAY counts as empty.
    XString MedicalAlert(ODBCField* noDisplay, ODBCField* comment);

    // ---- Staff and grades (ExpEngineStaffGrades.cpp) ----
    // Last of all exports: writes only the staff in the staff list.
    void StaffDemographics();
    void StudentGrades();
    void GradeComments();
    // No table: one custom grade field per GR020 type, labelled with the
    // initials of its description.
    void GradeTypes();
    XString StaffBirthDate(); // needs m_fields.staffBirthMonthDay
    XString StaffLeaveDate(); // against today
    XString CommentKey(ODBCField* group);
    bool FilterGrade(); // FilterStudent; with the progress-grade switch also no G1 to G4
    // Registers one grade type's custom field (or filters a progress grade).
    void AddGradeType(const XString& type, const XString& description);

    SISExpCustomFieldList& StudentCustomFields() { return m_studentCustomFields; }

    // The parts of AddSchoolConditions.
    enum SchoolConditionParts
    {
        kSchoolNumber = 1,
        kSchoolYear = 2,
        kDistrict = 4, // only when the district number is not empty
        kAllSchoolConditions = kSchoolNumber | kSchoolYear | kDistrict,
    };

protected:
    // ==== The routine frame ====
    //
    // A streamed routine (one record, one line):
    //     StartTable("Student Demographics", "Students.sef");
    //     ScopedDistinct distinct(*this);        // when the query is distinct
    //     ODBCTable* stu = AddSisTable("ST010", "stu", true);
    //     ODBCTable* opt = AddSisTable("ST015", "CON", false);
    //     if (!opt)
    //         return SkipMissingTable("Create ...: Table ST015 does not exist.");
    //     AddJoin(stu, "ID_NBR", opt, "ID_NBR");
    //     AddSchoolConditions(stu);
    //     m_fields.studentKey = AddColumnField(stu, "ID_NBR", Fn(&DataAccessBase::CleanText), "StdKey");
    //     AddColumnField(stu, "END_ENR_DT", [this] { return LeaveDate(); }, "StdLeaveDate");
    //     WriteTable([this] { return FilterStudent(); });
    //     FinishTable();
    // Value functions: Fn(&DataAccessBase::CleanText) ("text"),
    // Fn(&DataAccessBase::ZeroAsEmpty) ("zero-as-empty"), or a lambda calling
    // a member that reads CurrentField() and the handles in m_fields.
    //
    // A hand-written routine (it writes its lines itself):
    //     StartTable(title, fileName);             // tables, then the header names
    //     ... AddSisTable; missing: return SkipMissingTable(message);
    //     AddHeaderField("NoteStdRef"); ...
    //     XTextFile file('\t', "", "");
    //     OpenCurrentTableFile(file);              // or OpenTableFile(file, title, fileName) first
    //     ... fields, conditions, orders ...
    //     WalkTable("Student Notes", [&] {
    //         ForEachRecord([&] { ... file.WriteField(v); ... file.EndLine(); });
    //         ... lines after the last record ...
    //     });
    //     CloseTableFile(file);                    // closes the file and finishes the table
    // A routine whose file is open when an optional table is missing ends with
    // SkipMissingTable(message, file).
    //
    // A required table or field that is missing throws and ends the run; so
    // does any failure of WriteTable and WalkTable. Routines whose exceptions
    // the run swallows go through RunSwallowingFailure.

    // One table of a SIS query, named by GetTableName in both forms; null
    // when an optional table does not exist.
    ODBCTable* AddSisTable(const char* name, const char* alias, bool required);
    // table1.field1 = table2.field2.
    void AddJoin(ODBCTable* table1, const char* field1, ODBCTable* table2, const char* field2);

    // The school conditions, values as Execute prepared them, in this order:
    // table.SCH_NBR = school, table.SCH_YR = year, and, when there is a
    // district number, table.DST_NBR = district. parts (SchoolConditionParts)
    // picks some of them.
    void AddSchoolConditions(ODBCTable* table, int parts = kAllSchoolConditions);
    // School and year on table, then the district condition on table and on
    // each of districtTables ("stu.DST_NBR and link.DST_NBR each = district").
    void AddSchoolConditions(ODBCTable* table, std::initializer_list<ODBCTable*> districtTables);
    // Only table.DST_NBR = district, when the district number is not empty.
    void AddDistrictCondition(ODBCTable* table);

    // An optional table is missing: logs message at level 7 (empty method
    // text) and finishes the table (closing file first when given).
    void SkipMissingTable(const XString& message);
    void SkipMissingTable(const XString& message, XTextFile& file);

    // Opens the current query (DataAccessBase::OpenTable: its failures keep
    // their own report) and, when it opened, runs walk. Any exception from
    // walk leaves as XException "Failed with error [<message>] while writing
    // <subject>." or "Failed with unknown error while writing <subject>.".
    // False when the query was skipped.
    bool WalkTable(const char* subject, const std::function<void()>& walk);
    // Calls each once per record of the open query, in order.
    void ForEachRecord(const std::function<void()>& each);

    // Runs a routine whose failures must not end the run (Student Custody
    // Protection): an exception is logged and the routine's table is marked
    // incomplete, so its previous data file stays and the run ends failed.
    void RunSwallowingFailure(void (ExpEngine::*routine)());
    // Attendance: reads the started attendance table into the cache and finishes it.
    void ReadAttendance(const XDate& schoolStart, const XDate& schoolEnd);
    // Discards the data file being written after a failure, keeping the
    // failure as the error to report.
    void AbandonAfterFailure();

    // The value of key in list, else key itself.
    static XString LookupOrText(const LookupList& list, const XString& key);

    // The clean text of a field of the current record.
    XString FieldText(DataAccessField* field);
    // The same, empty for a field that does not exist.
    XString TextOrEmpty(DataAccessField* field);
    // A column without query field that writes text on every line.
    void AddConstantColumn(const XString& text, const XString& headerName);
    XString ConnectionString(const XString& dataSource, const XString& user, const XString& password);
    // A date column: a date value as it is, anything else (TSIS keeps dates
    // as eight-digit numbers) read as its "YYYYMMDD" text; null otherwise.
    XDate SisDate(DataAccessField* field);

    // Current field handles: the fields of the table being exported that the
    // filters and value functions read. EndTableHook resets them all; add a
    // family's handles under its heading.
    struct CurrentFields
    {
        // Students and families
        ODBCField* studentKey = nullptr;    // FilterStudent
        ODBCField* staffKey = nullptr;      // FilterStaff
        ODBCField* familyNumber = nullptr;  // HH.FAM_NBR of ConKey
        ODBCField* headNumber = nullptr;    // HH.HH_NBR of ConRelationship
        ODBCField* relationship1 = nullptr; // RLTN_HH1, RLTN_HH2
        ODBCField* relationship2 = nullptr;
        ODBCField* restricted1 = nullptr; // RSTRCT_HH1, RSTRCT_HH2
        ODBCField* restricted2 = nullptr;
        ODBCField* phoneNumbers[4] = {};     // the numbers of the area-code columns
        ODBCField* phoneExtension = nullptr; // F1_PH_EXT
        ODBCField* fromLocations[6] = {};    // FR_BUS_LCD, FR_BU1_LCD .. FR_BU5_LCD
        ODBCField* toLocations[6] = {};      // TO_BUS_LCD, TO_BU1_LCD .. TO_BU5_LCD

        // Scheduling and calendar
        ODBCField* course = nullptr;  // CourseKey, SectionKey
        ODBCField* section = nullptr; // SectionKey: XSECTION or SECT_ASG

        // Attendance

        // Conduct
        ODBCField* participantKind = nullptr; // PART_CD
        ODBCField* participantId = nullptr;   // the participant's ID_NBR
        ODBCField* referredBy = nullptr;      // REF_BY
        ODBCField* startMinute = nullptr;     // with the start time's hour column
        ODBCField* startAmPm = nullptr;
        ODBCField* endMinute = nullptr; // with the end time's hour column
        ODBCField* endAmPm = nullptr;

        // Health: the columns the medication note reads besides COMMENTS
        ODBCField* dosage = nullptr;
        ODBCField* dosageTime = nullptr;
        ODBCField* route = nullptr;
        ODBCField* medicationStart = nullptr;
        ODBCField* medicationStop = nullptr;

        // Staff and grades
        ODBCField* staffHomePhone = nullptr;
        ODBCField* staffBirthMonthDay = nullptr;
        ODBCField* staffWorkPhone = nullptr;
        ODBCField* staffWorkExtension = nullptr;
        ODBCField* gradeType = nullptr;
        ODBCField* commentGroup1 = nullptr; // also CMT_GRP of Grade Comments
        ODBCField* commentGroup2 = nullptr;
        ODBCField* commentGroup3 = nullptr;
    };
    CurrentFields m_fields;

    // Lookup lists and switches the families read and fill (see the accessors above).
    SISExpCustomFieldList m_studentCustomFields;

    LookupList m_includedStudents;
    LookupList m_staffList;
    LookupList m_studentNames;
    LookupList m_relationships;
    LookupList m_weapons;
    LookupList m_damages;
    LookupList m_otherFactors;
    LookupList m_injuryTo;
    LookupList m_injuryTypes;
    LookupList m_participantStatus;
    // EV090 by event type: "DISB", "DREA", "REST", "EDRE", "ELRE".
    std::map<std::string, LookupList> m_miscDiscipline;
    LookupList m_busLocations;
    LookupList m_days;

    bool m_progressGrades = false;
    // The name switches of the conduct participants.
    ConductParticipants m_conductParticipants;
    int m_phoneCounter = 0;
    int m_noteKeyCounter = 0; // UniqueNoteKey; never reset, keys stay unique across tables

    XDate m_schoolStartDate;
    XDate m_schoolEndDate;

private:
    // The tables of the student health join; enroll only for "tsis".
    struct HealthJoin
    {
        ODBCTable* health = nullptr;
        ODBCTable* stu = nullptr;
        ODBCTable* enroll = nullptr;
    };
    HealthJoin AddHealthJoinTables(const char* healthTable, const char* alias);
    // The join's query-only fields; false when ST010 has no SCH_NBR.
    bool AddHealthJoinFields(const HealthJoin& join);
    void AddHealthJoinConditions(const HealthJoin& join);
    // The query-only fields of the two allergy routines up to the flavour's
    // own; false when HE012 has no DST_NBR.
    bool AddAllergyQueryFields(ODBCTable* stu, ODBCTable* enroll, ODBCTable* health);

    struct CodeTable;
    void LoadCodeTable(const CodeTable& table);
    void ClearLookupLists();
    // Prepares the district and the given year for SQL as the database type
    // writes them; false (with the message) when a value written without
    // quotes is not a whole number.
    bool PrepareDistrict(XString& message);
    bool PrepareYear(XString& year, XString& message);
    bool YearIsQuoted() const;
    // Scheduling: SCH_NBR, SCH_YR, VERSION = '00' and, with a district, DST_NBR.
    void AddScheduleConditions(ODBCTable* table);
    void SetSchoolDatesFromCalendar(ODBCField* date);
    void StudentScheduleTable();
    static XString ParamText(const ParamMap& params, const char* key);

    // School, district and year of a run or the teacher list, quoted as the
    // statements write them, and the school year found in the calendar; false
    // (with the message, when there is one) when a value cannot be used.
    bool PrepareRunState(const ParamMap& params, bool requireYear, XString& message);
    // Every data file of a full run, in the import's order.
    void ExportTables();
    // The list queries connect and start a new query; each is distinct with ANSI joins.
    void ConnectListQuery(const XString& dataSource, const XString& user, const XString& password);

    // Conduct value functions and helpers.
    XString ConductLookup(const LookupList* list);
    XString StudentParticipant(int role);
    XString ParticipantName(int role);
    XString StaffParticipant(const char* type, const char* addedText);
    XString Referrer();
    XString ConductStartTime();
    XString ConductEndTime();
    XString StateDate();
    void AddConductCodeConditions(ODBCTable* table);

    XString m_validationPrefix;
    XString m_validationSuffix;
    XString m_fullPrefix;
    XString m_fullSuffix;

    // The statement of the last list or test query, for the failure logs.
    XString m_lastSql;
};
