#include "ExportEngineFactory.h"

#include "ExpEngine.h"

BridgeTaskBase* createExportEngine()
{
    return new ExpEngine();
}
