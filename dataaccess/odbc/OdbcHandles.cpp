#include "odbc/OdbcHandles.h"

#include "odbc/AdoEnums.h"
#include "odbc/OdbcDiagnostics.h"

SQLHENV OdbcEnvironment()
{
    static const SQLHENV env = []() -> SQLHENV
    {
        SQLHENV h = SQL_NULL_HENV;
        if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &h)))
            return SQL_NULL_HENV;
        if (!SQL_SUCCEEDED(
                SQLSetEnvAttr(h, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0)))
        {
            SQLFreeHandle(SQL_HANDLE_ENV, h);
            return SQL_NULL_HENV;
        }
        return h;
    }();
    if (!env)
        throw AdoComError(ado::E_OUTOFMEMORY_HR, "ADODB.Connection",
                          "The ODBC environment could not be created.");
    return env;
}

template <SQLSMALLINT Type> OdbcHandle<Type>::OdbcHandle(SQLHANDLE parent)
{
    if (!SQL_SUCCEEDED(SQLAllocHandle(Type, parent, &handle_)))
    {
        handle_ = nullptr;
        throw ProviderFailure(Type == SQL_HANDLE_DBC ? SQL_HANDLE_ENV : SQL_HANDLE_DBC, parent);
    }
}

template <SQLSMALLINT Type> void OdbcHandle<Type>::Reset()
{
    SQLHANDLE h = std::exchange(handle_, nullptr);
    if (!h)
        return;
    if constexpr (Type == SQL_HANDLE_DBC)
        SQLDisconnect(h); // fails harmlessly when it never connected
    SQLFreeHandle(Type, h);
}

template class OdbcHandle<SQL_HANDLE_DBC>;
template class OdbcHandle<SQL_HANDLE_STMT>;

bool OdbcDisconnect(SQLHDBC dbc)
{
    if (SQL_SUCCEEDED(SQLDisconnect(dbc)))
        return true;
    SQLEndTran(SQL_HANDLE_DBC, dbc, SQL_ROLLBACK);
    return SQL_SUCCEEDED(SQLDisconnect(dbc));
}
