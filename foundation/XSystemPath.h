#pragma once

#include <filesystem>

#include "XString.h"

// Engine paths are Windows-1252 bytes; the file system takes names in UTF-8.
// Every engine call that hands a path to the operating system converts it here.
namespace XSystemPath
{
// The engine path as the operating system names it.
std::filesystem::path FromEngine(const XString& path);
// The engine's form of a name the operating system gave; false (and out
// unchanged) when a character of it has no Windows-1252 byte.
bool ToEngine(const std::filesystem::path& name, XString& out);
// For messages: the engine's form, closest letters where a character has none.
XString ToEngineText(const std::filesystem::path& name);
} // namespace XSystemPath
