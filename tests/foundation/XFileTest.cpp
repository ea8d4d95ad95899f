#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>

#include "FoundationTestFolder.h"
#include "XFile.h"
#include "XFolderIterator.h"
#include "XTextFile.h"

// Writing creates missing folders and truncates; appending keeps.
TEST(XFileTest, WriteTruncatesAppendKeeps)
{
    FoundationTestFolder tmp;
    const std::string path = tmp.Path("a/b/c/out.txt");
    XFile file;
    for (const auto& [mode, text, bytes] : {std::tuple{XFile::kWrite, "hello world", "hello world"},
                                            {XFile::kWrite, "new", "new"},
                                            {XFile::kAppend, "+more", "new+more"}})
    {
        file.Open(path.c_str(), mode);
        file.WriteText(text);
        if (mode == XFile::kWrite)
        {
            EXPECT_EQ(static_cast<int>(std::strlen(text)), file.Size());
            EXPECT_EQ(file.Size(), file.Position());
        }
        file.Close();
        EXPECT_EQ(bytes, FoundationTestFolder::ReadBytes(path));
    }
}

TEST(XFileTest, ReadsBackLargeWrites)
{
    FoundationTestFolder tmp;
    const std::string path = tmp.Path("big.bin");
    std::string data;
    for (int i = 0; i < 5000; ++i)
        data += static_cast<char>('a' + i % 26);
    XFile out;
    out.Open(path.c_str(), XFile::kWrite);
    out.Write(data.data(), 10);          // buffered
    out.Write(data.data() + 10, 3000);   // larger than the buffer
    out.Write(data.data() + 3010, 1990); // buffered again
    out.Close();

    XFile in;
    in.Open(path.c_str(), XFile::kRead);
    std::string back(6000, '\0');
    EXPECT_EQ(5000, in.Read(back.data(), 6000));
    back.resize(5000);
    EXPECT_EQ(data, back);
    EXPECT_EQ(0, in.Read(back.data(), 10));
}

TEST(XTextFileTest, TabsAndCrLfWithoutQuoting)
{
    FoundationTestFolder tmp;
    const std::string path = tmp.Path("Students.sef");
    XTextFile file('\t', "", "");
    file.Open(path.c_str(), XFile::kWrite);
    file.WriteField("1001");
    file.WriteField("say \"hi\"");
    file.WriteField("");
    file.WriteField(XString("O'Neil"));
    file.EndLine();
    file.WriteField("1002");
    file.WriteField("took two\r\ntablets\nat noon\r");
    file.EndLine();
    file.EndLine();
    file.Close();
    // A line end inside a value never splits its record.
    EXPECT_EQ("1001\tsay \"hi\"\t\tO'Neil\r\n1002\ttook two  tablets at noon \r\n\r\n",
              FoundationTestFolder::ReadBytes(path));
}

TEST(XTextFileTest, QuotesOnlyWhenAsked)
{
    FoundationTestFolder tmp;
    const std::string path = tmp.Path("q.csv");
    XTextFile file(',', "\"", "\"");
    file.Open(path.c_str(), XFile::kWrite);
    file.WriteField("plain");
    file.WriteField("a,b");
    file.WriteField("say \"hi\"");
    file.EndLine();
    file.Close();
    EXPECT_EQ("plain,\"a,b\",\"say \"\"hi\"\"\"\r\n", FoundationTestFolder::ReadBytes(path));

    XTextFile in(',', "\"", "\"");
    in.Open(path.c_str(), XFile::kRead);
    XString value;
    bool endOfLine = false;
    const char* const fields[] = {"plain", "a,b", "say \"hi\""};
    for (const char* field : fields)
    {
        ASSERT_TRUE(in.ReadField(value, &endOfLine));
        EXPECT_EQ(field, value);
        EXPECT_EQ(field == fields[2], endOfLine) << field;
    }
    EXPECT_FALSE(in.ReadField(value, &endOfLine));
}

TEST(XTextFileTest, ReadsEveryLineEnd)
{
    FoundationTestFolder tmp;
    struct Case
    {
        const char* bytes;
        XTextFile::LineEnd kind;
    } cases[] = {{"a\tb\r\nc\r\n", XTextFile::LineEndCRLF},
                 {"a\tb\nc\n", XTextFile::LineEndLF},
                 {"a\tb\rc\r", XTextFile::LineEndCR},
                 {"a\tb\r\nc", XTextFile::LineEndCRLF}};
    for (const Case& c : cases)
    {
        const std::string path = tmp.Path("lines.txt");
        FoundationTestFolder::WriteBytes(path, c.bytes);
        XTextFile file('\t');
        file.Open(path.c_str(), XFile::kRead);
        XString value;
        bool endOfLine = true;
        ASSERT_TRUE(file.ReadField(value, &endOfLine));
        EXPECT_EQ(c.kind, file.DetectedLineEnd());
        EXPECT_EQ("a", value);
        EXPECT_FALSE(endOfLine);
        ASSERT_TRUE(file.ReadField(value, &endOfLine));
        EXPECT_EQ("b", value);
        EXPECT_TRUE(endOfLine);
        ASSERT_TRUE(file.ReadLine(value));
        EXPECT_EQ("c", value);
        EXPECT_FALSE(file.ReadLine(value)) << c.bytes;
        file.Close();
    }
}

TEST(XTextFileTest, MacFilesAreConvertedToWindows1252)
{
    FoundationTestFolder tmp;
    const std::string path = tmp.Path("mac.txt");
    FoundationTestFolder::WriteBytes(path, "caf\x8e\r"); // e acute in Mac Roman
    XTextFile file('\t');
    file.Open(path.c_str(), XFile::kRead);
    XString line;
    ASSERT_TRUE(file.ReadLine(line));
    EXPECT_EQ("caf\xe9", line);
}

TEST(XFolderIteratorTest, KindsPatternsAndHiddenFolders)
{
    FoundationTestFolder tmp;
    for (const char* dir : {"AATP1/", "aatp2/", "AATD1/", ".AATP3/"})
        XFileSpec(tmp.Path(dir).c_str()).Create();
    FoundationTestFolder::WriteBytes(tmp.Path("AATP.txt"), "x");

    std::string seen;
    XFolderIterator folders(XFileSpec(tmp.Path().c_str()), "AATP*", XFolderIterator::Folders);
    while (folders.Next())
    {
        EXPECT_TRUE(folders.IsFolder());
        seen += std::string(folders.Name()) + ";";
        EXPECT_EQ(tmp.Path(folders.Name()) + "/", folders.FileSpec().Path());
    }
    EXPECT_EQ("AATP1;aatp2;", seen);

    seen.clear();
    XFolderIterator files(XFileSpec(tmp.Path().c_str()), "*.*", XFolderIterator::Files);
    while (files.Next())
        seen += std::string(files.Name()) + ";";
    EXPECT_EQ("AATP.txt;", seen);

    XFolderIterator none(XFileSpec(tmp.Path("missing/").c_str()), "*.*", XFolderIterator::FilesAndFolders);
    EXPECT_FALSE(none.Next());
}

TEST(XFileTest, RelativeFileInWorkingFolder)
{
    FoundationTestFolder tmp;
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(tmp.Path());
    {
        XFile file;
        EXPECT_NO_THROW(file.Open("plain.txt", XFile::kWrite));
        file.WriteText("x");
        file.Close();
    }
    std::filesystem::current_path(previous);
    EXPECT_EQ("x", FoundationTestFolder::ReadBytes(tmp.Path("plain.txt")));
}
