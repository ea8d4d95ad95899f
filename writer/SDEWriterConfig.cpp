// SchoolConfig.xml from the writer's side: the configuration the folder was
// made with, and the update dates kept for the next run.
#include "SDEWriter.h"

#include "SchoolConfig.h"

namespace
{
constexpr int kEntryCount = 14;
}

bool SDEWriter::CheckConfigurationChanged()
{
    std::vector<SchoolConfig::Entry> entries = SchoolConfig::Read(m_sdeFolder);
    bool changed = entries.size() != static_cast<size_t>(kEntryCount);
    if (changed)
        return true;

    struct Known
    {
        const char* element;
        const char* attribute;
        XString current;
        const char* label;
    };
    const Known known[] = {
        {"LastDistrict", "LastDistrictValue", m_districtNumber, "District"},
        {"LastSchoolNumber", "LastSchoolNumberValue", m_schoolNumber, "School"},
        {"SIS", "SISValue", m_alias, "SIS"},
        {"LastSchoolYear", "LastSchoolYearValue", m_schoolYear, "Year"},
        {"LastMasterFile", "LastMasterFileValue", m_masterFile, "MasterFile"},
        {"LastMasterFolder", "LastMasterFolderValue", m_masterFolder, "MasterFolder"},
        {"LastSecurityFile", "LastSecurityFileValue", m_securityFile, "Security File"},
        {"LastDSN", "LastDSNValue", GetDataSource(), "DSN"},
        {"LastBridgeVersion", "LastBridgeVersionValue", Param("appVersion_"), "Version"},
    };

    for (const SchoolConfig::Entry& entry : entries)
    {
        for (const Known& k : known)
        {
            if (entry.element.CompareNoCase(k.element) != 0 ||
                entry.attribute.CompareNoCase(k.attribute) != 0)
                continue;
            if (entry.value.Lower() != k.current.Lower())
            {
                Log(7, XString(k.label) + " Changed. Old=" + entry.value + " new=" + k.current);
                changed = true;
            }
            break;
        }
    }
    return changed;
}

void SDEWriter::SaveSchoolConfig()
{
    // An incomplete run keeps the dates of the last complete one, as a failed run does.
    if (!m_incompleteTables.empty())
    {
        Log(7, "Bridge Config not saved: the export is incomplete.");
        return;
    }
    XDate date = m_updateDate;
    if (date.IsNull() || date.DayNumber() == 0)
        date = m_updateDateTime.Date();
    if (!date.IsNull())
        date = date - 1;

    XString dateTimeText;
    if (!m_updateDateTime.IsNull())
        dateTimeText = m_updateDateTime.Subtract(0, 0, 1).Format("dd-mmm-yyyy hh:nn:ss");
    else
        dateTimeText = XDateTime(date).Format("dd-mmm-yyyy hh:nn:ss");

    std::vector<SchoolConfig::Entry> entries = {
        {"SIS", "SISValue", m_alias},
        {"LastBridgeVersion", "LastBridgeVersionValue", Param("appVersion_")},
        {"LastSchoolNumber", "LastSchoolNumberValue", m_schoolNumber},
        {"LastDistrict", "LastDistrictValue", m_districtNumber},
        {"LastSchoolYear", "LastSchoolYearValue", m_schoolYear},
        {"LastDSN", "LastDSNValue", GetDataSource()},
        {"LastMasterFile", "LastMasterFileValue", m_masterFile},
        {"LastMasterFolder", "LastMasterFolderValue", m_masterFolder},
        {"LastSecurityFile", "LastSecurityFileValue", m_securityFile},
        {"GlobalFolder", "GlobalFolderValue", m_globalFolder},
        {"UpdateDate", "UpdateDateValue", date.Format("dd-mmm-yyyy")},
        {"UpdateDateTime", "UpdateDateTimeValue", dateTimeText},
        {"OverlapInDays", "OverlapValue", m_overlapDays},
        {"LastBridgeLogLevel", "LastBridgeLogLevelValue", "7"},
    };
    SchoolConfig::Write(m_sdeFolder, entries);
}
