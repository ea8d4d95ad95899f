// Removing the update file of an attendance update that failed.
#include "SDEWriter.h"
#include "XDeliveryGuard.h"

void SDEWriter::DiscardUpdate()
{
    XTextFile* file = m_sduFile;
    m_sduFile = nullptr;
    if (!file)
        return;
    const XFileSpec path = file->FileSpec();
    try
    {
        file->Close();
    }
    catch (const std::exception&)
    {
        // The file goes anyway.
    }
    try
    {
        XFileSpec(path).Delete();
        Log(7, XString("Removed the update file of the failed run: ") + path.Path());
    }
    catch (const std::exception& e)
    {
        Log(3,
            XString("Could not remove the update file of the failed run: ") + path.Path() + ": " + e.what());
    }
    XDeliveryGuard::SetPending({});
}
