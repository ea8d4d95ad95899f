#include <gtest/gtest.h>

#include <sqlite3.h>

#include <string>

namespace
{

class TsisDemoSqliteExtension : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(sqlite3_open(":memory:", &db_), SQLITE_OK);
        sqlite3_db_config(db_, SQLITE_DBCONFIG_ENABLE_LOAD_EXTENSION, 1, nullptr);
        char* error = nullptr;
        const std::string path = std::string(TSIS_BINARY_DIR) + "/tools/libtsisdemo_sqlite.so";
        ASSERT_EQ(sqlite3_load_extension(db_, path.c_str(), nullptr, &error), SQLITE_OK)
            << (error ? error : "");
    }
    void TearDown() override { sqlite3_close(db_); }

    // The first column of the first row, "<null>" for NULL, "error: ..." on failure.
    std::string eval(const std::string& expression)
    {
        sqlite3_stmt* st = nullptr;
        std::string out;
        if (sqlite3_prepare_v2(db_, ("SELECT " + expression).c_str(), -1, &st, nullptr) != SQLITE_OK)
            return std::string("error: ") + sqlite3_errmsg(db_);
        if (sqlite3_step(st) == SQLITE_ROW)
        {
            const unsigned char* t = sqlite3_column_text(st, 0);
            out = t ? (sqlite3_column_type(st, 0) == SQLITE_INTEGER ? "int " : "") +
                          std::string(reinterpret_cast<const char*>(t))
                    : "<null>";
        }
        else
            out = std::string("error: ") + sqlite3_errmsg(db_);
        sqlite3_finalize(st);
        return out;
    }

    sqlite3* db_ = nullptr;
};

TEST_F(TsisDemoSqliteExtension, ToDateGivesTheEightDigitNumber)
{
    // The literal the Oracle dialect writes into attendance filters.
    EXPECT_EQ(eval("TO_DATE( '20090115', 'YYYYMMDD' )"), "int 20090115");
    EXPECT_EQ(eval("to_date('01/15/2009', 'MM/DD/YYYY')"), "int 20090115");
    EXPECT_EQ(eval("to_date('2009-01-15', 'yyyy-mm-dd')"), "int 20090115");
    EXPECT_EQ(eval("20261015 >= TO_DATE('20261001', 'YYYYMMDD')"), "int 1");
    EXPECT_EQ(eval("to_date(NULL, 'YYYYMMDD')"), "<null>");
}

TEST_F(TsisDemoSqliteExtension, TextThatDoesNotMatchTheFormatIsAnError)
{
    for (const char* call : {"to_date('2009115', 'YYYYMMDD')", "to_date('200901150', 'YYYYMMDD')",
                             "to_date('20091315', 'YYYYMMDD')", "to_date('01-15-2009', 'MM/DD/YYYY')"})
        EXPECT_NE(eval(call).find("does not match"), std::string::npos) << call;
    EXPECT_NE(eval("to_date('20090115')").find("error"), std::string::npos);
}

} // namespace
