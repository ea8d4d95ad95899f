#pragma once

#include "XString.h"

// A report with the password values it echoes masked as "****". A value is
// what follows a "PWD=" or "Password=" key (any letter case, the key a word
// of its own): the text up to the next ";", blank or quote, or further when
// the text there goes on with the password of the connection string as that
// string writes it or as plain text. Nothing else is touched, so a password
// never masks parts of other words.
XString MaskEchoedPasswords(const XString& report, const XString& connectionString);
