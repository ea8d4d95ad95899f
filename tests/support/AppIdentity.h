#pragma once

#include "AppTaskBase.h"

// The application's own names, as the front-end's bridge hands them to a task;
// the build date is the test's, as control files print it.
inline void SetAppIdentity(ParamMap& p, const QString& buildDate)
{
    p["appTitle_"] = "Vantrel Data Extractor for TSIS/SchoolMAX";
    p["appType_"] = "Data Extractor";
    p["appShortName_"] = "TSIS SchoolMAX";
    p["appVersion_"] = "4.2.9.0";
    p["appAlias_"] = "tsis";
    p["appBuildDate_"] = buildDate;
}
