// Students and families: home address, parents and guardians, contacts,
// custody and legal notes, user-defined fields and bus transport.
#include "ExpEngine.h"
#include "FamilyValueText.h"
#include "XTextFile.h"

// ---- Value functions ----

XString ExpEngine::RelationshipOf(DataAccessField* field)
{
    return LookupOrText(m_relationships, TextOrEmpty(field));
}

XString ExpEngine::UniqueNoteKey()
{
    return "UK_" + XString(++m_noteKeyCounter);
}

XString ExpEngine::HeadRestrictionText()
{
    return RestrictionText(RelationshipOf(m_fields.relationship1), TextOrEmpty(m_fields.restricted1),
                           RelationshipOf(m_fields.relationship2), TextOrEmpty(m_fields.restricted2));
}

XString ExpEngine::PhoneOf(DataAccessField* number, DataAccessField* extension)
{
    return FamilyPhoneText(CleanText(), TextOrEmpty(number), TextOrEmpty(extension));
}

XString ExpEngine::PrimaryPhoneLabel()
{
    if (CleanText() == "X")
    {
        m_phoneCounter = 0;
        return "Primary Home Phone";
    }
    ++m_phoneCounter;
    return "Home Phone " + XString(m_phoneCounter);
}

XString ExpEngine::HomePhoneLabel()
{
    m_phoneCounter = 0;
    return "Home Phone";
}

XString ExpEngine::HomeAddressType()
{
    if (m_phoneCounter == 0)
        return "Home Address";
    return "Home Address " + XString(m_phoneCounter);
}

XString ExpEngine::BusRoute(ODBCField* const (&locations)[6])
{
    XString codes[5];
    for (int i = 0; i < 5; ++i)
        codes[i] = TextOrEmpty(locations[i + 1]);
    return BusRouteText(CleanText(), TextOrEmpty(locations[0]), codes, m_busLocations);
}

XString ExpEngine::EightDigitDateText()
{
    // TSIS keeps these dates as eight-digit numbers, which the date reader
    // does not take for dates.
    DataAccessField* field = CurrentField();
    if (!field)
        return XString();
    XDate date = GetDate(field);
    if (date.IsNull())
    {
        const XString text = FieldText(field);
        if (text.Length() == 8 && text.IsDigits())
            date.Parse("YYYYMMDD", text.Text());
    }
    return FormatDate(date);
}

// ---- Routines ----

void ExpEngine::StudentAddress()
{
    StartTable("Student Address", "StudentPhysAddr.sef", false);
    ScopedDistinct distinct(*this);
    ODBCTable* stu = AddSisTable("ST010", "stu", true);
    ODBCTable* link = AddSisTable("CE810", "link", false);
    ODBCTable* family = AddSisTable("CE010", "family", false);
    if (!link || !family)
        return SkipMissingTable("Create Student Address: Table CE810 or CE 010 does not exist.");
    m_phoneCounter = 0;

    const auto text = Fn(&DataAccessBase::CleanText);
    const auto zip = [this] { return FamilyZipText(CleanText()); };
    m_fields.studentKey = AddColumnField(stu, "ID_NBR", text, "StdKey");
    ODBCField* primary = AddColumnField(
        link, "PRIM_FAM", [this] { return PrimaryPhoneLabel(); }, "StdComKind");
    if (!primary)
        AddColumnField(
            family, "HM_AREA_CD", [this] { return HomePhoneLabel(); }, "StdComKind");
    AddConstantColumn("PHONE", "StdComValType");
    AddColumnField(
        family, "HM_AREA_CD", [this] { return PhoneOf(m_fields.phoneNumbers[0], nullptr); }, "StdComValue");
    AddColumnField(
        family, "ADDR_LNE_1", [this] { return HomeAddressType(); }, "StdAddressType");
    AddColumnField(family, "ADDR_LNE_1", text, "StdAddress1");
    AddColumnField(family, "ADDR_LNE_2", text, "StdAddress2");
    AddColumnField(family, "CITY", text, "StdCity");
    AddColumnField(family, "STATE", text, "StdState");
    AddColumnField(family, "ZIP_CD", zip, "StdZip");

    m_fields.phoneNumbers[0] = AddField(family, "HM_PHNE", false);
    ODBCField* stuSchool = AddField(stu, "SCH_NBR", false);
    ODBCField* stuYear = AddField(stu, "SCH_YR", false);
    ODBCField* stuDistrict = AddField(stu, "DST_NBR", false);
    ODBCField* linkDistrict = AddField(link, "DST_NBR", false);
    ODBCField* familyDistrict = AddField(family, "DST_NBR", false);
    ODBCField* linkStudent = AddField(link, "ID_NBR", false);
    ODBCField* familyNumber = AddField(family, "FAM_NBR", false);
    ODBCField* linkFamily = AddField(link, "FAM_NBR", false);
    ODBCField* livesWith = AddField(link, "LIVE_WITH", false);

    AddCondition("AND", m_fields.studentKey, "=", linkStudent);
    AddCondition("AND", linkFamily, "=", familyNumber);
    if (!DistrictNumber().IsEmpty())
        for (ODBCField* district : {stuDistrict, linkDistrict, familyDistrict})
            AddCondition("AND", district, "=", DistrictNumber());
    AddCondition("AND", stuSchool, "=", SchoolNumber());
    AddCondition("AND", stuYear, "=", SchoolYear());
    // A CE810 with LIVE_WTH instead has no column to test.
    if (livesWith)
        AddCondition("AND", livesWith, "Is Not", "NULL");
    if (primary)
        AddCondition("AND", primary, "=", "'X'");
    AddOrder(primary, true);

    WriteTable([this] { return FilterStudent(); });
    FinishTable();
}

