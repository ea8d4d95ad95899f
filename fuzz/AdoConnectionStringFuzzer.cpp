// The ADO-to-ODBC connection-string translation: input
// "connection string\0user\0password". A value may never reach the ODBC
// string unbraced with a ";" in it, and an error never quotes the input.
#include "AdoConnectionString.h"
#include "FuzzInput.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::vector<std::string> parts = SplitAtNul(data, size);
    const std::string& ado = Part(parts, 0);
    TranslateAdoConnectionString(ado);
    const AdoConnectionStringTranslation t =
        TranslateAdoConnectionString(ado, "/usr/lib/odbc/libsqlite3odbc.so", Part(parts, 1), Part(parts, 2));
    if (!t.ok && ado.size() > 8 && t.error.find(ado) != std::string::npos)
        std::abort();
    return 0;
}
