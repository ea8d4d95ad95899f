#pragma once

#include "platform/OdbcHeaders.h"

#include <utility>

// The ODBC environment of the process (ODBC 3 behaviour), made at first use
// and kept until the process ends: every connection is allocated on it.
// Throws AdoComError when the driver manager cannot make it.
SQLHENV OdbcEnvironment();

// One ODBC handle of type Type, freed with the object (a connection handle
// is disconnected first).
template <SQLSMALLINT Type> class OdbcHandle
{
public:
    OdbcHandle() = default;
    // Allocates a handle under parent; throws AdoComError with the parent's
    // diagnostics when the driver refuses.
    explicit OdbcHandle(SQLHANDLE parent);
    ~OdbcHandle() { Reset(); }
    OdbcHandle(OdbcHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    OdbcHandle& operator=(OdbcHandle&& other) noexcept
    {
        if (this != &other)
        {
            Reset();
            handle_ = std::exchange(other.handle_, nullptr);
        }
        return *this;
    }
    OdbcHandle(const OdbcHandle&) = delete;
    OdbcHandle& operator=(const OdbcHandle&) = delete;

    SQLHANDLE Get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    void Reset();

private:
    SQLHANDLE handle_ = nullptr;
};

using OdbcConnectionHandle = OdbcHandle<SQL_HANDLE_DBC>;
using OdbcStatementHandle = OdbcHandle<SQL_HANDLE_STMT>;

// Disconnects a connection handle: an open transaction (a driver in manual-commit
// mode) blocks that, and nothing was written through this layer, so it is
// rolled back first. False when the driver still refuses.
bool OdbcDisconnect(SQLHDBC dbc);