void ExpEngine::StudentParentGuardian()
{
    StartTable("Student Parent/Guardian", "StudentParent.sef", false);
    ScopedDistinct distinct(*this);
    ODBCTable* stu = AddSisTable("ST010", "stu", true);
    ODBCTable* link = AddSisTable("CE810", "link", false);
    ODBCTable* heads = AddSisTable("CE015", "HH", false);
    ODBCTable* family = AddSisTable("CE010", "family", false);
    if (!link || !heads || !family)
        return SkipMissingTable(
            "Create Student Parent Guardian: Table CE810 or CE015 or CE010 does not exist.");

    const auto text = Fn(&DataAccessBase::CleanText);
    const auto yesNo = [this] { return YesNoFlag(); };
    const auto phone = [this](int n)
    {
        return [this, n]
        { return PhoneOf(m_fields.phoneNumbers[n], n == 0 ? m_fields.phoneExtension : nullptr); };
    };
    m_fields.studentKey = AddColumnField(stu, "ID_NBR", text, "ConStdRef");
    m_fields.headNumber = AddColumnField(
        heads, "HH_NBR", [this] { return "P" + TextOrEmpty(m_fields.familyNumber) + "-" + CleanText(); },
        "ConKey");
    AddColumnField(
        link, "HH_LGL",
        [this]
        {
            return LegallyResponsibleText(CleanText(), RelationshipOf(m_fields.relationship1),
                                          RelationshipOf(m_fields.relationship2));
        },
        "ConLegallyResponsible", false, "LegallyResponsible", "Legally Responsible", "#customcomfield",
        "NOFORMAT");
    m_fields.relationship1 = AddColumnField(
        link, "RLTN_HH1",
        [this]
        {
            return HeadRelationshipText(TextOrEmpty(m_fields.headNumber),
                                        RelationshipOf(m_fields.relationship1),
                                        RelationshipOf(m_fields.relationship2));
        },
        "ConRelationship");
    m_fields.restricted1 = AddColumnField(
        link, "RSTRCT_HH1", [this] { return HeadRestrictionText(); }, "ConRestricted", false, "Restricted",
        "Restricted", "#customcomfield", "NOFORMAT");
    AddConstantColumn("Par/Guard", "ConType");
    AddColumnField(link, "PRIM_FAM", yesNo, "ConPrimaryFamily", false, "PrimaryFamily", "Primary Family",
                   "#customcomfield", "NOFORMAT");
    AddColumnField(heads, "LST_NME", text, "ConLastName");
    AddColumnField(heads, "FRST_NME", text, "ConFirstName");
    AddColumnField(heads, "M_NME", text, "ConMiddleName");
    AddColumnField(heads, "PRE_NME", text, "ConSalutation");
    AddColumnField(link, "LIVE_WTH", yesNo, "ConLivesWith");
    AddColumnField(heads, "EMAIL", text, "ConEmail", false, "Email", "Email", "#customcomfield", "EMAIL");
    // The importer pairs kinds, values and value types by occurrence.
    AddColumnField(heads, "F1_TYPE", text, "ConComKind");
    AddColumnField(heads, "F1_AREA_CD", phone(0), "ConComValue");
    AddColumnField(heads, "F2_TYPE", text, "ConComKind");
    AddConstantColumn("PHONE", "ConComValType");
    AddColumnField(heads, "F2_AREA_CD", phone(1), "ConComValue");
    AddConstantColumn("PHONE", "ConComValType");
    AddColumnField(heads, "F3_TYPE", text, "ConComKind");
    AddColumnField(heads, "F3_AREA_CD", phone(2), "ConComValue");
    AddConstantColumn("PHONE", "ConComValType");
    AddColumnField(family, "ADDR_LNE_1", text, "ConAddress1");
    AddColumnField(family, "ADDR_LNE_2", text, "ConAddress2");
    AddColumnField(family, "CITY", text, "ConCity");
    AddColumnField(family, "STATE", text, "ConState");
    AddColumnField(
        family, "ZIP_CD", [this] { return FamilyZipText(CleanText()); }, "ConZip");
    AddColumnField(
        link, "LIVE_WITH", [this] { return XYesNoText(CleanText()); }, "ConLivesWith");

    m_fields.familyNumber = AddField(heads, "FAM_NBR", false);
    m_fields.relationship2 = AddField(link, "RLTN_HH2", false);
    m_fields.restricted2 = AddField(link, "RSTRCT_HH2", false);
    m_fields.phoneNumbers[0] = AddField(heads, "F1_PHNE", false);
    m_fields.phoneExtension = AddField(heads, "F1_PH_EXT", false);
    m_fields.phoneNumbers[1] = AddField(heads, "F2_PHNE", false);
    m_fields.phoneNumbers[2] = AddField(heads, "F3_PHNE", false);

    AddJoin(stu, "ID_NBR", link, "ID_NBR");
    AddJoin(stu, "DST_NBR", link, "DST_NBR");
    AddJoin(link, "FAM_NBR", heads, "FAM_NBR");
    AddJoin(link, "DST_NBR", heads, "DST_NBR");
    AddJoin(heads, "FAM_NBR", family, "FAM_NBR");
    AddJoin(heads, "DST_NBR", family, "DST_NBR");
    AddSchoolConditions(stu);

    WriteTable([this] { return FilterStudent(); });
    FinishTable();
}

