#pragma once

#include <QString>
#include <filesystem>

#include "XString.h"

// Engine paths are Windows-1252 bytes; the file system takes names in UTF-8
// (UTF-16 on Windows). Every call that hands a path to the operating system
// converts it here.
namespace XSystemPath
{
// The engine path as the operating system names it.
std::filesystem::path FromEngine(const XString& path);
// A path of the application's own (Unicode) as the operating system names it.
std::filesystem::path FromText(const QString& path);
// The engine's form of a name the operating system gave; false (and out
// unchanged) when a character of it has no Windows-1252 byte.
bool ToEngine(const std::filesystem::path& name, XString& out);
// For messages: the engine's form, closest letters where a character has none.
XString ToEngineText(const std::filesystem::path& name);
} // namespace XSystemPath
