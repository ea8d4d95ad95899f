#include "ShellFolders.h"

#include <QStandardPaths>

QString ShellFolders::ApplicationData()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
}
