// What opening refuses, with the error codes and links of POSIX.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "FoundationTestFolder.h"
#include "XFile.h"

TEST(XFileTest, OpenFailures)
{
    FoundationTestFolder tmp;
    XFile file;
    EXPECT_EQ("Can't open non-file: " + tmp.Path("folder/"),
              Thrown([&] { file.Open(tmp.Path("folder/").c_str(), XFile::kWrite); }).what());
    mkdir(tmp.Path("dir").c_str(), 0777);
    const XException e = Thrown([&] { file.Open(tmp.Path("dir").c_str(), XFile::kWrite); });
    EXPECT_EQ(21, e.Code()); // EISDIR
    EXPECT_EQ("Could not open file ( 21 ): " + tmp.Path("dir"), e.what());
    EXPECT_FALSE(file.IsOpen());
    EXPECT_THROW(file.WriteText("x"), XException);

    // A link planted at the name is replaced, never written through; appending refuses it.
    const std::string target = tmp.Path("target");
    ASSERT_EQ(0, symlink(target.c_str(), tmp.Path("Students.sef").c_str()));
    file.Open(tmp.Path("Students.sef").c_str(), XFile::kWrite);
    file.WriteText("data");
    file.Close();
    EXPECT_FALSE(std::ifstream(target).good());
    EXPECT_EQ("data", FoundationTestFolder::ReadBytes(tmp.Path("Students.sef")));
    ASSERT_EQ(0, symlink(target.c_str(), tmp.Path("day.log").c_str()));
    EXPECT_THROW(file.Open(tmp.Path("day.log").c_str(), XFile::kAppend), XException);
    EXPECT_FALSE(std::ifstream(target).good());
}
