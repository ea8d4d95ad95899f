#pragma once

#include "SISExpCustomFieldList.h"
#include "XFileSpec.h"

// Writes the custom-field file of a list with the user's instructions. An
// existing file is never changed, so the user's edits survive later runs.
// A path with the extension "sde" gets the user-defined variant, which needs
// a field with a command as its example; without one no file is written.
// Returns true when a file was written.
bool WriteCustomFieldFile(const SISExpCustomFieldList& list, const XFileSpec& path);
