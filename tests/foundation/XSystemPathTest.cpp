// Engine paths are Windows-1252; what lands on disk is named in UTF-8.
#include <gtest/gtest.h>
#include <string>

#include "FoundationTestFolder.h"
#include "XFile.h"
#include "XFolderIterator.h"
#include "XXmlReader.h"

namespace
{
// "Schüler" and "Grüße" as the engine spells them and as the disk names them.
const std::string kFolderAnsi = "Sch\xfcler";
const std::string kFolderUtf8 = "Sch\xc3\xbcler";
const std::string kFileAnsi = "Gr\xfc\xdf"
                              "e.sef";
const std::string kFileUtf8 = "Gr\xc3\xbc\xc3\x9f"
                              "e.sef";
} // namespace

TEST(XSystemPathTest, FilesAndFoldersLandUnderTheirUtf8Names)
{
    FoundationTestFolder tmp;
    const XFileSpec file((tmp.Path(kFolderAnsi) + "/" + kFileAnsi).c_str());
    XFile out;
    out.Open(file, XFile::kWrite);
    out.WriteText("x");
    out.Close();
    EXPECT_TRUE(FoundationTestFolder::Exists(tmp.Path(kFolderUtf8) + "/" + kFileUtf8));
    EXPECT_FALSE(FoundationTestFolder::Exists(tmp.Path(kFolderAnsi)));
    EXPECT_TRUE(file.Exists());

    // A name Windows-1252 cannot spell ("Łódź") is not listed.
    FoundationTestFolder::WriteBytes(tmp.Path(kFolderUtf8) + "/\xc5\x81\xc3\xb3"
                                                             "d\xc5\xba.sef",
                                     "x");
    std::string seen;
    XFolderIterator it(XFileSpec((tmp.Path(kFolderAnsi) + "/").c_str()), "*.SEF");
    while (it.Next())
        seen += std::string(it.Name()) + ";";
    EXPECT_EQ(kFileAnsi + ";", seen);

    XFileSpec((tmp.Path(kFolderAnsi) + "/").c_str()).DeleteMatching("*.sef");
    EXPECT_FALSE(FoundationTestFolder::Exists(tmp.Path(kFolderUtf8) + "/" + kFileUtf8));
    XFileSpec((tmp.Path(kFolderAnsi) + "/").c_str()).Delete();
    EXPECT_FALSE(FoundationTestFolder::Exists(tmp.Path(kFolderUtf8)));
}

TEST(XSystemPathTest, XmlValuesReadBackInWindows1252)
{
    FoundationTestFolder tmp;
    const std::string path = tmp.Path(kFolderUtf8 + ".xml");
    FoundationTestFolder::WriteBytes(path, "<R>\r\n<E V=\"caf\xe9 &amp; &#x141;\xf3"
                                           "d\xba\"/>\r\n</R>\r\n");
    XXmlReader reader;
    ASSERT_TRUE(reader.Open(XFileSpec(tmp.Path(kFolderAnsi + ".xml").c_str()), "R"));
    ASSERT_TRUE(reader.Next());
    EXPECT_EQ("caf\xe9 & L\xf3"
              "d\xba",
              reader.AttributeValue(0));
}
