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
};

TEST_F(CustomFieldFileTest, ListedFieldsVariant)
{
    SISExpCustomFieldList list("StudentCustom.txt", "Student User-Defined Fields", "StudentCustom.sef", 1);
    list.AddHeaderName("StdKey");
    EXPECT_TRUE(list.AddHeaderAndField("UDF1", "Locker", "Locker", "#customschoolfield", "NOFORMAT"));
    EXPECT_TRUE(list.AddHeaderAndField("UDF2", "Bus \"No\"", "Bus", "#custombasicfield", "NOFORMAT", true));
    EXPECT_FALSE(list.Add("Locker", "Other", "#customhiddenfield", "X")); // title taken
    EXPECT_TRUE(list.Add("No Command", "Label", "", "X"));              // listed nowhere
    EXPECT_EQ(3, list.Count());

    EXPECT_TRUE(WriteCustomFieldFile(list, SpecOf("StudentCustom.txt")));
    std::string expected =
        Opening("Student User-Defined Fields") +
        "// Listed below are the list of custom fields exported by this bridge.  \r\n"
        "// You can control many aspects of the custom field:\r\n"
        "//\t1. If the field you want is listed as #customhiddenfield change it to another field type\r\n"
        "//\t   if you want it to be displayed.  Or you can change where it appears by changing the type of "
        "custom field as below:r\n"
        "//\t\t#custombasicfield\t\tTo have it appear on the ID tab\r\n"
        "//\t\t#customschoolfield\t\tTo have it appear on the School tab\r\n"
        "//\t\t#customcomfield\t\tTo have it appear on the Contact tab\r\n"
        "//\t\t#custommedfield\t\tTo have it appear in the Medical Section\r\n"
        "//\t\t#customgradefield \t\tTo have it appear as a Grade column\r\n"
        "//\t\t#customcndoutfield\t\tTo have it appear in the Conduct Outcomes Section\r\n"
        "//\t\t#customcndinfield\t\tTo have it appear in the Conduct Incident Section\r\n"
        "//\t\t#customhiddenfield\t\tTo have it not appear in Solvane\r\n"
        "//\t2. Change the second quoted field on the line to the title you wish the field to appear as.\r\n"
        "//\r\n"
        "\r\n"
        "#customschoolfield \"Locker\" \"Locker\" \"NOFORMAT\"\r\n"
        "//#custombasicfield \"Bus No\" \"Bus\" \"NOFORMAT\"\r\n"
        "// Student User-Defined Fields\r\n"
        "StdKey\tUDF1\tUDF2\r\n"
        "#include \"StudentCustom.sef\"\r\n"
        "*\r\n"
        "\r\n";
    EXPECT_EQ(expected, FileBytes("StudentCustom.txt"));
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

TEST_F(CustomFieldFileTest, EmptyListStillGetsItsListedFile)
{
    SISExpCustomFieldList list("StaffCustom.txt", "Staff User-Defined Fields", "StaffCustom.sef", 1);
    EXPECT_TRUE(WriteCustomFieldFile(list, SpecOf("StaffCustom.txt")));
    std::string bytes = FileBytes("StaffCustom.txt");
    EXPECT_EQ(0u, bytes.find(Opening("Staff User-Defined Fields")));
    const std::string tail = "to appear as.\r\n//\r\n\r\n"; // no field lines, no header block
    ASSERT_GT(bytes.size(), tail.size());
    EXPECT_EQ(tail, bytes.substr(bytes.size() - tail.size()));
}
} // namespace
