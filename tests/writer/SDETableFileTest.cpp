#include "MemoryWriter.h"

namespace
{
using SDETableFileTest = WriterTest;

TEST_F(SDETableFileTest, DataFileWithHeaderLineConstantsLineBreakAndFilter)
{
    writer.rows = {{"1", "peanuts"}, {"2", "skip me"}, {"3", "bees"}};
    writer.StartTable("Student Medical Allergy", "StudentAllergy.sef");
    writer.AddValueColumn("MedConditStdRef", 0);
    writer.AddHeaderField("MedConditTypeRef$=\"Allergy\""); // constant: no column
    writer.AddColumn(nullptr, "", {}, SDEColumn::LineBreak);
    writer.AddValueColumn("MedConditNote", 1);
    writer.AddColumn(nullptr, "ALERT", {}, SDEColumn::Constant);
    writer.AddHeaderField("MedConditSeverity");

    int written = writer.WriteTable([this] { return writer.Value(1) != "skip me"; }, "first line as given");

    EXPECT_EQ(2, written);
    EXPECT_EQ("first line as given\r\n"
              "1\r\n"
              "peanuts\tALERT\r\n"
              "3\r\n"
              "bees\tALERT\r\n",
              FileBytes("StudentAllergy.sef"));
    ASSERT_NE(nullptr, writer.CurrentHeader());
    std::vector<XString> expectedNames = {"MedConditStdRef", "MedConditTypeRef$=\"Allergy\"", "MedConditNote",
                                          "MedConditSeverity"};
    EXPECT_EQ(expectedNames, writer.CurrentHeader()->Names());
    EXPECT_TRUE(signalLog.Has(8, "Closed Table File. Lines= 2"));
    EXPECT_TRUE(signalLog.Has(8, "Wrote StudentAllergy.sef"));
    EXPECT_EQ(1, writer.openCount);
    EXPECT_EQ(nullptr, writer.CurrentColumn());
}

// A table file replaces the last one, even when the table has no rows.
TEST_F(SDETableFileTest, TheFileIsWrittenAfresh)
{
    WriteFileBytes(PathOf("Students.sef"), "old content that is longer\r\n");
    for (const auto& [rows, bytes] : {std::pair{std::vector<MemoryWriter::Row>{{"9"}}, "9\r\n"}, {{}, ""}})
    {
        writer.rows = rows;
        writer.StartTable("Students", "Students.sef");
        writer.AddValueColumn("StdKey", 0);
        EXPECT_EQ(static_cast<int>(rows.size()), writer.WriteTable());
        EXPECT_EQ(bytes, FileBytes("Students.sef"));
    }
    ASSERT_TRUE(FileExists("Students.sef"));
    EXPECT_TRUE(signalLog.Has(8, "Closed Table File. Lines= 0"));
}

TEST_F(SDETableFileTest, FirstRecordAloneIsLoggedInDetail)
{
    writer.rows = {{"1"}, {"2"}, {"3"}};
    writer.StartTable("Students", "Students.sef");
    writer.AddValueColumn("StdKey", 0);
    writer.AddColumn(nullptr, "X", {}, SDEColumn::Constant);
    writer.WriteTable();

    EXPECT_EQ(1, signalLog.Count("Generating First SDE Entry"));
    EXPECT_EQ(1, signalLog.Count("Processing Field = StdKey"));
    EXPECT_TRUE(signalLog.Has(9, "Processing Field = StdKey"));
    EXPECT_TRUE(signalLog.Has(9, "Wrote = StdKey"));
    EXPECT_TRUE(signalLog.Has(9, "Processing Field = **Blank FieldName**"));
    EXPECT_EQ(1, signalLog.Count("Wrote Default Value Command 1 for **Blank FieldName**"));
    EXPECT_EQ(1, signalLog.Count("Wrote the value = X"));
    EXPECT_EQ("1\tX\r\n2\tX\r\n3\tX\r\n", FileBytes("Students.sef"));
}

// A hook column calls the engine and writes nothing, an unknown command does nothing,
// and the current field is set while a value is made.
TEST_F(SDETableFileTest, HookAndCurrentColumns)
{
    writer.rows = {{"1"}, {"2"}};
    writer.StartTable("Students", "Students.sef");
    MemoryField* key = writer.AddValueColumn("StdKey", 0);
    writer.AddColumn(key, "StdKey", {}, SDEColumn::Hook);
    writer.AddColumn(nullptr, "ignored", {}, 3);
    writer.fields.push_back(std::make_unique<MemoryField>("STD_ID"));
    writer.AddColumn(
        writer.fields.back().get(), "STD_ID", [this] { return writer.CurrentField()->FieldName(); }, 0);
    writer.WriteTable();
    EXPECT_EQ("1\tSTD_ID\r\n2\tSTD_ID\r\n", FileBytes("Students.sef"));
    ASSERT_EQ(2u, writer.hooked.size());
    EXPECT_EQ(key, writer.hooked[0]);
}

TEST_F(SDETableFileTest, StartAndFinishClearColumnsAndQuery)
{
    writer.StartTable("Students", "Students.sef");
    EXPECT_EQ(1, writer.clearCount);
    writer.AddValueColumn("StdKey", 0);
    EXPECT_EQ(1u, writer.Columns().size());
    writer.FinishTable();
    EXPECT_TRUE(writer.Columns().empty());
    EXPECT_EQ(2, writer.clearCount);
    EXPECT_TRUE(signalLog.Has(8, "Finished Students table/query."));
    // The header stays for the control file.
    EXPECT_EQ(1u, writer.Headers().size());
}

// A hand-written table file replaces the last one when closed, unless its table
// was marked incomplete; until then the lines go to a temporary file.
TEST_F(SDETableFileTest, OpenAndCloseTableFile)
{
    WriteFileBytes(PathOf("Bins.sef"), "B0\r\n");
    for (const bool incomplete : {true, false})
    {
        XTextFile file('\t');
        writer.OpenTableFile(file, "Grading Periods", "Bins.sef");
        writer.AddHeaderField("BinKey");
        file.WriteField("B1");
        file.WriteField("20260901");
        file.EndLine();
        EXPECT_EQ("B0\r\n", FileBytes("Bins.sef"));
        if (incomplete)
            writer.MarkTableIncomplete();
        writer.CloseTableFile(file);
        EXPECT_FALSE(file.IsOpen());
        EXPECT_EQ(incomplete ? "B0\r\n" : "B1\t20260901\r\n", FileBytes("Bins.sef"));
        EXPECT_FALSE(FileExists("Bins.sef.part"));
        writer.ResetIncompleteTables();
        WriteFileBytes(PathOf("Bins.sef"), "B0\r\n");
    }
    EXPECT_TRUE(signalLog.Has(8, "Finished Grading Periods table/query."));
    EXPECT_FALSE(writer.Headers().back()->SafeInclude());
}

// A table that the data layer could not read to its end leaves the data file
// of the last complete run, or, on a first run, a file with the header line only.
TEST_F(SDETableFileTest, IncompleteTableKeepsThePreviousFile)
{
    for (const char* previous : {"old line\r\n", ""})
    {
        std::remove(PathOf("Students.sef").c_str());
        if (*previous)
            WriteFileBytes(PathOf("Students.sef"), previous);
        writer.ResetIncompleteTables();
        writer.rows = {{"1"}, {"2"}, {"3"}};
        writer.StartTable("Student Demographics", "Students.sef");
        writer.AddColumn(
            nullptr, "",
            [this]
            {
                if (writer.cursor == 1)
                    writer.MarkTableIncomplete();
                return writer.Value(0);
            },
            0);
        writer.WriteTable({}, "first line");
        EXPECT_EQ(*previous ? previous : "first line\r\n", FileBytes("Students.sef"));
        EXPECT_FALSE(FileExists("Students.sef.part"));
    }
    EXPECT_EQ(std::vector<XString>{"Student Demographics"}, writer.IncompleteTables());
    EXPECT_EQ(2, signalLog.Count("Table not exported completely: Student Demographics"));
    EXPECT_EQ(2u, signalLog.warnings.size());

    // The next complete table replaces its file as before.
    writer.ResetIncompleteTables();
    writer.rows = {{"9"}};
    writer.StartTable("Student Demographics", "Students.sef");
    writer.AddValueColumn("StdKey", 0);
    writer.WriteTable();
    EXPECT_EQ("9\r\n", FileBytes("Students.sef"));
    EXPECT_FALSE(FileExists("Students.sef.part"));
}

TEST_F(SDETableFileTest, IncompleteTablesAreNamedTogetherAndCanBeWithdrawn)
{
    writer.StartTable("Student Notes", "StudentNotes.sef");
    writer.MarkTableIncomplete();
    writer.MarkTableIncomplete(); // once per table
    writer.StartTable("Weapon Codes", "");
    writer.MarkTableIncomplete();
    EXPECT_TRUE(writer.WithdrawTableIncomplete());
    EXPECT_FALSE(writer.WithdrawTableIncomplete());
    writer.StartTable("Student Demographics", "Students.sef");
    writer.MarkTableIncomplete();
    EXPECT_STREQ("Tables not exported completely: Student Notes, Student Demographics",
                 writer.IncompleteTablesMessage().Text());
}

// Blocks of headers with and without names are pinned by the control file
// test; in an update file a header without names keeps its empty line.
TEST_F(SDETableFileTest, HeaderWriting)
{
    EXPECT_THROW(writer.AddHeaderField("StdKey"), XException); // no table yet
    XFile file;
    file.Open(PathOf("header.txt").c_str(), XFile::kWrite);
    SISExpHeader("Student Medical", "StudentMed.sef", true).WriteHeader(file);
    file.Close();
    EXPECT_EQ("// Student Medical\r\n\r\n", FileBytes("header.txt"));
}

// The engine's run with a table whose fifth record cannot be written.
class WriteFailureTest : public WriterTest
{
protected:
    bool RunWith(std::function<XString()> failing, QString& errorText)
    {
        writer.rows = {{"1"}, {"2"}, {"3"}, {"4"}, {"5"}, {"6"}};
        writer.body = [this, failing](ParamMap&, int, QString&)
        {
            writer.StartTable("Student Demographics", "Students.sef");
            writer.AddValueColumn("StdKey", 0);
            writer.AddColumn(nullptr, "", failing, 0);
            writer.AddHeaderField("StdName");
            writer.WriteTable();
            return true;
        };
        return writer.BeginExecute(params, 1, errorText);
    }
};

// The lines already written go with the temporary file; the last run's file
// stays, and a first run leaves a file without lines.
TEST_F(WriteFailureTest, AnErrorOnTheFifthRecordEndsTheRun)
{
    const std::string query =
        " while writing file [Students.sef] with query: SELECT STD.ID, STD.NAME FROM ST010 STD";
    const struct
    {
        std::function<void()> fail;
        const char* previous;
        std::string message;
    } cases[] = {
        {[] { throw XException("disk full"); }, "from the last run\r\n",
         "Failed with error [disk full]" + query},
        {[] { throw 42; }, "", "Failed with unknown error" + query},
    };
    for (const auto& c : cases)
    {
        std::remove(PathOf("Students.sef").c_str());
        if (*c.previous)
            WriteFileBytes(PathOf("Students.sef"), c.previous);
        signalLog.logs.clear();
        QString errorText;
        EXPECT_FALSE(RunWith(
            [this, &c]() -> XString
            {
                if (writer.cursor == 4)
                    c.fail();
                return "n";
            },
            errorText));
        EXPECT_TRUE(signalLog.Has(8, "Error writing line= 5"));
        EXPECT_TRUE(signalLog.Has(2, c.message));
        EXPECT_TRUE(signalLog.Has(3, c.message));
        EXPECT_EQ(QString::fromStdString(c.message), errorText);
        EXPECT_TRUE(FileExists("Students.sef"));
        EXPECT_EQ(c.previous, FileBytes("Students.sef"));
        EXPECT_FALSE(FileExists("Students.sef.part"));
    }
}

TEST_F(WriteFailureTest, FileOfARoutineThatThrewIsDiscardedAtTheEndOfTheRun)
{
    WriteFileBytes(PathOf("Bins.sef"), "B0\r\n");
    writer.body = [this](ParamMap&, int, QString&) -> bool
    {
        XTextFile file('\t');
        writer.OpenTableFile(file, "Grading Periods", "Bins.sef");
        file.WriteField("B1");
        throw XException("lost");
    };
    QString errorText;
    EXPECT_FALSE(writer.BeginExecute(params, 1, errorText));
    EXPECT_EQ("B0\r\n", FileBytes("Bins.sef"));
    EXPECT_FALSE(FileExists("Bins.sef.part"));
}
} // namespace
