#pragma once

#include <QString>

// The operating-system line of the log header.
QString osDescription();
