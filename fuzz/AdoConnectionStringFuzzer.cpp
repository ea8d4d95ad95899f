// The ADO-to-ODBC connection-string translation: input
// "connection string\0user\0password".
#include "FuzzInput.h"
#include "odbc/AdoConnectionString.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::vector<std::string> parts = SplitAtNul(data, size);
    const std::string& ado = Part(parts, 0);
    TranslateAdoConnectionString(ado);
    TranslateAdoConnectionString(ado, "/usr/lib/odbc/libsqlite3odbc.so", Part(parts, 1), Part(parts, 2));
    return 0;
}
