#pragma once

#include <QString>

// A text put into one field of a protocol line. TAB would split the field
// and CR or LF the line, so that a value or a driver message could forge
// lines the front-end trusts; each becomes a blank.
QString protocolField(QString text);
