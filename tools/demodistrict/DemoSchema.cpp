#include "DemoSchema.h"

#include <map>
#include <sstream>
#include <stdexcept>

namespace demo
{
namespace
{

// "NAME:i" integer, "NAME:tN" text of width N, a trailing ":tsis" or ":schmax" marks a column of
// that flavour only, ":link" a CE810 column of the usual databases only, ":wth" one of the LIVE_WTH
// databases only.
TableDef table(const char* name, const char* columns)
{
    TableDef t{name, {}};
    std::istringstream in(columns);
    std::string item;
    while (in >> item)
    {
        const auto c1 = item.find(':');
        if (c1 == std::string::npos)
            throw std::logic_error("bad column list " + item);
        ColumnDef col{item.substr(0, c1), ColumnType::Integer, 0, false, false, LinkColumns::Any};
        std::string rest = item.substr(c1 + 1);
        const auto c2 = rest.find(':');
        if (c2 != std::string::npos)
        {
            const std::string flag = rest.substr(c2 + 1);
            if (flag == "tsis")
                col.tsisOnly = true;
            else if (flag == "schmax")
                col.schmaxOnly = true;
            else if (flag == "link")
                col.linkColumns = LinkColumns::PrimaryAndLiveWith;
            else if (flag == "wth")
                col.linkColumns = LinkColumns::LiveWthOnly;
            else
                throw std::logic_error("bad column flag " + item);
            rest = rest.substr(0, c2);
        }
        if (rest[0] == 't')
        {
            col.type = ColumnType::Text;
            col.width = std::stoi(rest.substr(1));
        }
        else if (rest != "i")
            throw std::logic_error("bad column type " + item);
        t.columns.push_back(col);
    }
    return t;
}

std::vector<TableDef> buildTables()
{
    return {
        // District and schools.
        table("SY005", "DST_NBR:i DST_NME:t40"),
        table("SY010", "DST_NBR:i SCH_NBR:t4 SCH_NME:t40 TIES_SCH:t4:tsis"),
        // Staff.
        table("SY030", "DST_NBR:i EMP_NBR:i LST_NME:t25 FRST_NME:t20 GENDER:t1 ADDR_LNE_1:t40 ADDR_LNE_2:t40 "
                       "CITY:t25 STATE:t2 ZIP_CD:t9 HM_AREA_CD:i HM_PHNE:i BRTH_YEAR:i BRTH_MMDD:t4"),
        table("SY031", "DST_NBR:i STAFF_TYPE:t2 STAFF_DESC:t30"),
        table("SY035",
              "DST_NBR:i EMP_NBR:i SCH_NBR:t4 STAFF_TYPE:t2 EMAIL:t60 WK_AREA_CD:i WK_PHNE:i WK_EXT:i "
              "DEPARTMENT:t20 BEG_EMP_DT:i END_EMP_DT:i"),
        // Students and families.
        table("ST010", "DST_NBR:i SCH_NBR:t4 SCH_YR:i ID_NBR:i GRDE:t2 TCHR_NBR:i HMRM:t6 COUNSELOR:i "
                       "LOCK_NBR:t6 LOCK_COMB:t10 BEG_ENR_DT:i END_ENR_DT:i"),
        table("CE020",
              "DST_NBR:i ID_NBR:i STATE_ID:t12 LST_NME:t25 FRST_NME:t20 M_NME:t20 GENDER:t1 BRTH_DT:i "
              "EMAIL:t60 ETHNIC:t1 INACTIVE:t1 MISC_1:t10 MISC_2:t10 MISC_3:t10 MISC_4:t10 MISC_5:t10 "
              "MISC_6:t10 MISC_7:t10 MISC_8:t10 MISC_9:t10 MISC_10:t10"),
        table("CE810",
              "DST_NBR:i ID_NBR:i FAM_NBR:i PRIM_FAM:t1:link LIVE_WITH:t1:link LIVE_WTH:t1:wth HH_LGL:t1 "
              "RLTN_HH1:t2 RLTN_HH2:t2 RSTRCT_HH1:t1 RSTRCT_HH2:t1"),
        table("CE010", "DST_NBR:i FAM_NBR:i ADDR_LNE_1:t40 ADDR_LNE_2:t40 CITY:t25 STATE:t2 ZIP_CD:t9 "
                       "HM_AREA_CD:i HM_PHNE:i"),
        table("CE015", "DST_NBR:i FAM_NBR:i HH_NBR:i LST_NME:t25 FRST_NME:t20 M_NME:t20 PRE_NME:t6 EMAIL:t60 "
                       "F1_TYPE:t10 F1_AREA_CD:i F1_PHNE:i F1_PH_EXT:i F2_TYPE:t10 F2_AREA_CD:i F2_PHNE:i "
                       "F3_TYPE:t10 F3_AREA_CD:i F3_PHNE:i"),
        table("CE035", "DST_NBR:i RLTN_CD:t2 RLTN_DESCR:t30"),
        table("ST015", "DST_NBR:i ID_NBR:i CNT_SEQ:i CNT_NME:t40 EMAIL_ADDR:t60 F1_TYPE:t10 F1_AREA_CD:i "
                       "F1_PHNE:i F2_TYPE:t10 F2_AREA_CD:i F2_PHNE:i F3_TYPE:t10 F3_AREA_CD:i F3_PHNE:i "
                       "F4_TYPE:t10 F4_AREA_CD:i F4_PHNE:i ADDR_LNE_1:t40 ADDR_LNE_2:t40 CITY:t25 STATE:t2 "
                       "ZIP_CD:t9"),
        table("ST013", "DST_NBR:i ID_NBR:i DST_XCLTY:t2"),
        table("ST014", "DST_NBR:i DST_XCLTY:t2 DST_XCLDS:t200"),
        table("SY055", "DST_NBR:i NT_TYPE:t3 NT_ID:i NT_PAGE:i NT_LNE:i NT_KWD:t20 NT_TXT:t80"),
        table("TR015",
              "DST_NBR:i SCH_NBR:t4 SCH_YR:i ID_NBR:i FROM_BUS:t4 TO_BUS:t4 FR_BUS_LCD:t30 "
              "FR_BU1_LCD:t4 FR_BU2_LCD:t4 FR_BU3_LCD:t4 FR_BU4_LCD:t4 FR_BU5_LCD:t4 TO_BUS_LCD:t30 "
              "TO_BU1_LCD:t4 TO_BU2_LCD:t4 TO_BU3_LCD:t4 TO_BU4_LCD:t4 TO_BU5_LCD:t4 BEG_DT:i END_DT:i"),
        table("TR060", "DST_NBR:i BUS_LOC_CD:t4 BUS_LCD_DE:t40"),
        // Calendar and schedule.
        table("CA005", "DST_NBR:i SCH_NBR:t4 SCH_YR:i CAL_DT:i DAY_CD:t2 INST_F:t1 CYCLE_DAY:t9"),
        table("CA020", "DST_NBR:i SCH_NBR:t4 SCH_YR:i CAL_TY:t2 PRD_NBR:i BEG_PRD_DT:i END_PRD_DT:i"),
        table("SC040", "DST_NBR:i SCH_NBR:t4 SCH_YR:i VERSION:t2 TERM_CD:t2 TERM_NBR:i"),
        table("SC082", "DST_NBR:i SC_CODE:t2 SC_CD_ABBR:t4 SC_DESC:t30"),
        table("SC031", "DST_NBR:i SCH_NBR:t4 SCH_YR:i VERSION:t2 COURSE:t6 CRS_DESCR:t30"),
        table("SC060", "DST_NBR:i SCH_NBR:t4 SCH_YR:i VERSION:t2 COURSE:t6 XSECTION:t2 TERM_CD:t2"),
        table("SC065", "DST_NBR:i SCH_NBR:t4 SCH_YR:i VERSION:t2 COURSE:t6 XSECTION:t2 PERIOD:t2 ROOM:t6 "
                       "CYCLE_DAY:t9"),
        table("SC070", "DST_NBR:i SCH_NBR:t4 SCH_YR:i VERSION:t2 COURSE:t6 XSECTION:t2 EMP_NBR:i"),
        table("SC055",
              "DST_NBR:i SCH_NBR:t4 SCH_YR:i VERSION:t2 ID_NBR:i COURSE:t6 SECT_ASG:t2 DATE_DROP:i:tsis"),
        table("GR025", "DST_NBR:i SCH_NBR:t4 SCH_YR:i BEG_DT_1:i CUTOFF_DT1:i BEG_DT_2:i CUTOFF_DT2:i "
                       "BEG_DT_3:i CUTOFF_DT3:i BEG_DT_4:i CUTOFF_DT4:i BEG_DT_5:i CUTOFF_DT5:i BEG_DT_6:i "
                       "CUTOFF_DT6:i"),
        // Attendance.
        table("AT015", "DST_NBR:i SCH_NBR:t4 REAS_CD:t3 REAS_DSCR:t30 EXCSD_ABS:t1 ABS_TOT:t1 TRU_RPT:t1"),
        table("AT020", "DST_NBR:i SCH_NBR:t4 SCH_YR:i ID_NBR:i CAL_DT:i REAS_CD:t3 ATT_STAT:t1 HALF_DAYS:i "
                       "MNT_DT:i"),
        table("AT030", "DST_NBR:i SCH_NBR:t4 SCH_YR:i ID_NBR:i CAL_DT:i COURSE:t6 XSECTION:t2 REAS_CD:t3 "
                       "ATT_STAT:t1 MNT_DT:i"),
        // Conduct.
        table("EV010",
              "DST_NBR:i SCH_NBR:t4 SCH_YR:i EV_SEQ_NBR:i EVENT_CAT:t3 EVENT_CD:t6 DATE_8:i HOURS:t2 "
              "MINUTES:t2 AM_PM:t2 BUS_INC:t1 REF_BY:t1 R-ID-NBR:i:tsis ID_NBR:i:schmax MAJOR_NBR:t6 "
              "NBR_OFF:i NBR_VICT:i "
              "NBR_WIT:i WPN_CD:t2 OTH_WPN:t2 PROP_TYPE:t2 OTH_FACT:t2 INJURY_TY:t2 INJ_TO_TY:t2 "
              "LAW_REPT:t1 LAW_RE_NBR:t12 NBR_ARREST:i REP_FLAG:t1 REP_DATE:i COST_V_PRO:i "
              "COST_S_PRO:i COST_V_PER:i COST_S_PER:i"),
        table("EV020",
              "DST_NBR:i SCH_NBR:t4 SCH_YR:i EV_SEQ_NBR:i PART_SEQ:i ID_NBR:i PART_CD:t1 PART_TYPE:t1 "
              "AGE:i GENDER:t1 OTH_DST:t4 OTH_SCH:t4 ETHN_CD:t1 PART_STAT:t2 OTH_FACT:t2"),
        table("EV030",
              "DST_NBR:i SCH_NBR:t4 SCH_YR:i EV_SEQ_NBR:i PART_SEQ:i EVENT_CAT:t3 EMP_NBR:i RESP_CD:t4 "
              "RESP_DATE:i PRIM_FLG:t1 SUS_DATE_F:t8 SUS_DATE_T:t8 SUS_HR_F:t2 SUS_MIN_F:t2 SUS_AMPM_F:t2 "
              "SUS_HR_T:t2 SUS_MIN_T:t2 SUS_AMPM_T:t2 DIS_BY:t2 SUS_LOC:t20 ASGN_DAYS:i ACTL_DAYS:i "
              "DIFF_REAS:t2 DIS_STAT:t2 EDUC_REF:t2 RET_ELIG:t2 RET_ELIGDT:i"),
        table("EV055", "DST_NBR:i ST_INC_CD:t4 ST_INC_DSC:t40"),
        table("EV060", "DST_NBR:i SCH_NBR:t4 EVENT_CAT:t3 EVENT_CD:t6 EVENT_DESC:t30 ST_INC_CD:t4 CRIT_EV:t1 "
                       "EV_SUSP:t1"),
        table("EV065", "DST_NBR:i SCH_NBR:t4 EVENT_CAT:t3 RESP_CD:t4 RESP_DESC:t30"),
        table("EV070", "DST_NBR:i EVENT_CAT:t3 WPN_CD:t2 WPN_DESC:t30"),
        table("EV075", "DST_NBR:i EVENT_CAT:t3 PART_STAT:t2 PART_ST_DE:t30"),
        table("EV080", "DST_NBR:i EVENT_CAT:t3 OTH_FACT:t2 OTH_DESC:t30"),
        table("EV081", "DST_NBR:i EVENT_CAT:t3 PROP_TYPE:t2 PROP_DESC:t30"),
        table("EV082", "DST_NBR:i EVENT_CAT:t3 INJURY_TY:t2 INJURY_DES:t30"),
        table("EV083", "DST_NBR:i EVENT_CAT:t3 INJ_TO_TY:t2 INJ_TO_DES:t30"),
        table("EV090", "DST_NBR:i EV_TYPE:t4 EV_CODE:t2 EV_DESC:t30"),
        // Health.
        table("HE094", "DST_NBR:i HLCODE:t4 HLCODEDESC:t30"),
        table("HE015",
              "DST_NBR:i ID_NBR:i HLCODE:t4 HLCODEDESC:t30 HLCODEXT:t4 ALERT:t10 START_DT:i STOP_DT:i"),
        table("HE011", "DST_NBR:i SCH_NBR:t4 ID_NBR:i MEDICATION:t30 DOSAGE:t20 DOSAGE_TM:t20 ROUTE:t10 "
                       "COMMENTS:t60 START_DT:i STOP_DT:i MED_CMT:t60 NO_DISPLAY:t1"),
        table("HE020", "DST_NBR:i ID_NBR:i IMMTYPE:t6 IMMEXMPT:t1 HD_DISEASE:t1 IMMDATE:i"),
        table("HE012", "DST_NBR:i ID_NBR:i ALLERGY:t30"),
        // Grades.
        table("GR060",
              "DST_NBR:i SCH_NBR:t4 SCH_YR:i ID_NBR:i COURSE:t6 XSECTION:t2 GR_PERIOD:t2 GRADE_TY:t4 "
              "GRADE:t3 CMT_NBR_1:i CMT_NBR_2:i CMT_NBR_3:i CMT_GRP_1:i CMT_GRP_2:i CMT_GRP_3:i"),
        table("GR013", "DST_NBR:i SCH_YR:i CMT_NBR:i CMT_GRP:i CMT_TEXT:t40"),
        table("GR020", "DST_NBR:i SCH_NBR:t4 SCH_YR:i GRADE_TY:t4 GRTY_DESCR:t30"),
    };
}

} // namespace

namespace
{
LinkColumns g_linkColumns = LinkColumns::PrimaryAndLiveWith;
}

void setLinkColumns(LinkColumns columns)
{
    g_linkColumns = columns;
}

bool columnPresent(const ColumnDef& column, Flavour flavour)
{
    if (column.linkColumns != LinkColumns::Any && column.linkColumns != g_linkColumns)
        return false;
    return (!column.tsisOnly || flavour == Flavour::Tsis) &&
           (!column.schmaxOnly || flavour == Flavour::SchoolMax);
}

bool TableDef::hasColumn(const std::string& column, Flavour flavour) const
{
    for (const ColumnDef& c : columns)
        if (c.name == column)
            return columnPresent(c, flavour);
    return false;
}

const std::vector<TableDef>& demoTables()
{
    static const std::vector<TableDef> tables = buildTables();
    return tables;
}

const TableDef& demoTable(const std::string& name)
{
    for (const TableDef& t : demoTables())
        if (t.name == name)
            return t;
    throw std::logic_error("unknown demo table " + name);
}

} // namespace demo
