#include "BridgeBase.h"
#include "CapturedConsole.h"
#include "KeyWords.h"
#include "LogManager.h"
#include "SISMessageWriter.h"

#include <gtest/gtest.h>

namespace
{

class ProbeBridge : public BridgeBase
{
public:
    void set(const QString& key, const QString& value) { params_.insert(key, value); }
};

class ParameterModelTest : public ::testing::Test
{
protected:
    void SetUp() override { SISMessageWriter::instance()->clearMessages(); }
    void TearDown() override { SISMessageWriter::instance()->clearMessages(); }

    CapturedConsole console;
    ProbeBridge bridge;
};

TEST_F(ParameterModelTest, ConstructionDefinesTheOptionLists)
{
    EXPECT_EQ(bridge.switchList(), QStringList({QStringLiteral("all"), QStringLiteral("att"),
                                                QStringLiteral("demo"), QStringLiteral("help")}));
    EXPECT_EQ(bridge.valueOptionList().join(QLatin1Char(',')),
              QStringLiteral(
                  "group,paramkey,path,logpath,log,validate,inactivedate,year,teacher,dsnheader,dsnlabel,"
                  "dsn,user,pwdencode,pwd,schoolheader,district,school,yearheader,yearlabel,year,useyear"));
    // The later definition of "year" wins.
    ASSERT_NE(bridge.definition(QStringLiteral("year")), nullptr);
    EXPECT_EQ(bridge.definition(QStringLiteral("year"))->group, QStringLiteral("school"));
    EXPECT_EQ(bridge.definition(QStringLiteral("year"))->parents,
              QStringList({QString(), QStringLiteral("district"), QStringLiteral("school")}));
    EXPECT_EQ(bridge.definition(QStringLiteral("school"))->parents,
              QStringList({QString(), QStringLiteral("district")}));
    EXPECT_EQ(bridge.definition(QStringLiteral("district"))->parents, QStringList{QString()});
    EXPECT_EQ(bridge.definition(QStringLiteral("pwd")), nullptr);
    EXPECT_EQ(bridge.params().value(QStringLiteral("appTitle_")),
              QStringLiteral("Vantrel Data Extractor for TSIS/SchoolMAX"));
    EXPECT_EQ(bridge.params().value(QStringLiteral("appFinishedFile_")),
              QStringLiteral("finished_bridge.tmp"));
    EXPECT_EQ(bridge.params().value(QStringLiteral("appFrameworkVersion_")), QStringLiteral("1.0.0.2"));
    EXPECT_EQ(console.out, QString()); // nothing visible at construction
}

TEST_F(ParameterModelTest, FlagNamesAreCutToFifteenCharacters)
{
    const ParamDef* def =
        bridge.addParam(QStringLiteral("school"), QStringLiteral("pick"),
                        QStringLiteral("Select this checkbox"), QStringLiteral("flag"), QString(), QString());
    ASSERT_NE(def, nullptr);
    EXPECT_EQ(def->name, QStringLiteral("Select this che"));
    EXPECT_EQ(console.maskedOut(),
              QStringLiteral("log\tError        \thh:mm:ss\tSISConfig::addParam\tParameter: pick "
                             "has a paramname that is too long: Select this checkbox\n"));
}

TEST_F(ParameterModelTest, PasswordKeyWithoutEncodeIsOnlyWarnedAbout)
{
    const qsizetype before = bridge.valueOptionList().size();
    bridge.addParam(QStringLiteral("connection"), QStringLiteral("secret"), QStringLiteral("Secret"),
                    QStringLiteral("password"), QString(), QString());
    EXPECT_EQ(bridge.valueOptionList().size(), before + 1);
    EXPECT_EQ(
        console.maskedOut(),
        QStringLiteral("log\tWarning      \thh:mm:ss\tSISConfig::addParam\tParameter: secret is a Password "
                       "style parameter, but does not use 'encode' this means it will not be encoded.\n"));

    bridge.addParam(QStringLiteral("connection"), QStringLiteral("keyencode"), QStringLiteral("Key"),
                    QStringLiteral("password"), QString(), QString());
    EXPECT_EQ(bridge.valueOptionList().mid(before + 1),
              QStringList({QStringLiteral("keyencode"), QStringLiteral("key")}));
}

TEST_F(ParameterModelTest, UnknownGroupDefinesNothingButListsTheKey)
{
    EXPECT_EQ(bridge.addParam(QStringLiteral("nosuch"), QStringLiteral("orphan"), QStringLiteral("Orphan"),
                              QStringLiteral("edit"), QString(), QString()),
              nullptr);
    EXPECT_TRUE(bridge.valueOptionList().contains(QStringLiteral("orphan")));
    EXPECT_EQ(bridge.definition(QStringLiteral("orphan")), nullptr);
    EXPECT_EQ(console.maskedOut(),
              QStringLiteral("log\tError        \thh:mm:ss\tSISConfig::setParam\tTried to set a "
                             "parameter for a non-existant group, please contact Vantrel "
                             "Support.\n"));
}

TEST_F(ParameterModelTest, RedefinitionInTheSameGroupKeepsDefaultAndParents)
{
    ParamDef* first =
        bridge.addParam(QStringLiteral("school"), QStringLiteral("extra"), QStringLiteral("Extra"),
                        QStringLiteral("edit"), QStringLiteral("h1"), QStringLiteral("d1"));
    bridge.addParent(first, QStringLiteral("dsn"));
    ParamDef* second =
        bridge.addParam(QStringLiteral("school"), QStringLiteral("extra"), QStringLiteral("Other"),
                        QStringLiteral("default"), QStringLiteral("h2"), QStringLiteral("d2"));
    EXPECT_EQ(first, second);
    EXPECT_EQ(second->name, QStringLiteral("Other"));
    EXPECT_EQ(second->type, QStringLiteral("default"));
    EXPECT_EQ(second->help, QStringLiteral("h2"));
    EXPECT_EQ(second->defaultValue, QStringLiteral("d1"));
    EXPECT_EQ(second->parents, QStringList({QString(), QStringLiteral("dsn")}));
}

TEST_F(ParameterModelTest, CheckMissingFindsTheEncodedDefinition)
{
    EXPECT_EQ(bridge.checkMissing(QString()), 0);
    EXPECT_EQ(bridge.checkMissing(QStringLiteral("pwd")), 1);
    EXPECT_EQ(bridge.checkMissing(QStringLiteral("nosuch")), 1);
    bridge.set(QStringLiteral("dsn"), QStringLiteral("Sis"));
    EXPECT_EQ(bridge.checkMissing(QStringLiteral("dsn")), 0);
    EXPECT_EQ(SISMessageWriter::instance()->pendingMissing(),
              QStringList({QStringLiteral("missing\tpwdencode\tPassword missing or blank."),
                           QStringLiteral("missing\tnosuch\tMissing or blank.")}));
}

TEST_F(ParameterModelTest, AnyAlternativeMeetsARequirement)
{
    bridge.addRequirement(QStringLiteral("probe"), {QStringLiteral("dsn")});
    bridge.addRequirement(QStringLiteral("probe"), {QStringLiteral("dsn"), QStringLiteral("user")});
    bridge.set(QStringLiteral("dsn"), QStringLiteral("Sis"));
    EXPECT_EQ(bridge.checkRequirements(QStringLiteral("probe")), 0);
    EXPECT_EQ(bridge.checkRequirements(QStringLiteral("unregistered")), 0);

    // Blanks of an unmet alternative are dropped once another one is met.
    bridge.addRequirement(QStringLiteral("either"), {QStringLiteral("group")});
    bridge.addRequirement(QStringLiteral("either"), {QStringLiteral("dsn")});
    EXPECT_EQ(bridge.checkRequirements(QStringLiteral("either")), 0);
    EXPECT_TRUE(SISMessageWriter::instance()->pendingMissing().isEmpty());

    bridge.addRequirement(QStringLiteral("empty"), {});
    EXPECT_EQ(bridge.checkRequirements(QStringLiteral("empty")), 0);

    bridge.addRequirement(QStringLiteral("both"), {QStringLiteral("user")});
    bridge.addRequirement(QStringLiteral("both"), {QStringLiteral("district")});
    EXPECT_EQ(bridge.checkRequirements(QStringLiteral("both")), 1);
    EXPECT_EQ(console.err, QStringLiteral("missing\tuser\tUsername missing or blank.\n"
                                          "missing\tdistrict\tDistrict missing or blank.\n"));
    EXPECT_EQ(console.out, QStringLiteral("warning\tboth\tRequired parameter missing.\n"));
}

TEST_F(ParameterModelTest, PrerequisiteFailureStopsBeforeOwnAlternatives)
{
    EXPECT_EQ(bridge.checkRequirements(QStringLiteral("school")), 1);
    EXPECT_EQ(console.out, QStringLiteral("warning\tconnection\tRequired parameter missing.\n"));
    EXPECT_FALSE(console.err.contains(QStringLiteral("district")));
}

TEST_F(ParameterModelTest, TempLocalDatabaseFolder)
{
    EXPECT_EQ(bridge.CreateTempLocalDBFolder(QString()), QString());
    EXPECT_EQ(console.maskedOut(),
              QStringLiteral("log\tError        \thh:mm:ss\tAppBase::CreateTempLocalDBFolder\tNo "
                             "signifigant folder name, cannot create local DB.\n"));
    const QString folder = bridge.CreateTempLocalDBFolder(QStringLiteral("unit"));
    ASSERT_FALSE(folder.isEmpty());
    EXPECT_TRUE(QDir(folder).exists());
    EXPECT_TRUE(folder.endsWith(QStringLiteral("/localDB")));
    EXPECT_TRUE(folder.contains(QStringLiteral("/dsl/tsis.unit.")));
    QDir(folder).cdUp();
    QDir(QFileInfo(folder).absolutePath()).removeRecursively();
}

TEST_F(ParameterModelTest, ExtractionFlagsFromTheSwitches)
{
    const QString exe = QStringLiteral("/opt/tsisbridge");
    struct
    {
        QStringList switches;
        int flags;
    } cases[] = {
        {{}, -1},
        {{QStringLiteral("--all")}, -1},
        {{QStringLiteral("--demo")}, 1},
        {{QStringLiteral("--att")}, 2},
        {{QStringLiteral("--demo"), QStringLiteral("--att")}, 0},
        {{QStringLiteral("--all"), QStringLiteral("--att")}, 2},
    };
    for (const auto& c : cases)
    {
        ProbeBridge probe;
        EXPECT_EQ(probe.processCommandLine(QStringList{exe, QStringLiteral("version")} + c.switches), 0);
        EXPECT_EQ(probe.extractionFlags(), c.flags) << c.switches.join(QLatin1Char(' ')).toStdString();
    }
    qInstallMessageHandler(nullptr);
}

TEST_F(ParameterModelTest, PreparedValuesDecodeThePasswordAndRepairFolders)
{
    EXPECT_EQ(
        bridge.processCommandLine({QStringLiteral("/opt/tsisbridge"), QStringLiteral("version"),
                                   QStringLiteral("--pwdencode=4142"), QStringLiteral("--pwd=plain"),
                                   QStringLiteral("--logpath=C:\\Logs\""), QStringLiteral("--validate=x")}),
        0);
    qInstallMessageHandler(nullptr);
    EXPECT_EQ(bridge.paramValue(QStringLiteral("pwd")), QStringLiteral("AB"));
    EXPECT_EQ(bridge.paramValue(QStringLiteral("pwdencode")), QStringLiteral("4142"));
    EXPECT_EQ(bridge.paramValue(QStringLiteral("logpath")), QStringLiteral("C:\\Logs\\"));
    EXPECT_EQ(bridge.paramValue(QStringLiteral("apppath")), QStringLiteral("/opt/tsisbridge"));
    EXPECT_FALSE(bridge.validationNumber().has_value());
}

TEST_F(ParameterModelTest, ValidationNumberNeedsTheWholeValue)
{
    EXPECT_EQ(bridge.processCommandLine({QStringLiteral("/opt/tsisbridge"), QStringLiteral("version"),
                                         QStringLiteral("--validate=7")}),
              7);
    qInstallMessageHandler(nullptr);
    EXPECT_EQ(bridge.validationNumber(), std::optional<int>(7));
    ProbeBridge other;
    other.processCommandLine(
        {QStringLiteral("/opt/tsisbridge"), QStringLiteral("version"), QStringLiteral("--validate=7x")});
    qInstallMessageHandler(nullptr);
    EXPECT_FALSE(other.validationNumber().has_value());
}

} // namespace
