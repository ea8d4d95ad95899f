#include "ExportEngineFactory.h"

#include "BridgeTaskBase.h"

BridgeTaskBase* createExportEngine()
{
    return new BridgeTaskBase();
}
