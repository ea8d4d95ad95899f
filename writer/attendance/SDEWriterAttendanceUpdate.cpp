// The update file of an attendance update and the marks of the records it
// carries: the file is written under a temporary name, synced and put in
// place under a name no other update file has; only then are its records
// marked as sent. A failure before that leaves neither file nor marks.
#include "SDEWriter.h"

#include "XException.h"
#include "XSystemPath.h"
#include "attendance/PendingUpdateFile.h"

#include <filesystem>
#include <system_error>

namespace
{
constexpr const char* kUpdateTemporaryPattern = "Update *.SDU.part";

XFileSpec UpdateFilePath(const XFileSpec& folder, const XString& stamp)
{
    XFileSpec path(folder);
    path.MakeFolder();
    path.SetFileName(XString("Update ") + stamp + ".SDU");
    return path;
}

// Taken by any entry, a link to nowhere included.
bool NameTaken(const XFileSpec& path)
{
    std::error_code error;
    return std::filesystem::exists(
        std::filesystem::symlink_status(XSystemPath::FromEngine(path.Path()), error));
}

// The temporary name does not match the importer's "*.sdu".
XFileSpec TemporaryPath(const XFileSpec& target)
{
    XFileSpec path(target);
    path.SetFileName(XString(target.FileName()) + SDEWriter::kPartialSuffix);
    return path;
}
} // namespace

void SDEWriter::RemoveStaleUpdateFiles()
{
    try
    {
        XFileSpec folder(m_sdeFolder);
        folder.MakeFolder();
        folder.DeleteMatching(kUpdateTemporaryPattern);
    }
    catch (const std::exception& e)
    {
        // The importer never reads them; the next run tries again.
        Log(4, XString("Could not remove an unfinished update file: ") + e.what());
    }
}

void SDEWriter::StartUpdate(XTextFile& file)
{
    m_updateMode = true;
    XDateTime now = XDateTime::Now();
    m_startTime = now;
    // A name already taken belongs to a file whose records are marked as
    // sent (a run ending in the same second): the stamp moves on instead.
    XString stamp;
    XFileSpec target;
    for (;; now = now.Add(0, 0, 0, 0, 0, 1))
    {
        stamp = now.Format("YYYYMMDDHHNNSS");
        target = UpdateFilePath(m_sdeFolder, stamp);
        if (!NameTaken(target) && !NameTaken(TemporaryPath(target)))
            break;
    }
    const XFileSpec temporary = TemporaryPath(target);
    file.SetSeparator('\t');
    file.SetQuotes("", "");
    PendingUpdateFile::SetPending(XSystemPath::FromEngine(temporary.Path()));
    file.Open(temporary, XFile::kWrite);
    m_sduFile = &file;
    m_sduTarget = target;

    WriteBanner(file);
    file.WriteText(XString("#pragma update ") + stamp.DoubleQuoted() + "\r\n\r\n");
    WritePragmas(file);
    file.WriteText(XString(std::string(91, '/')) + "\r\n");
    file.WriteText("// Import Files and Headers\r\n//\r\n\r\n");
}

void SDEWriter::FinishUpdate()
{
    if (!m_sduFile || !m_sduFile->IsOpen())
        throw XException("No update file is open.");
    WriteTiming(*m_sduFile);
    m_sduFile->Sync();
    m_sduFile->Close();
    {
        // A stop removes the temporary file or finds the complete one in place.
        const std::lock_guard<std::mutex> guard(PendingUpdateFile::Lock());
        m_sduFile->FileSpec().MoveToNew(m_sduTarget);
        emit updateFileDelivered(XString(m_sduTarget.FileName()).ToQString(), m_sduFile->LinesEnded());
        m_sduFile = nullptr;
        PendingUpdateFile::SetPending({});
    }
    try
    {
        m_attendance->CommitMarks();
    }
    catch (const std::exception& e)
    {
        // The file is in place: its records go out again with the next run.
        throw XException(XString("The update file ") + m_sduTarget.FileName() +
                         " is complete, but its records could not be marked as sent: " + e.what());
    }
}

void SDEWriter::DiscardUpdate()
{
    // The marks, and a blank or fill the failure left open, go back.
    m_attendance->DiscardMarks();
    XTextFile* file = m_sduFile;
    m_sduFile = nullptr;
    // None begun, or already in place: a complete file stays.
    if (file)
    {
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
            if (path.Exists())
            {
                path.Delete();
                Log(7, XString("Removed the update file of the failed run: ") + path.Path());
            }
        }
        catch (const std::exception& e)
        {
            Log(3, XString("Could not remove the update file of the failed run: ") + path.Path() + ": " +
                       e.what());
        }
    }
    PendingUpdateFile::SetPending({});
}