void ExpEngine::StudentContacts()
{
    StartTable("Student Contacts", "StudentCon.sef", false);
    ScopedDistinct distinct(*this);
    ODBCTable* stu = AddSisTable("ST010", "stu", true);
    ODBCTable* contact = AddSisTable("ST015", "CON", false);
    if (!contact)
        return SkipMissingTable("Create Student Contacts: Table ST015 does not exist.");

    const auto text = Fn(&DataAccessBase::CleanText);
    m_fields.studentKey = AddColumnField(stu, "ID_NBR", text, "ConStdRef");
    AddColumnField(
        contact, "CNT_SEQ", [this] { return "C" + CleanText(); }, "ConKey");
    AddConstantColumn("Contact", "ConType");
    AddConstantColumn("Contact", "ConRelationship");
    AddColumnField(contact, "CNT_NME", text, "ConFullName");
    AddColumnField(contact, "EMAIL_ADDR", text, "ConEmail", false, "Email", "Email", "#customcomfield",
                   "EMAIL");
    for (int n = 0; n < 4; ++n)
    {
        const XString prefix = "F" + XString(n + 1);
        AddColumnField(contact, prefix + "_TYPE", text, "ConComKind");
        AddColumnField(
            contact, prefix + "_AREA_CD", [this, n] { return PhoneOf(m_fields.phoneNumbers[n], nullptr); },
            "ConComValue");
    }
    AddColumnField(contact, "ADDR_LNE_1", text, "ConAddress1");
    AddColumnField(contact, "ADDR_LNE_2", text, "ConAddress2");
    AddColumnField(contact, "CITY", text, "ConCity");
    AddColumnField(contact, "STATE", text, "ConState");
    AddColumnField(
        contact, "ZIP_CD", [this] { return FamilyZipText(CleanText()); }, "ConZip");
    for (int n = 0; n < 4; ++n)
        m_fields.phoneNumbers[n] = AddField(contact, "F" + XString(n + 1) + "_PHNE", false);

    AddJoin(stu, "ID_NBR", contact, "ID_NBR");
    AddJoin(contact, "DST_NBR", stu, "DST_NBR");
    AddSchoolConditions(stu, {contact});

    WriteTable([this] { return FilterStudent(); });
    FinishTable();
}

