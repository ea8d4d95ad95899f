#pragma once

#include "ODBCDataAccess.h"

// Turns a switch of the query builder on for the lifetime of the guard and
// off again on every way out, a throw included: a routine whose exception is
// swallowed must not leave the next routine's query distinct or in join form.
class ScopedQuerySwitch
{
public:
    enum Switch
    {
        Distinct,
        AnsiJoin,
    };

    ScopedQuerySwitch(ODBCDataAccess& db, Switch which) : m_db(db), m_which(which) { Set(true); }
    ~ScopedQuerySwitch() { Set(false); }
    ScopedQuerySwitch(const ScopedQuerySwitch&) = delete;
    ScopedQuerySwitch& operator=(const ScopedQuerySwitch&) = delete;

    // Off before the end of the scope (the list queries build their statement early).
    void Release() { Set(false); }

private:
    void Set(bool on)
    {
        if (m_which == Distinct)
            m_db.SetDistinct(on);
        else
            m_db.SetAnsiJoin(on);
    }

    ODBCDataAccess& m_db;
    Switch m_which;
};

// The two guards a routine writes: "ScopedDistinct distinct(*this);".
struct ScopedDistinct : ScopedQuerySwitch
{
    explicit ScopedDistinct(ODBCDataAccess& db) : ScopedQuerySwitch(db, Distinct) {}
};
struct ScopedAnsiJoin : ScopedQuerySwitch
{
    explicit ScopedAnsiJoin(ODBCDataAccess& db) : ScopedQuerySwitch(db, AnsiJoin) {}
};
