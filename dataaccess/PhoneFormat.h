#pragma once

#include "XString.h"

// Puts separators into a phone number read from the database. A text that
// is not a number of 7 to 14 digits (with an optional extension) comes back
// unchanged, and message tells why; otherwise message is left empty.
XString FormatPhoneNumber(const XString& phone, XString& message);