void ExpEngine::StudentCustodyProtection()
{
    StartTable("Student Custody Protection", "CustodyNotes.sef", false);
    ScopedDistinct distinct(*this);
    ODBCTable* stu = AddSisTable("ST010", "stu", true);
    ODBCTable* exclusion = AddSisTable("ST013", "excl", false);
    ODBCTable* definition = AddSisTable("ST014", "def", false);
    if (!exclusion || !definition)
        return SkipMissingTable("Create StudentCustody Protection: Table ST013 or ST014 does not exist.");

    m_fields.studentKey = AddColumnField(stu, "ID_NBR", Fn(&DataAccessBase::CleanText), "NoteStdRef");
    AddColumnField(
        nullptr, "", [this] { return UniqueNoteKey(); }, "NoteKey");
    AddConstantColumn("ALERT", "NoteSeverity");
    AddConstantColumn("Custody Protection", "NoteTitle");
    AddColumnField(definition, "DST_XCLDS", Fn(&DataAccessBase::CleanText), "NoteContent");
    AddField(stu, "SCH_NBR", false);
    AddField(stu, "SCH_YR", false);
    AddField(stu, "DST_NBR", false);
    AddField(exclusion, "DST_NBR", false);
    AddField(exclusion, "ID_NBR", false);
    AddField(exclusion, "DST_XCLTY", false);
    AddField(definition, "DST_XCLTY", false);

    AddSchoolConditions(stu, {exclusion});
    AddJoin(stu, "ID_NBR", exclusion, "ID_NBR");
    AddJoin(exclusion, "DST_XCLTY", definition, "DST_XCLTY");
    // Each district defines its own exclusion texts: another district's
    // definition of 'CP' must not describe this student.
    AddJoin(exclusion, "DST_NBR", definition, "DST_NBR");
    AddCondition("AND", AddOperandField(exclusion, "DST_XCLTY"), "=", "'CP'");
    AddCondition("AND", AddOperandField(definition, "DST_XCLTY"), "=", "'CP'");

    WriteTable([this] { return FilterStudent(); });
    FinishTable();
}

void ExpEngine::StudentLegalNotes()
{
    StartTable("Student Legal Notes", "LegalNotes.sef", false);
    ODBCTable* stu = AddSisTable("ST010", "stu", true);
    ODBCTable* link = AddSisTable("CE810", "link", false);
    ODBCTable* family = AddSisTable("CE010", "family", false);
    if (!link || !family)
        return SkipMissingTable("Create Student Legal Notes: Table CE810 or CE 010 does not exist.");

    for (const char* name : {"NoteStdRef", "NoteKey", "NoteSeverity", "NoteTitle", "NoteContent"})
        AddHeaderField(name);
    XTextFile file('\t', "", "");
    OpenCurrentTableFile(file);

    m_fields.studentKey = AddField(stu, "ID_NBR", false);
    m_fields.relationship1 = AddField(link, "RLTN_HH1", false);
    m_fields.relationship2 = AddField(link, "RLTN_HH2", false);
    AddField(link, "HH_LGL", false);
    m_fields.restricted1 = AddField(link, "RSTRCT_HH1", false);
    m_fields.restricted2 = AddField(link, "RSTRCT_HH2", false);
    AddField(stu, "SCH_NBR", false);
    AddField(stu, "SCH_YR", false);
    AddField(stu, "DST_NBR", false);
    AddField(link, "DST_NBR", false);
    AddField(family, "DST_NBR", false);
    AddField(link, "ID_NBR", false);
    AddField(family, "FAM_NBR", false);
    AddField(link, "FAM_NBR", false);

    AddSchoolConditions(stu, {link, family});
    AddJoin(stu, "ID_NBR", link, "ID_NBR");
    AddJoin(link, "FAM_NBR", family, "FAM_NBR");
    AddOrder(m_fields.studentKey, false);

    WalkTable("Legal Notes",
              [&]
              {
                  ForEachRecord(
                      [&]
                      {
                          if (!FilterStudent())
                              return;
                          const XString restriction = HeadRestrictionText();
                          if (restriction.IsEmpty())
                              return;
                          file.WriteField(FieldText(m_fields.studentKey));
                          file.WriteField(UniqueNoteKey());
                          file.WriteField("ALERT");
                          file.WriteField("Restricted");
                          file.WriteField(restriction);
                          file.EndLine();
                      });
              });
    CloseTableFile(file);
}

