#pragma once

#include <QString>

// On a server the password comes from a root-only file named by the environment
// variable TSISBRIDGE_PASSWORD_FILE, so it never shows in the process list.
namespace PasswordFile
{

inline constexpr char Variable[] = "TSISBRIDGE_PASSWORD_FILE";

// When password is empty and the variable names a file, sets password to the
// file's text (UTF-8) with one trailing line end removed. Returns an error text
// when the file cannot be read, else an empty text.
QString supply(QString& password);

} // namespace PasswordFile
