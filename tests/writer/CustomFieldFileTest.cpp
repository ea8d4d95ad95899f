#include "CustomFieldFile.h"
#include "MemoryWriter.h"

namespace
{
class CustomFieldFileTest : public WriterTest
{
protected:
    XFileSpec SpecOf(const std::string& name) const { return XFileSpec(PathOf(name).c_str()); }

    static std::string Opening(const std::string& title)
    {
        return std::string(96, '/') + "\r\n// " + title +
               "\r\n"
               "//\r\n"
               "// Instructions:\r\n"
               "//\r\n"
               "// To include a user-defined field in the export:\r\n";
    }
    // The listed variant's file: its opening, the first instruction, and the end given.
    void ExpectAround(const std::string& name, const std::string& title, const std::string& end) const
    {
        const std::string start =
            Opening(title) + "// Listed below are the list of custom fields exported by this bridge.  \r\n";
        const std::string bytes = FileBytes(name);
        ASSERT_GT(bytes.size(), start.size() + end.size());
        EXPECT_EQ(start, bytes.substr(0, start.size()));
        EXPECT_EQ(end, bytes.substr(bytes.size() - end.size()));
    }
};

TEST_F(CustomFieldFileTest, ListedFieldsVariant)
{
    SISExpCustomFieldList list("StudentCustom.txt", "Student User-Defined Fields", "StudentCustom.sef", 1);
    list.AddHeaderName("StdKey");
    EXPECT_TRUE(list.AddHeaderAndField("UDF1", "Locker", "Locker", "#customschoolfield", "NOFORMAT"));
    EXPECT_TRUE(list.AddHeaderAndField("UDF2", "Bus \"No\"", "Bus", "#custombasicfield", "NOFORMAT", true));
    EXPECT_FALSE(list.Add("Locker", "Other", "#customhiddenfield", "X")); // title taken
    EXPECT_TRUE(list.Add("No Command", "Label", "", "X"));                // listed nowhere
    EXPECT_EQ(3, list.Count());

    EXPECT_TRUE(WriteCustomFieldFile(list, SpecOf("StudentCustom.txt")));
    // The instructions between are those of the demo export's StudentCustom.txt.
    ExpectAround("StudentCustom.txt", "Student User-Defined Fields",
                 "to appear as.\r\n//\r\n\r\n"
                 "#customschoolfield \"Locker\" \"Locker\" \"NOFORMAT\"\r\n"
                 "//#custombasicfield \"Bus No\" \"Bus\" \"NOFORMAT\"\r\n"
                 "// Student User-Defined Fields\r\nStdKey\tUDF1\tUDF2\r\n#include "
                 "\"StudentCustom.sef\"\r\n*\r\n\r\n");

    // A list without fields gets its file, without field lines or header block.
    SISExpCustomFieldList empty("StaffCustom.txt", "Staff User-Defined Fields", "StaffCustom.sef", 1);
    EXPECT_TRUE(WriteCustomFieldFile(empty, SpecOf("StaffCustom.txt")));
    ExpectAround("StaffCustom.txt", "Staff User-Defined Fields", "to appear as.\r\n//\r\n\r\n");
}

TEST_F(CustomFieldFileTest, UserDefinedVariantForSdeFiles)
{
    SISExpCustomFieldList list("CustomFieldConfig.sde", "Student Health", "Health.sef", 1);
    list.Add("Blood Type", "Blood", "#custommedfield", "BLOOD", true);
    list.Add("Nurse", "Nurse", "#custommedfield", "NURSE", true);
    list.Add("Unused", "Unused", "", "X");

    EXPECT_TRUE(WriteCustomFieldFile(list, SpecOf("CustomFieldConfig.SDE")));
    std::string expected =
        Opening("Student Health") +
        "//\t1. Find the line representing the field you wish to define from the list below.  \r\n"
        "//       Consult your user guide for information on available fields.\r\n"
        "//\t2. Remove the \"//\" from the start of the line you wish to include.  This lets Connect\r\n"
        "//\t\t\"see\" the field during import.\r\n"
        "//\t3. Change the second quoted field on the line to the title you wish the field to appear\r\n"
        "//       beside in Solvane.  For example, to include Nurse as Health #, change the\r\n"
        "//       first field from: \r\n"
        "//\r\n"
        "//           //#custommedfield \"Nurse\" \"Nurse\"\r\n"
        "//\r\n"
        "//       to\r\n"
        "//\r\n"
        "//           #custommedfield \"Nurse\" \"Health #\"\r\n"
        "//\r\n"
        "//  IMPORTANT: The titles you choose for custom fields must be unique or else the data will not\r\n"
        "//             import correctly.\r\n"
        "//\r\n"
        "\r\n"
        "//#custommedfield \"Blood Type\" \"Blood\" \"BLOOD\"\r\n"
        "//#custommedfield \"Nurse\" \"Nurse\" \"NURSE\"\r\n"
        "\r\n";
    EXPECT_EQ(expected, FileBytes("CustomFieldConfig.SDE"));
}

TEST_F(CustomFieldFileTest, UserDefinedVariantNeedsAnExample)
{
    SISExpCustomFieldList list("CustomFieldConfig.sde", "Student Health", "Health.sef", 1);
    list.Add("Unused", "Unused", "", "X");
    EXPECT_FALSE(WriteCustomFieldFile(list, SpecOf("CustomFieldConfig.sde")));
    EXPECT_FALSE(FileExists("CustomFieldConfig.sde"));
}

TEST_F(CustomFieldFileTest, SecondRunLeavesTheFileAlone)
{
    SISExpCustomFieldList list("StudentCustom.txt", "Student User-Defined Fields", "StudentCustom.sef", 1);
    writer.AppendCustomFieldList(&list);
    writer.StartImport();
    list.AddHeaderAndField("UDF1", "Locker", "Locker", "#customschoolfield", "NOFORMAT");
    writer.FinishImport();
    std::string first = FileBytes("StudentCustom.txt");
    ASSERT_NE(std::string::npos, first.find("Locker"));

    writer.StartImport();
    list.AddHeaderAndField("UDF9", "Bus", "Bus", "#custombasicfield", "NOFORMAT");
    writer.FinishImport();
    EXPECT_EQ(first, FileBytes("StudentCustom.txt"));
    EXPECT_FALSE(WriteCustomFieldFile(list, SpecOf("StudentCustom.txt")));
}

} // namespace
