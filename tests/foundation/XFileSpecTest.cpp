#include <gtest/gtest.h>
#include <string>

#include "FoundationTestFolder.h"
#include "XFileSpec.h"

// Absolute paths stay absolute, with backslashes as separators.
TEST(XFileSpecTest, AbsolutePathsStayAbsolute)
{
    XFileSpec fileSpec("/data\\sde\\Students.sef");
    EXPECT_STREQ("/data/sde/Students.sef", fileSpec.Path());
    EXPECT_STREQ("Students.sef", fileSpec.FileName());
    EXPECT_FALSE(fileSpec.IsFolder());
    EXPECT_EQ("/data/sde/", fileSpec.FolderPath());

    XFileSpec folder("/data/sde/");
    EXPECT_TRUE(folder.IsFolder());
    EXPECT_STREQ("", folder.FileName());
}

TEST(XFileSpecTest, DotPrefixIsDroppedAndRelativePathsRefused)
{
    EXPECT_STREQ("sub/file.txt", XFileSpec(".\\sub\\file.txt").Path());
    EXPECT_STREQ("sub/file.txt", XFileSpec("./sub/file.txt").Path());
    EXPECT_STREQ("sub/", XFileSpec("././/sub/").Path());

    XFileSpec fileSpec("/kept/");
    EXPECT_STREQ("No support for relative paths: ..\\up\\file.txt",
                 Thrown([&] { fileSpec.Set("..\\up\\file.txt"); }).what());
    EXPECT_STREQ("/kept/", fileSpec.Path());
    EXPECT_THROW(fileSpec.Set(".hidden"), XException);
    EXPECT_STREQ("/kept/", fileSpec.Path());
}

TEST(XFileSpecTest, FileNameLengthLimitLeavesPathUnchanged)
{
    const std::string folder = "/" + std::string(248, 'a') + "/"; // 250 characters
    XFileSpec fileSpec(folder.c_str());
    EXPECT_STREQ("Appended length (20) would make path length exceed maximum 9.",
                 Thrown([&] { fileSpec.SetFileName(std::string(20, 'n').c_str()); }).what());
    EXPECT_EQ(folder, fileSpec.Path());
    fileSpec.SetFileName(std::string(9, 'n').c_str()); // exactly 259
    EXPECT_EQ(259u, std::string(fileSpec.Path()).size());
    EXPECT_THROW(fileSpec.AppendFolder(std::string(20, 'f').c_str()), XException);
    EXPECT_EQ(259u, std::string(fileSpec.Path()).size());
    EXPECT_THROW(XFileSpec(std::string(300, 'x').c_str()), XException);
}

TEST(XFileSpecTest, NamesFoldersAndParents)
{
    XFileSpec fileSpec("/a/b/");
    fileSpec.SetFileName("SchoolConfig.xml");
    EXPECT_STREQ("/a/b/SchoolConfig.xml", fileSpec.Path());
    fileSpec.SetFileName("Attendance.db");
    EXPECT_STREQ("/a/b/Attendance.db", fileSpec.Path());
    fileSpec.AppendFolder("PAT");
    EXPECT_STREQ("/a/b/PAT/", fileSpec.Path());
    EXPECT_TRUE(fileSpec.IsFolder());
    EXPECT_STREQ("/a/b/", fileSpec.Parent().Path());
    EXPECT_STREQ("/a/", fileSpec.Parent().Parent().Path());
    EXPECT_STREQ("/a/b/", XFileSpec("/a/b/c.txt").Parent().Path());

    XFileSpec noSlash("/a/b");
    noSlash.MakeFolder();
    EXPECT_STREQ("/a/b/", noSlash.Path());
    noSlash.MakeFolder();
    EXPECT_STREQ("/a/b/", noSlash.Path());
}

