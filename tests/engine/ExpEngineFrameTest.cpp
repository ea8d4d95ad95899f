#include <gtest/gtest.h>

#include <QStringList>

#include <memory>

#include "DatabaseType.h"
#include "ExpEngine.h"

namespace
{

// Records "level message" lines; the list outlives the recorder because the
// engine's destructor still logs.
struct RecordedLog
{
    explicit RecordedLog(ExpEngine& engine) : shared(std::make_shared<QStringList>())
    {
        QObject::connect(&engine, &AppTaskBase::writeLog,
                         [list = shared](int level, QString message, QString)
                         { *list << QString::number(level) + " " + message; });
    }
    const QStringList& lines() const { return *shared; }
    std::shared_ptr<QStringList> shared;
};

TEST(ExpEngineFrame, ConstructionSettings)
{
    ExpEngine engine;
    EXPECT_STREQ(engine.Settings().dateFormat.Text(), "YYYYMMDD");
    EXPECT_STREQ(engine.Settings().timeFormat.Text(), "HH:NN:SS AA");
    EXPECT_EQ(engine.OptionWord(), 3);
    EXPECT_EQ(engine.DatabaseType(), DatabaseType::Unset);
    EXPECT_TRUE(engine.MssqlDateSwitch());
    // Set-up 2 + lookup tables 10 + 2, and the imports 35 for a full export.
    EXPECT_EQ(engine.CalculateProgressSize(0), 14);
    EXPECT_EQ(engine.CalculateProgressSize(1), 49);

    ASSERT_EQ(engine.CustomFieldLists().size(), 1u);
    SISExpCustomFieldList* students = engine.CustomFieldLists()[0];
    EXPECT_EQ(students, &engine.StudentCustomFields());
    EXPECT_STREQ(students->FileName().Text(), "StudentCustom.txt");
    EXPECT_EQ(students->Flag(), 1);
}

TEST(ExpEngineFrame, FiltersRejectEverythingWithoutTheirKeyField)
{
    ExpEngine engine;
    RecordedLog log(engine);
    EXPECT_FALSE(engine.FilterStudent());
    EXPECT_FALSE(engine.FilterStaff());
    EXPECT_EQ(log.lines(), QStringList({"8 FilterStudent: Student Key Field not defined.",
                                        "8 FilterStaff: Staff Key Field not defined."}));
}

TEST(ExpEngineFrame, TableNamesBeforeDetectionAreBare)
{
    ExpEngine engine;
    EXPECT_STREQ(engine.GetTableName("SY005", false).Text(), "SY005");
    EXPECT_STREQ(engine.GetTableName("SY005", true).Text(), "SY005");
}

TEST(ExpEngineFrame, OperationsWithoutADatabaseFailQuietly)
{
    ExpEngine engine;
    RecordedLog log(engine);
    EngineList list;
    EXPECT_FALSE(engine.LoadBridgeList(list, "teacher", ParamMap()));
    EXPECT_TRUE(log.lines().isEmpty());
    EXPECT_STREQ(engine.FindCurrentSchoolYear().Text(), "");
    EXPECT_TRUE(log.lines().contains("7 Error Extracting School Year."));
}

} // namespace
