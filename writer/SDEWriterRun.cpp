// The run steps of the writer: start, full export, update, end, and the
// removal of files left by earlier runs.
#include "SDEWriter.h"

#include "CustomFieldFile.h"
#include "SchoolConfig.h"
#include "XClock.h"
#include "XException.h"
#include "XFolderIterator.h"

void SDEWriter::StartWriter()
{
    Log(7, "Starting SDE Writer");
    m_globalFolder = SchoolConfig::ReadGlobalFolder(m_sdeFolder);
    if (CheckConfigurationChanged())
    {
        Log(7, "Bridge Configuration Changed.");
        DeleteUpdateFiles(m_sdeFolder);
        m_updateDate.SetNull();
        // The stored time belongs to the old configuration: kept, it would be
        // saved as the next start date and the new school's earlier
        // attendance would never be exported.
        m_updateDateTime.SetNull();
    }
    else
    {
        Log(7, "Bridge Configuration Did Not Change.");
    }
    Log(7, XString("Import Folder: ") + m_sdeFolder.Path());
    RemoveStaleUpdateFiles();
}

void SDEWriter::StartImport()
{
    const char* method = "SDEWriter::StartImport";
    Log(7, "Starting Import", method);
    m_updateMode = false;
    m_startTime = XDateTime::Now();
    Log(8, "Clear Headers", method);
    ClearHeaders();
    Log(8, "Clear Custom Field Lists", method);
    m_customFields.Empty();
    for (SISExpCustomFieldList* list : m_customFieldLists)
        list->Empty();
    Log(8, "Start Import finished", method);
}

void SDEWriter::FinishImport()
{
    Log(8, "Begin Finish Import", "SDEWriter::FinishImport");
    WriteControlFile();
    for (SISExpCustomFieldList* list : m_customFieldLists)
    {
        XFileSpec path(m_sdeFolder);
        path.SetFileName(list->FileName());
        WriteCustomFieldFile(*list, path);
    }
}

void SDEWriter::EndExport()
{
    SaveSchoolConfig();
    ClearHeaders();
    Log(5, "Export complete.");
    emit writeProgress(QStringLiteral("bridge_complete"), -1);
}

void SDEWriter::DeleteSDEFiles()
{
    try
    {
        Log(8, "DeleteSDEFiles: Assigned import folder");
        m_sdeFolder.DeleteMatching("*.sde");
    }
    catch (const std::exception& e)
    {
        XString message =
            XString("Error: Failed while trying to remove SDE Files.\n Please manually remove all .sde "
                    "(except for CustomFieldConfig.sde) files from the Import Directory, and try "
                    "extracting again.\n") +
            e.what() + "\nExiting Extractor.";
        Log(2, message);
        throw XException(message);
    }
}

void SDEWriter::DeleteUpdateFiles(const XFileSpec& folder)
{
    try
    {
        XFileSpec target(folder);
        target.MakeFolder();
        Log(8, "DeleteUpdateFiles: Assigned import folder");
        target.DeleteMatching("*.sdu");
        Log(8, "Deleted sdu files");

        target.SetFileName(SchoolConfig::kFileName);
        Log(8, "Changed FileName to SchoolConfig");
        target.Delete();
        Log(8, "Deleted SchoolConfig");

        XFileSpec work = target.Parent();
        Log(8, "Got Parent Folder");
        work.AppendFolder("PAT");
        Log(8, "Appended PAT");
        if (work.Exists())
        {
            Log(8, "Found PAT Folder");
            work.Delete();
            Log(8, "Deleted PAT Folder");
        }

        work = folder;
        work.MakeFolder();
        Log(8, "Reset SDE Folder");
        work.AppendFolder("DAT");
        Log(8, "Appended DAT Folder");
        if (work.Exists())
        {
            Log(8, "Found DAT Folder");
            work.Delete();
            Log(8, "Deleted DAT Folder");
        }

        XFileSpec base(folder);
        base.MakeFolder();
        XFolderIterator aatp(base, "AATP*", XFolderIterator::Folders);
        Log(8, "Assigned AATP Iterator");
        while (aatp.Next())
        {
            Log(8, "Iterating AATP Folder");
            aatp.FileSpec().Delete();
            Log(8, "Deleted AATP Folder");
        }
        XFolderIterator aatd(base, "AATD*", XFolderIterator::Folders);
        Log(8, "Assigned AATD Iterator");
        while (aatd.Next())
            aatd.FileSpec().Delete();

        DeleteAttendanceDatabase();
        DropGlobalAttendanceTables();
    }
    catch (const std::exception& e)
    {
        XString message =
            XString("Error: Failed while trying to remove SDU Files.\n Please manually remove all .sdu "
                    "files from the Import Directory, and try extracting again.\n") +
            e.what() + "\nExiting Extractor.";
        Log(2, message);
        throw XException(message);
    }
}
