#pragma once

#include "ODBCDataAccess.h"

// The export engine's base: the database client as the SIS engine sees it.
// It adds nothing of its own; engines for other systems would derive here too.
class ODBCExpEngineBase : public ODBCDataAccess
{
    Q_OBJECT
public:
    ODBCExpEngineBase(int optionWord, int databaseType, QObject* parent = nullptr)
        : ODBCDataAccess(optionWord, databaseType, parent)
    {
    }
    ~ODBCExpEngineBase() override = default;
};
