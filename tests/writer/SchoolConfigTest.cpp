#include "SchoolConfig.h"
#include "MemoryWriter.h"

namespace
{
class SchoolConfigTest : public WriterTest
{
protected:
    void SetUp() override
    {
        WriterTest::SetUp();
        writer.SetAlias("tsis");
        writer.SetSchoolNumber("0123");
        writer.SetDistrictNumber("D1");
        writer.SetSchoolYear("2027");
        writer.SetMasterFile("/data/master.dbf");
        writer.SetOverlapDays("14");
        writer.SetUpdateDate(XDate(2026, 12, 8));
        writer.SetUpdateDateTime(At(2026, 12, 8, 9, 5, 7));
    }

    // The saved file with the values that differ between the cases.
    static std::string Expected(const QString& district, const QString& updateDate,
                                const QString& updateDateTime, const QString& dsn = "TSISDSN")
    {
        return QString::fromStdString(Golden("SchoolConfig.xml"))
            .arg(district, updateDate, updateDateTime, dsn)
            .toStdString();
    }
};

TEST_F(SchoolConfigTest, FourteenEntriesWithDatesMovedBackOneDay)
{
    writer.SaveSchoolConfig();
    EXPECT_EQ(Expected("D1", "07-Dec-2026", "07-Dec-2026 9:05:07"), FileBytes("SchoolConfig.xml"));

    EXPECT_EQ(XDate(2026, 12, 7), SchoolConfig::ReadUpdateDate(writer.SDEFolder()));
    EXPECT_EQ(At(2026, 12, 7, 9, 5, 7), SchoolConfig::ReadUpdateDateTime(writer.SDEFolder()));
    EXPECT_EQ("14", std::string(SchoolConfig::ReadOverlapDays(writer.SDEFolder()).Text()));
    EXPECT_EQ(14u, SchoolConfig::Read(writer.SDEFolder()).size());
}

// The date comes from the date and time when null; no date and time leaves that entry empty.
TEST_F(SchoolConfigTest, UpdateDatesMissingInPart)
{
    const struct
    {
        XDate date;
        XDateTime dateTime;
        const char* dateText;
        const char* dateTimeText;
    } cases[] = {
        {XDate(), At(2026, 12, 8, 9, 5, 7), "07-Dec-2026", "07-Dec-2026 9:05:07"},
        {XDate(2026, 12, 8), XDateTime(), "07-Dec-2026", ""},
        {XDate(), XDateTime(), "", ""},
    };
    for (const auto& c : cases)
    {
        writer.SetUpdateDate(c.date);
        writer.SetUpdateDateTime(c.dateTime);
        writer.SaveSchoolConfig();
        EXPECT_EQ(Expected("D1", c.dateText, c.dateTimeText), FileBytes("SchoolConfig.xml"));
    }
    EXPECT_TRUE(SchoolConfig::ReadUpdateDate(writer.SDEFolder()).IsNull());
}

// Only a changed value counts (the district without regard to case), each logged.
TEST_F(SchoolConfigTest, ChangedConfiguration)
{
    writer.SaveSchoolConfig();
    const struct
    {
        std::function<void()> change;
        std::vector<std::string> logged;
    } cases[] = {
        {[] {}, {}},
        {[this] { writer.SetDistrictNumber("d1"); }, {}},
        {[this]
         {
             writer.SetDistrictNumber("D2");
             writer.dataSource = "OTHERDSN";
         },
         {"District Changed. Old=D1 new=D2", "DSN Changed. Old=TSISDSN new=OTHERDSN"}},
        {[this]
         {
             writer.SetDistrictNumber("D1");
             writer.dataSource = "TSISDSN";
             params["appVersion_"] = "4.3.0.0";
         },
         {"Version Changed. Old=4.2.9.0 new=4.3.0.0"}},
    };
    for (const auto& c : cases)
    {
        signalLog.logs.clear();
        c.change();
        EXPECT_EQ(!c.logged.empty(), writer.CheckConfigurationChanged());
        std::vector<std::string> logged;
        for (const auto& entry : signalLog.logs)
            if (entry.message.find(" Changed. Old=") != std::string::npos)
                logged.push_back(entry.message);
        EXPECT_EQ(c.logged, logged);
    }
}

// A missing, foreign, altered or oversized file counts as a changed configuration.
TEST_F(SchoolConfigTest, AFileNotAsSavedCounts)
{
    EXPECT_TRUE(writer.CheckConfigurationChanged());
    EXPECT_TRUE(SchoolConfig::ReadUpdateDate(writer.SDEFolder()).IsNull());
    EXPECT_TRUE(SchoolConfig::ReadUpdateDateTime(writer.SDEFolder()).IsNull());
    writer.SaveSchoolConfig();
    const std::string saved = FileBytes("SchoolConfig.xml");
    std::string extra = saved, missing = saved;
    extra.insert(extra.find("</SchoolConfig>"), "<Extra ExtraValue=\"x\"/>\r\n");
    const size_t at = missing.find("<LastBridgeLogLevel");
    missing.erase(at, missing.find("\r\n", at) + 2 - at);
    // A sound file padded beyond 1 MiB is not read whole: it counts as foreign.
    const std::string padded = saved + "<!--" + std::string(2 << 20, ' ') + "-->\r\n";
    for (const std::string& bytes :
         {extra, missing, std::string("<Other>\r\n<SIS SISValue=\"tsis\"/>\r\n</Other>\r\n"), padded})
    {
        WriteFileBytes(PathOf("SchoolConfig.xml"), bytes);
        EXPECT_TRUE(writer.CheckConfigurationChanged()) << bytes.substr(0, 300);
        EXPECT_EQ(bytes == extra || bytes == missing, !SchoolConfig::Read(writer.SDEFolder()).empty());
    }
}

TEST_F(SchoolConfigTest, MarkupCharactersSurviveTheRoundTrip)
{
    writer.dataSource = "R&D <\"main\"> O'Hara";
    writer.SaveSchoolConfig();
    EXPECT_EQ(Expected("D1", "07-Dec-2026", "07-Dec-2026 9:05:07", "R&amp;D &lt;&quot;main&quot;&gt; O'Hara"),
              FileBytes("SchoolConfig.xml"));
    EXPECT_FALSE(writer.CheckConfigurationChanged());
    EXPECT_EQ("R&D <\"main\"> O'Hara",
              std::string(SchoolConfig::ReadValue(writer.SDEFolder(), "LastDSN", "LastDSNValue").Text()));
}

// The writer starts with the stored update dates when the configuration
// stayed; otherwise it forgets both dates. What happens to the update files
// is seen in the engine's second runs.
TEST_F(SchoolConfigTest, StartWriter)
{
    writer.SaveSchoolConfig();
    writer.StartWriter();
    EXPECT_TRUE(signalLog.Has(7, "Starting SDE Writer"));
    EXPECT_TRUE(signalLog.Has(7, std::string("Import Folder: ") + writer.SDEFolder().Path()));
    EXPECT_EQ(XDate(2026, 12, 8), writer.UpdateDate());

    writer.SetDistrictNumber("D2");
    writer.StartWriter();
    ASSERT_TRUE(signalLog.Has(7, "Bridge Configuration Changed."));
    EXPECT_TRUE(writer.UpdateDate().IsNull());
    EXPECT_TRUE(writer.UpdateDateTime().IsNull());
    // A run without attendance stores no date of the old configuration, so the
    // next attendance export starts again at the school year's start.
    writer.SaveSchoolConfig();
    EXPECT_EQ(Expected("D2", "", ""), FileBytes("SchoolConfig.xml"));
    EXPECT_TRUE(SchoolConfig::ReadUpdateDate(writer.SDEFolder()).IsNull());
}
} // namespace