void ExpEngine::StudentCustomFieldsTable()
{
    StartTable("Student Custom Fields", "StudentCustom.sef", false);
    ScopedDistinct distinct(*this);
    ODBCTable* stu = AddSisTable("ST010", "stu", true);
    ODBCTable* enroll = AddSisTable("CE020", "enroll", true);

    const auto text = Fn(&DataAccessBase::CleanText);
    SISExpCustomFieldList& list = m_studentCustomFields;
    m_fields.studentKey = AddListColumnField(list, stu, "ID_NBR", text, "StdKey");
    for (int n = 1; n <= 4; ++n)
    {
        const XString number(n);
        AddListColumnField(list, enroll, "MISC_" + number, text, "StdStudMisc" + number, false,
                           "StudMisc" + number, "Stud Misc " + number, "#customschoolfield", "NOFORMAT");
    }
    AddListColumnField(list, enroll, "MISC_10", text, "StdStudMisc10", false, "StudMisc10", "Stud Misc 10",
                       "#customschoolfield", "NOFORMAT");

    AddJoin(stu, "ID_NBR", enroll, "ID_NBR");
    AddJoin(stu, "DST_NBR", enroll, "DST_NBR");
    AddSchoolConditions(stu);

    WriteTable([this] { return FilterStudent(); });
    FinishTable();
}

void ExpEngine::StudentTransport()
{
    StartTable("Student Transport", "StudentTransport.sef", false);
    ScopedDistinct distinct(*this);
    ODBCTable* bus = AddSisTable("TR015", "bus", false);
    if (!bus)
        return SkipMissingTable("Student Transport: Table TR015 does not exist, skipping.");
    AddSchoolConditions(bus, kSchoolNumber | kSchoolYear);

    const auto date = [this] { return EightDigitDateText(); };
    m_fields.studentKey = AddColumnField(bus, "ID_NBR", Fn(&DataAccessBase::CleanText), "StdKey");
    AddColumnField(bus, "END_DT", date, "StdBusEndDate", false, "BusEndDate", "Bus End Date",
                   "#customschoolfield", "DATE");
    AddColumnField(bus, "BEG_DT", date, "StdBusStartDate", false, "BusStartDate", "BusStartDate",
                   "#customschoolfield", "DATE");
    AddColumnField(
        bus, "FROM_BUS", [this] { return BusRoute(m_fields.fromLocations); }, "StdBusOut");
    AddColumnField(
        bus, "TO_BUS", [this] { return BusRoute(m_fields.toLocations); }, "StdBusIn");
    static const char* const kFrom[] = {"FR_BUS_LCD", "FR_BU1_LCD", "FR_BU2_LCD",
                                        "FR_BU3_LCD", "FR_BU4_LCD", "FR_BU5_LCD"};
    static const char* const kTo[] = {"TO_BUS_LCD", "TO_BU1_LCD", "TO_BU2_LCD",
                                      "TO_BU3_LCD", "TO_BU4_LCD", "TO_BU5_LCD"};
    for (int i = 0; i < 6; ++i)
        m_fields.fromLocations[i] = AddField(bus, kFrom[i], false);
    for (int i = 0; i < 6; ++i)
        m_fields.toLocations[i] = AddField(bus, kTo[i], false);

    WriteTable([this] { return FilterStudent(); });
    FinishTable();
}
