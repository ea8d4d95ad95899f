#pragma once

class BridgeTaskBase;

// The one place that decides which task object runs the extraction and
// answers the connection tests and lists.
BridgeTaskBase* createExportEngine();
