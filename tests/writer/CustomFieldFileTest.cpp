#include "CustomFieldFile.h"
#include "MemoryWriter.h"

namespace
{
class CustomFieldFileTest : public WriterTest
{
protected:
    XFileSpec SpecOf(const std::string& name) const { return XFileSpec(PathOf(name).c_str()); }
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
    // A list without fields gets its file, without field lines or header block.
    SISExpCustomFieldList empty("StaffCustom.txt", "Staff User-Defined Fields", "StaffCustom.sef", 1);
    // The instructions are those of the demo export's StudentCustom.txt.
    for (const SISExpCustomFieldList* written : {&list, &empty})
    {
        const std::string name = written->FileName().Std();
        EXPECT_TRUE(WriteCustomFieldFile(*written, SpecOf(name)));
        EXPECT_EQ(Golden(name), FileBytes(name)) << name;
    }
}

TEST_F(CustomFieldFileTest, UserDefinedVariantForSdeFiles)
{
    SISExpCustomFieldList list("CustomFieldConfig.sde", "Student Health", "Health.sef", 1);
    list.Add("Blood Type", "Blood", "#custommedfield", "BLOOD", true);
    list.Add("Nurse", "Nurse", "#custommedfield", "NURSE", true);
    list.Add("Unused", "Unused", "", "X");

    EXPECT_TRUE(WriteCustomFieldFile(list, SpecOf("CustomFieldConfig.SDE")));
    EXPECT_EQ(Golden("CustomFieldConfig.SDE"), FileBytes("CustomFieldConfig.SDE"));
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
