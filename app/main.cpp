#include "BridgeBase.h"
#include "ProcessSecrecy.h"
#include "StopSignals.h"

#include <QCoreApplication>

#include <clocale>

int main(int argc, char** argv)
{
    // Before any other thread: a stopped run still writes its failed status.
    StopSignals::start();
    ProcessSecrecy::withholdFromOthers();
    QCoreApplication application(argc, argv);
    // Qt takes the locale from the environment; numbers must print the same everywhere.
    std::setlocale(LC_NUMERIC, "C");

    int result = 0;
    {
        BridgeBase bridge;
        result = bridge.processCommandLine(argc, argv);
    }
    return result;
}
