#pragma once

#include <cstdint>
#include <vector>

#include "XDateTime.h"
#include "XFileSpec.h"
#include "XString.h"

// SchoolConfig.xml in an SDE folder: the state kept between runs (update
// dates, overlap, attendance cache folder and the last configuration).
namespace SchoolConfig
{
constexpr const char* kFileName = "SchoolConfig.xml";
constexpr const char* kRoot = "SchoolConfig";

struct Entry
{
    XString element;
    XString attribute;
    XString value;
};

constexpr uintmax_t kMaxBytes = 1024 * 1024;

// Every entry of the file in file order; empty when the file is missing,
// unreadable or larger than kMaxBytes. Values come back unescaped.
std::vector<Entry> Read(const XFileSpec& folder);
// The value of element/attribute (names matched exactly); "" when absent.
XString ReadValue(const XFileSpec& folder, const char* element, const char* attribute);

XDate ReadUpdateDate(const XFileSpec& folder);         // null when absent
XDateTime ReadUpdateDateTime(const XFileSpec& folder); // null when absent
XString ReadOverlapDays(const XFileSpec& folder);
XString ReadGlobalFolder(const XFileSpec& folder);

// Writes the file anew. "&", "<", ">" and '"' in values are written as
// entities so that any data source name or path reads back as it was.
void Write(const XFileSpec& folder, const std::vector<Entry>& entries);

XString EscapeValue(const XString& value);
} // namespace SchoolConfig
