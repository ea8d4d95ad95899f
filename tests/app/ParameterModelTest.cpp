#include "BridgeBase.h"
#include "CapturedConsole.h"
#include "KeyWords.h"
#include "LogManager.h"
#include "SISMessageWriter.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace
{

class ProbeBridge : public BridgeBase
{
public:
    // processCommandLine installs the application's message handler: no later test inherits it.
    ~ProbeBridge() override { qInstallMessageHandler(nullptr); }
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
    EXPECT_EQ(bridge.switchList(), QStringList({u"all"_s, u"att"_s, u"demo"_s, u"help"_s}));
    EXPECT_EQ(bridge.valueOptionList().join(QLatin1Char(',')),
              u"group,paramkey,path,logpath,log,validate,inactivedate,year,teacher,dsnheader,dsnlabel,"
              "dsn,user,pwdencode,pwd,schoolheader,district,school,yearheader,yearlabel,year,useyear"_s);
    // The later definition of "year" wins.
    ASSERT_NE(bridge.definition(u"year"_s), nullptr);
    EXPECT_EQ(bridge.definition(u"year"_s)->group, u"school"_s);
    EXPECT_EQ(bridge.definition(u"year"_s)->parents, QStringList({QString(), u"district"_s, u"school"_s}));
    EXPECT_EQ(bridge.definition(u"school"_s)->parents, QStringList({QString(), u"district"_s}));
    EXPECT_EQ(bridge.definition(u"district"_s)->parents, QStringList{QString()});
    EXPECT_EQ(bridge.definition(u"pwd"_s), nullptr);
    EXPECT_EQ(bridge.params().value(u"appTitle_"_s), u"Vantrel Data Extractor for TSIS/SchoolMAX"_s);
    EXPECT_EQ(bridge.params().value(u"appFinishedFile_"_s), u"finished_bridge.tmp"_s);
    EXPECT_EQ(bridge.params().value(u"appFrameworkVersion_"_s), u"1.0.0.2"_s);
    EXPECT_EQ(console.out, QString()); // nothing visible at construction
}

TEST_F(ParameterModelTest, FlagNamesAreCutToFifteenCharacters)
{
    const ParamDef* def =
        bridge.addParam(u"school"_s, u"pick"_s, u"Select this checkbox"_s, u"flag"_s, QString(), QString());
    ASSERT_NE(def, nullptr);
    EXPECT_EQ(def->name, u"Select this che"_s);
    EXPECT_EQ(console.maskedOut(), u"log\tError        \thh:mm:ss\tSISConfig::addParam\tParameter: pick "
                                   "has a paramname that is too long: Select this checkbox\n"_s);
}

TEST_F(ParameterModelTest, PasswordKeyWithoutEncodeIsOnlyWarnedAbout)
{
    const qsizetype before = bridge.valueOptionList().size();
    bridge.addParam(u"connection"_s, u"secret"_s, u"Secret"_s, u"password"_s, QString(), QString());
    EXPECT_EQ(bridge.valueOptionList().size(), before + 1);
    EXPECT_EQ(console.maskedOut(),
              u"log\tWarning      \thh:mm:ss\tSISConfig::addParam\tParameter: secret is a Password "
              "style parameter, but does not use 'encode' this means it will not be encoded.\n"_s);

    bridge.addParam(u"connection"_s, u"keyencode"_s, u"Key"_s, u"password"_s, QString(), QString());
    EXPECT_EQ(bridge.valueOptionList().mid(before + 1), QStringList({u"keyencode"_s, u"key"_s}));
}

TEST_F(ParameterModelTest, UnknownGroupDefinesNothingButListsTheKey)
{
    EXPECT_EQ(bridge.addParam(u"nosuch"_s, u"orphan"_s, u"Orphan"_s, u"edit"_s, QString(), QString()),
              nullptr);
    EXPECT_TRUE(bridge.valueOptionList().contains(u"orphan"_s));
    EXPECT_EQ(bridge.definition(u"orphan"_s), nullptr);
    EXPECT_EQ(console.maskedOut(), u"log\tError        \thh:mm:ss\tSISConfig::setParam\tTried to set a "
                                   "parameter for a non-existant group, please contact Vantrel "
                                   "Support.\n"_s);
}

TEST_F(ParameterModelTest, RedefinitionInTheSameGroupKeepsDefaultAndParents)
{
    ParamDef* first = bridge.addParam(u"school"_s, u"extra"_s, u"Extra"_s, u"edit"_s, u"h1"_s, u"d1"_s);
    bridge.addParent(first, u"dsn"_s);
    ParamDef* second = bridge.addParam(u"school"_s, u"extra"_s, u"Other"_s, u"default"_s, u"h2"_s, u"d2"_s);
    EXPECT_EQ(first, second);
    EXPECT_EQ(second->name, u"Other"_s);
    EXPECT_EQ(second->type, u"default"_s);
    EXPECT_EQ(second->help, u"h2"_s);
    EXPECT_EQ(second->defaultValue, u"d1"_s);
    EXPECT_EQ(second->parents, QStringList({QString(), u"dsn"_s}));
}

TEST_F(ParameterModelTest, CheckMissingFindsTheEncodedDefinition)
{
    EXPECT_EQ(bridge.checkMissing(QString()), 0);
    EXPECT_EQ(bridge.checkMissing(u"pwd"_s), 1);
    EXPECT_EQ(bridge.checkMissing(u"nosuch"_s), 1);
    bridge.set(u"dsn"_s, u"Sis"_s);
    EXPECT_EQ(bridge.checkMissing(u"dsn"_s), 0);
    EXPECT_EQ(SISMessageWriter::instance()->pendingMissing(),
              QStringList({u"missing\tpwdencode\tPassword missing or blank."_s,
                           u"missing\tnosuch\tMissing or blank."_s}));
}

TEST_F(ParameterModelTest, AnyAlternativeMeetsARequirement)
{
    bridge.addRequirement(u"probe"_s, {u"dsn"_s});
    bridge.addRequirement(u"probe"_s, {u"dsn"_s, u"user"_s});
    bridge.set(u"dsn"_s, u"Sis"_s);
    EXPECT_EQ(bridge.checkRequirements(u"probe"_s), 0);
    EXPECT_EQ(bridge.checkRequirements(u"unregistered"_s), 0);

    // Blanks of an unmet alternative are dropped once another one is met.
    bridge.addRequirement(u"either"_s, {u"group"_s});
    bridge.addRequirement(u"either"_s, {u"dsn"_s});
    EXPECT_EQ(bridge.checkRequirements(u"either"_s), 0);
    EXPECT_TRUE(SISMessageWriter::instance()->pendingMissing().isEmpty());

    bridge.addRequirement(u"empty"_s, {});
    EXPECT_EQ(bridge.checkRequirements(u"empty"_s), 0);

    bridge.addRequirement(u"both"_s, {u"user"_s});
    bridge.addRequirement(u"both"_s, {u"district"_s});
    EXPECT_EQ(bridge.checkRequirements(u"both"_s), 1);
    EXPECT_EQ(console.err, u"missing\tuser\tUsername missing or blank.\n"
                           "missing\tdistrict\tDistrict missing or blank.\n"_s);
    EXPECT_EQ(console.out, u"warning\tboth\tRequired parameter missing.\n"_s);
}

TEST_F(ParameterModelTest, PrerequisiteFailureStopsBeforeOwnAlternatives)
{
    EXPECT_EQ(bridge.checkRequirements(u"school"_s), 1);
    EXPECT_EQ(console.out, u"warning\tconnection\tRequired parameter missing.\n"_s);
    EXPECT_FALSE(console.err.contains(u"district"_s));
}

TEST_F(ParameterModelTest, TempLocalDatabaseFolder)
{
    EXPECT_EQ(bridge.CreateTempLocalDBFolder(QString()), QString());
    EXPECT_EQ(console.maskedOut(), u"log\tError        \thh:mm:ss\tAppBase::CreateTempLocalDBFolder\tNo "
                                   "signifigant folder name, cannot create local DB.\n"_s);
    const QString folder = bridge.CreateTempLocalDBFolder(u"unit"_s);
    ASSERT_FALSE(folder.isEmpty());
    EXPECT_TRUE(QDir(folder).exists());
    EXPECT_TRUE(folder.endsWith(u"/localDB"_s));
    EXPECT_TRUE(folder.contains(u"/dsl/tsis.unit."_s));
    QDir(folder).cdUp();
    QDir(QFileInfo(folder).absolutePath()).removeRecursively();
}

TEST_F(ParameterModelTest, ExtractionFlagsFromTheSwitches)
{
    const QString exe = u"/opt/tsisbridge"_s;
    struct
    {
        QStringList switches;
        int flags;
    } cases[] = {
        {{}, -1},
        {{u"--all"_s}, -1},
        {{u"--demo"_s}, 1},
        {{u"--att"_s}, 2},
        {{u"--demo"_s, u"--att"_s}, 0},
        {{u"--all"_s, u"--att"_s}, 2},
    };
    for (const auto& c : cases)
    {
        ProbeBridge probe;
        EXPECT_EQ(probe.processCommandLine(QStringList{exe, u"version"_s} + c.switches), 0);
        EXPECT_EQ(probe.extractionFlags(), c.flags) << c.switches.join(QLatin1Char(' ')).toStdString();
    }
}

TEST_F(ParameterModelTest, PreparedValuesDecodeThePasswordAndRepairFolders)
{
    EXPECT_EQ(bridge.processCommandLine({u"/opt/tsisbridge"_s, u"version"_s, u"--pwdencode=4142"_s,
                                         u"--pwd=plain"_s, u"--logpath=C:\\Logs\""_s, u"--validate=x"_s}),
              0);
    EXPECT_EQ(bridge.paramValue(u"pwd"_s), u"AB"_s);
    EXPECT_EQ(bridge.paramValue(u"pwdencode"_s), u"4142"_s);
    EXPECT_EQ(bridge.paramValue(u"logpath"_s), u"C:\\Logs\\"_s);
    EXPECT_EQ(bridge.paramValue(u"apppath"_s), u"/opt/tsisbridge"_s);
    EXPECT_FALSE(bridge.validationNumber().has_value());
}

TEST_F(ParameterModelTest, ValidationNumberNeedsTheWholeValue)
{
    EXPECT_EQ(bridge.processCommandLine({u"/opt/tsisbridge"_s, u"version"_s, u"--validate=7"_s}), 7);
    EXPECT_EQ(bridge.validationNumber(), std::optional<int>(7));
    ProbeBridge other;
    other.processCommandLine({u"/opt/tsisbridge"_s, u"version"_s, u"--validate=7x"_s});
    EXPECT_FALSE(other.validationNumber().has_value());
}

} // namespace
