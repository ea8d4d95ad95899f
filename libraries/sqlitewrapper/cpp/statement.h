#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

#include "XString.h"

struct sqlite3_stmt;

namespace sqlite
{

class Database;

// A statement prepared once and run many times with new values, so a large
// fill does not parse one SQL text per row. Texts are bound without a copy:
// they must stay unchanged until the statement's next use. Every failure
// throws an SqlError naming the method as <reportedAs>::Prepare or ::Run.
class Statement
{
public:
    Statement(Database& database, const std::string& sql, const char* reportedAs = "sqlite::Statement");
    ~Statement(); // finalizes
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // Resets the statement and binds the texts to its parameters from the first on.
    Statement& Bind(std::initializer_list<const XString*> texts);
    Statement& Bind(int parameter, std::int64_t value);
    // True with a row, whose columns are read until the next step; false at
    // the end, where the statement is reset.
    bool Step();
    // Steps to the end and resets; returns the number of rows changed.
    int Run();
    // Ends the row reading begun with Step.
    void Reset();

    std::int64_t Integer(int column) const;
    // The column as text; a NULL never equals a text.
    bool TextEquals(int column, const XString& text) const;

private:
    [[noreturn]] void Fail(int rc);

    Database& database_;
    sqlite3_stmt* statement_ = nullptr;
    std::string sql_;
    std::string method_;
};

// One transaction on a connection: begun by the constructor, committed on
// request, rolled back by the destructor otherwise.
class Transaction
{
public:
    explicit Transaction(Database& database); // throws when the transaction cannot begin
    ~Transaction();                           // rolls back what was not committed; failures swallowed
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    // Throws on failure; the transaction then stays open for RollBack.
    void Commit();
    // Rolls back while the connection still has the transaction open; throws on failure.
    void RollBack();

private:
    Database& database_;
    bool done_ = false;
};

} // namespace sqlite
