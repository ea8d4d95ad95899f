#include "odbc/AdoComError.h"

#include <cstdio>
#include <utility>

namespace
{
struct KnownMessage
{
    std::uint32_t hresult;
    const char* text;
};

// The system texts of the HRESULTs an ADO layer commonly meets.
const KnownMessage kKnown[] = {
    {0x00000000u, "The operation completed successfully."},
    {0x80004001u, "Not implemented"},
    {0x80004002u, "No such interface supported"},
    {0x80004003u, "Invalid pointer"},
    {0x80004004u, "Operation aborted"},
    {0x80004005u, "Unspecified error"},
    {0x8000FFFFu, "Catastrophic failure"},
    {0x80020005u, "Type mismatch."},
    {0x8002000Au, "Out of present range."},
    {0x80070005u, "Access is denied."},
    {0x80070006u, "The handle is invalid."},
    {0x8007000Eu, "Not enough memory resources are available to complete this operation."},
    {0x80070057u, "The parameter is incorrect."},
};
} // namespace

AdoComError::AdoComError(std::uint32_t hresult, std::string source, std::string description,
                         std::vector<AdoProviderError> providerErrors)
    : hresult_(hresult), source_(std::move(source)), description_(std::move(description)),
      providerErrors_(std::move(providerErrors))
{
    what_ = description_.empty() ? MessageFor(hresult_) : description_;
}

std::string AdoComError::ErrorMessage() const
{
    return MessageFor(hresult_);
}

std::string AdoComError::MessageFor(std::uint32_t hresult)
{
    for (const auto& k : kKnown)
        if (k.hresult == hresult)
            return k.text;
    char buf[64];
    // FACILITY_ITF codes from 0x200 up are the dispatch range of _com_error.
    if (hresult >= 0x80040200u && hresult <= 0x8004FFFFu)
        std::snprintf(buf, sizeof buf, "IDispatch error #%d", static_cast<int>(hresult - 0x80040200u));
    else
        std::snprintf(buf, sizeof buf, "Unknown error 0x%0lX", static_cast<unsigned long>(hresult));
    return buf;
}
