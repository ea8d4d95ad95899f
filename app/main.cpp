#include "BridgeBase.h"

#include <QCoreApplication>

#include <clocale>

int main(int argc, char** argv)
{
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