TEST(XFileSpecTest, CreateAndDeleteFolders)
{
    FoundationTestFolder tmp;
    XFileSpec deep(tmp.Path("one/two/three/").c_str());
    EXPECT_FALSE(deep.Exists());
    deep.Create();
    EXPECT_TRUE(deep.Exists());

    XFileSpec file(tmp.Path("one/two/note.txt").c_str());
    FoundationTestFolder::WriteBytes(file.Path(), "keep");
    file.Create(); // an existing file is left as it is
    EXPECT_EQ("keep", FoundationTestFolder::ReadBytes(file.Path()));

    XFileSpec fresh(tmp.Path("new/dir/empty.txt").c_str());
    fresh.Create();
    EXPECT_TRUE(fresh.Exists());
    EXPECT_EQ("", FoundationTestFolder::ReadBytes(fresh.Path()));

    XFileSpec one(tmp.Path("one/").c_str());
    one.Delete();
    EXPECT_FALSE(FoundationTestFolder::Exists(tmp.Path("one")));

    // A folder named like a file goes with its contents.
    XFileSpec(tmp.Path("PAT/inner/").c_str()).Create();
    FoundationTestFolder::WriteBytes(tmp.Path("PAT/inner/x.txt"), "x");
    XFileSpec(tmp.Path("PAT").c_str()).Delete();
    EXPECT_FALSE(FoundationTestFolder::Exists(tmp.Path("PAT")));

    // Gone already: no error.
    EXPECT_NO_THROW(one.Delete());
    EXPECT_NO_THROW(XFileSpec(tmp.Path("never/was/").c_str()).Delete());
    EXPECT_NO_THROW(XFileSpec(tmp.Path("never.txt").c_str()).Delete());
}

TEST(XFileSpecTest, DeleteMatchingIgnoresCase)
{
    FoundationTestFolder tmp;
    for (const char* name : {"Update 20261208090507.SDU", "old.sdu", "Students.sef", "keep.sde", "noext"})
        FoundationTestFolder::WriteBytes(tmp.Path(name), "x");
    XFileSpec(tmp.Path("folder.sdu/").c_str()).Create();

    XFileSpec folder(tmp.Path().c_str());
    folder.DeleteMatching("*.sdu");
    EXPECT_FALSE(FoundationTestFolder::Exists(tmp.Path("Update 20261208090507.SDU")));
    EXPECT_FALSE(FoundationTestFolder::Exists(tmp.Path("old.sdu")));
    EXPECT_TRUE(FoundationTestFolder::Exists(tmp.Path("Students.sef")));
    EXPECT_TRUE(FoundationTestFolder::Exists(tmp.Path("keep.sde")));
    EXPECT_TRUE(FoundationTestFolder::Exists(tmp.Path("folder.sdu")));

    // A fileSpec naming a file deletes in that file's folder.
    XFileSpec(tmp.Path("SchoolConfig.xml").c_str()).DeleteMatching("*.SEF");
    EXPECT_FALSE(FoundationTestFolder::Exists(tmp.Path("Students.sef")));

    folder.DeleteMatching("*.*");
    EXPECT_FALSE(FoundationTestFolder::Exists(tmp.Path("keep.sde")));
    EXPECT_FALSE(FoundationTestFolder::Exists(tmp.Path("noext")));
    EXPECT_TRUE(FoundationTestFolder::Exists(tmp.Path("folder.sdu")));
}

// Letter case, "*.*" and prefixes are seen where files and folders are deleted.
TEST(XFileSpecTest, WildcardMatching)
{
    EXPECT_FALSE(XFileSpec::MatchPattern("*.sdu", "x.sdux"));
    EXPECT_TRUE(XFileSpec::MatchPattern("a?c", "ABC"));
    EXPECT_FALSE(XFileSpec::MatchPattern("a?c", "ac"));
    EXPECT_TRUE(XFileSpec::MatchPattern("*", ""));
    EXPECT_TRUE(XFileSpec::MatchPattern("[x].txt", "[X].TXT"));
}

TEST(XFileSpecTest, CreateThroughAFileFails)
{
    FoundationTestFolder tmp;
    FoundationTestFolder::WriteBytes(tmp.Path("blocker"), "x");
    const std::string path = tmp.Path("blocker/sub/");
    const XException e = Thrown([&] { XFileSpec(path.c_str()).Create(); }); // a file is in the way
    EXPECT_EQ("Error creating path: " + path, e.what());
    EXPECT_NE(0, e.Code());
}
