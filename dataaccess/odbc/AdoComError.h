#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <vector>

// One entry of a connection's Errors collection: a diagnostic record of the
// ODBC call that failed.
struct AdoProviderError
{
    long number = 0;         // the driver's native error code
    std::string description; // "[SQLSTATE] message", the message as the driver wrote it (UTF-8)
    std::string source;      // who raised it
    std::string sqlState;    // the five-character SQLSTATE
};

// Stand-in for `_com_error`: what an ADO call throws on failure, with the
// diagnostic records of the ODBC call that failed (none for a failure of
// the layer's own). The texts never contain a connection string or a password.
class AdoComError : public std::exception
{
public:
    AdoComError(std::uint32_t hresult, std::string source, std::string description,
                std::vector<AdoProviderError> providerErrors = {});

    // The HRESULT, e.g. 0x80004005 for a provider failure.
    std::uint32_t Error() const { return hresult_; }
    // The system's text for the HRESULT ("Unspecified error"), or
    // "IDispatch error #n" / "Unknown error 0x..." when it has none.
    std::string ErrorMessage() const;
    std::string Source() const { return source_; }
    std::string Description() const { return description_; }
    const std::vector<AdoProviderError>& ProviderErrors() const { return providerErrors_; }

    // The description (or the system text when there is none).
    const char* what() const noexcept override { return what_.c_str(); }

    // The system text for any HRESULT, as ErrorMessage() gives it.
    static std::string MessageFor(std::uint32_t hresult);

private:
    std::uint32_t hresult_;
    std::string source_;
    std::string description_;
    std::vector<AdoProviderError> providerErrors_;
    std::string what_;
};
