#pragma once

#include "XString.h"

// A report with the password values it echoes masked as "****": the value
// right after a "PWD=" or "Password=" key (any letter case, the key a word
// of its own). When the text there goes on with the password of the
// connection string, as that string writes it or as plain text, exactly that
// is masked; any other value up to the next ";", blank or quote. Nothing
// else is touched, so a password never masks parts of other words.
XString MaskEchoedPasswords(const XString& report, const XString& connectionString);
