#include <gtest/gtest.h>
#include <string>

#include "FoundationTestFolder.h"
#include "XXmlReader.h"
#include "XXmlWriter.h"

namespace
{
const char kWritten[] = "<SchoolConfig>\r\n"
                        "<SIS SISValue=\"tsis\"/>\r\n"
                        "<LastMasterFolder LastMasterFolderValue=\"/srv/master data/\"/>\r\n"
                        "<UpdateDate UpdateDateValue=\"\"/>\r\n"
                        "</SchoolConfig>\r\n";

void WriteSample(const std::string& path)
{
    XXmlWriter writer;
    writer.Open(XFileSpec(path.c_str()), "SchoolConfig");
    writer.WriteElement("SIS", "SISValue", "tsis");
    writer.WriteElement(XString("LastMasterFolder"), XString("LastMasterFolderValue"),
                        XString("/srv/master data/"));
    writer.WriteElement("UpdateDate", "UpdateDateValue", "");
    writer.Close();
}

void ExpectSample(const std::string& path)
{
    XXmlReader reader;
    ASSERT_TRUE(reader.Open(XFileSpec(path.c_str()), "SchoolConfig"));
    ASSERT_TRUE(reader.Next());
    EXPECT_EQ("SIS", reader.Name());
    ASSERT_EQ(1, reader.AttributeCount());
    EXPECT_EQ("SISValue", reader.AttributeName(0));
    EXPECT_EQ("tsis", reader.AttributeValue(0));
    ASSERT_TRUE(reader.Next());
    EXPECT_EQ("LastMasterFolder", reader.Name());
    ASSERT_NE(nullptr, reader.Value("LastMasterFolderValue"));
    EXPECT_EQ("/srv/master data/", *reader.Value("LastMasterFolderValue"));
    EXPECT_EQ(nullptr, reader.Value("lastmasterfoldervalue"));
    ASSERT_TRUE(reader.Next());
    EXPECT_EQ("UpdateDate", reader.Name());
    EXPECT_EQ("", reader.AttributeValue(0));
    EXPECT_FALSE(reader.Next());
    EXPECT_FALSE(reader.Next());
}
} // namespace

TEST(XXmlTest, WriterBytes)
{
    FoundationTestFolder tmp;
    const std::string path = tmp.Path("SchoolConfig.xml");
    WriteSample(path);
    EXPECT_EQ(kWritten, FoundationTestFolder::ReadBytes(path));

    XXmlWriter declared;
    declared.Open(XFileSpec(path.c_str()), "Root", true);
    declared.Close();
    EXPECT_EQ("<?xml version=\"1.0\"?>\r\n\r\n<Root>\r\n</Root>\r\n", FoundationTestFolder::ReadBytes(path));
}

TEST(XXmlTest, ReadsWhatItWritesWithCrLfOrLf)
{
    FoundationTestFolder tmp;
    const std::string path = tmp.Path("SchoolConfig.xml");
    WriteSample(path);
    ExpectSample(path);
    std::string lf = kWritten;
    for (size_t pos; (pos = lf.find("\r\n")) != std::string::npos;)
        lf.erase(pos, 1);
    FoundationTestFolder::WriteBytes(path, lf);
    ExpectSample(path);
}

TEST(XXmlTest, ToleratesDeclarationCommentsAndEndTags)
{
    FoundationTestFolder tmp;
    const std::string path = tmp.Path("x.xml");
    FoundationTestFolder::WriteBytes(path, "<?xml version=\"1.0\"?>\n<!-- saved -->\n<Root>\n"
                                           "  <A one='1' two = \"2\"></A>\n  <B/>\n</Root>\n");
    XXmlReader reader;
    ASSERT_TRUE(reader.Open(XFileSpec(path.c_str()), "Root"));
    ASSERT_TRUE(reader.Next());
    EXPECT_EQ("A", reader.Name());
    ASSERT_EQ(2, reader.AttributeCount());
    EXPECT_EQ("2", *reader.Value("two"));
    ASSERT_TRUE(reader.Next());
    EXPECT_EQ("B", reader.Name());
    EXPECT_EQ(0, reader.AttributeCount());
    EXPECT_FALSE(reader.Next());
}

// A missing file or another root is not opened; a cut file is an error.
TEST(XXmlTest, MissingOtherOrTruncatedFile)
{
    FoundationTestFolder tmp;
    XXmlReader reader;
    EXPECT_FALSE(reader.Open(XFileSpec(tmp.Path("none.xml").c_str()), "SchoolConfig"));
    EXPECT_FALSE(FoundationTestFolder::Exists(tmp.Path("none.xml")));
    const std::string path = tmp.Path("other.xml");
    FoundationTestFolder::WriteBytes(path, "<Other>\r\n</Other>\r\n");
    EXPECT_FALSE(reader.Open(XFileSpec(path.c_str()), "SchoolConfig"));
    FoundationTestFolder::WriteBytes(path, "<SchoolConfig>\r\n<SIS SISValue=\"ts");
    ASSERT_TRUE(reader.Open(XFileSpec(path.c_str()), "SchoolConfig"));
    EXPECT_THROW(reader.Next(), XException);
}
