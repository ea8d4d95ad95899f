#include "SDEWriter.h"

#include "XException.h"

SDEWriter::SDEWriter(QObject* parent)
    : BridgeTaskBase(parent), m_attendance(std::make_unique<AttendanceCache>(
                                  [this](int level, const XString& message) { Log(level, message); }))
{
}

SDEWriter::~SDEWriter() = default;

void SDEWriter::StartTable(const XString& title, const XString& fileName, bool safeInclude)
{
    // Left by a routine whose failure was swallowed.
    AbandonTableFile();
    m_title = title;
    m_fileName = fileName;
    m_currentIncomplete = false;
    // A lookup (no file) is no data table of the summary.
    m_tableNoted = !fileName.IsEmpty();
    m_tableRows = 0;
    const bool intoUpdate = m_updateMode && m_sduFile;
    m_tableLinesBase = intoUpdate ? m_sduFile->LinesEnded() : 0;
    if (m_tableNoted)
        emit tableStarted(title.ToQString(),
                          (intoUpdate ? XString(m_sduTarget.FileName()) : fileName).ToQString());
    PutJobText(XString("Reading ") + title + "...");
    m_headers.push_back(std::make_unique<SISExpHeader>(title, fileName, safeInclude));
    m_currentHeader = m_headers.back().get();
    m_columns.clear();
    m_currentColumn = nullptr;
    ClearQuery();
}

void SDEWriter::OpenTableFile(XTextFile& file, const XString& title, const XString& fileName)
{
    StartTable(title, fileName, false);
    OpenCurrentTableFile(file);
}

void SDEWriter::OpenCurrentTableFile(XTextFile& file)
{
    OpenPartialTableFile(file, XString());
}

void SDEWriter::MarkTableIncomplete()
{
    if (m_currentIncomplete)
        return;
    m_currentIncomplete = true;
    m_incompleteTables.push_back(m_title);
    Log(6, "Table not exported completely: " + m_title);
}

void SDEWriter::ResetIncompleteTables()
{
    m_currentIncomplete = false;
    m_incompleteTables.clear();
}

bool SDEWriter::WithdrawTableIncomplete()
{
    if (!m_currentIncomplete)
        return false;
    m_currentIncomplete = false;
    m_incompleteTables.pop_back();
    return true;
}

void SDEWriter::StartWalk(const XString& title)
{
    m_tableNoted = false;
    m_title = title;
    m_currentIncomplete = false;
}

XString SDEWriter::IncompleteTablesMessage() const
{
    XString message = "Tables not exported completely: ";
    for (size_t i = 0; i < m_incompleteTables.size(); ++i)
    {
        if (i > 0)
            message.Append(", ");
        message.Append(m_incompleteTables[i]);
    }
    return message;
}

void SDEWriter::OpenPartialTableFile(XTextFile& file, const XString& headerLine)
{
    AbandonTableFile();
    PartialFile partial;
    partial.target = m_sdeFolder;
    partial.target.SetFileName(m_fileName);
    partial.part = m_sdeFolder;
    partial.part.SetFileName(m_fileName + kPartialSuffix);
    partial.headerLine = headerLine;
    file.Open(partial.part, XFile::kWrite);
    m_partialTable = partial;
}

void SDEWriter::EndPartialTableFile()
{
    if (m_currentIncomplete)
        AbandonTableFile();
    else
        CommitPartial();
}

void SDEWriter::CommitPartial()
{
    if (!m_partialTable)
        return;
    const PartialFile partial = *m_partialTable;
    m_partialTable.reset();
    partial.part.MoveTo(partial.target);
}

void SDEWriter::AbandonTableFile()
{
    if (!m_partialTable)
        return;
    const PartialFile partial = *m_partialTable;
    m_partialTable.reset();
    partial.part.Delete();
    KeepOrStartDataFile(partial.target.FileName(), partial.headerLine);
}

void SDEWriter::KeepOrStartDataFile(const XString& fileName, const XString& headerLine)
{
    XFileSpec target(m_sdeFolder);
    target.SetFileName(fileName);
    if (target.Exists())
    {
        Log(7, "Kept the previous " + fileName);
        return;
    }
    XTextFile first('\t', "", "");
    first.Open(target, XFile::kWrite);
    if (!headerLine.IsEmpty())
    {
        first.WriteText(headerLine);
        first.EndLine();
    }
    first.Close();
    Log(7, "Wrote only the header line of " + fileName);
}

void SDEWriter::AddColumn(DataAccessField* field, const XString& text, ValueFunction valueFn, int command)
{
    SDEColumn column;
    column.field = field;
    column.text = text;
    column.value = std::move(valueFn);
    column.command = command;
    m_columns.push_back(std::move(column));
}

void SDEWriter::AddHeaderField(const XString& name, const XString& customTitle, const XString& customLabel,
                               const XString& customCommand, const XString& customSource)
{
    if (!name.IsEmpty())
    {
        if (!m_currentHeader)
            throw XException("No table started for the header field " + name + ".");
        m_currentHeader->AddName(name);
    }
    if (!customTitle.IsEmpty())
        m_customFields.Add(customTitle, customLabel, customCommand, customSource, false);
}

void SDEWriter::AddCustomField(const XString& customTitle, const XString& customLabel,
                               const XString& customCommand, const XString& customSource)
{
    m_customFields.Add(customTitle, customLabel, customCommand, customSource, false);
}

int SDEWriter::WriteTable(const RowFilter& filter, const XString& headerLine)
{
    Log(8, "Opening Table");
    OpenTableKeepingData(headerLine);
    XTextFile tableFile('\t', "", "");
    XTextFile& out = OpenTableOutput(tableFile, headerLine);
    int count = 0;
    long long firstRow = 0;
    try
    {
        if (!headerLine.IsEmpty())
        {
            out.WriteText(headerLine);
            out.EndLine();
            // The header line is no row.
            firstRow = 1;
            m_tableLinesBase = out.LinesEnded();
        }
        Log(8, "Generating SDE Entries");
        for (bool more = GetFirstRecord(); more; more = GetNextRecord())
            if (!filter || filter())
                WriteRecord(out, ++count == 1);
    }
    catch (...)
    {
        FailTable(tableFile, firstRow, count);
    }

    if (m_updateMode)
    {
        Log(8, "Writing sdu footer");
        out.WriteText("*\r\n\r\n");
        Log(8, XString("Finished SDU File. Lines= ") + XString(count));
    }
    else
    {
        Log(8, "Closing Table file");
        m_tableRows = tableFile.LinesEnded() - firstRow;
        tableFile.Close();
        EndPartialTableFile();
        Log(8, XString("Closed Table File. Lines= ") + XString(count));
    }
    Log(8, XString("Wrote ") + m_fileName);
    return count;
}

void SDEWriter::OpenTableKeepingData(const XString& headerLine)
{
    try
    {
        OpenTable(1);
    }
    catch (...)
    {
        try
        {
            if (!m_updateMode)
                KeepOrStartDataFile(m_fileName, headerLine);
        }
        catch (...)
        {
            // The open failure is the one to report.
        }
        throw;
    }
}

XTextFile& SDEWriter::OpenTableOutput(XTextFile& tableFile, const XString& headerLine)
{
    Log(8, XString("Writing ") + m_fileName);
    if (!m_updateMode)
    {
        Log(8, "Writing SDE File");
        OpenPartialTableFile(tableFile, headerLine);
        Log(8, "Opened SDE FIle");
        return tableFile;
    }
    Log(8, "Writing SDU File");
    if (!m_sduFile || !m_sduFile->IsOpen())
        throw XException("No update file is open for " + m_fileName + ".");
    if (m_currentHeader)
        m_currentHeader->WriteHeader(*m_sduFile);
    Log(8, "Wrote Current Header");
    return *m_sduFile;
}

void SDEWriter::WriteRecord(XTextFile& out, bool first)
{
    if (first)
    {
        Log(8, "Generating First SDE Entry");
        Log(8, "Line Passed Filter");
    }
    for (const SDEColumn& column : m_columns)
    {
        m_currentColumn = &column;
        XString name;
        if (first)
        {
            Log(8, "Getting curColumns field...");
            name = column.field ? column.field->FieldName() : XString("**Blank FieldName**");
            Log(9, XString("Processing Field = ") + name);
        }
        if (column.value)
        {
            if (first)
                Log(8, "Getting valueStr");
            XString value = column.value();
            if (first)
                Log(8, "Got valueStr");
            out.WriteField(value);
            if (first)
                Log(9, XString("Wrote = ") + name);
            continue;
        }
        if (first)
        {
            Log(8, "Getting command");
            Log(8, "Got command");
        }
        switch (column.command)
        {
        case SDEColumn::Constant:
            out.WriteField(column.text);
            break;
        case SDEColumn::LineBreak:
            out.EndLine();
            break;
        case SDEColumn::Hook:
            ColumnHook(column.field);
            break;
        default:
            break;
        }
        if (first)
        {
            Log(8, XString("Wrote Default Value Command ") + XString(column.command) + " for " + name);
            Log(8, XString("Wrote the value = ") + column.text);
        }
    }
    m_currentColumn = nullptr;
    out.EndLine();
}

void SDEWriter::FailTable(XTextFile& tableFile, long long firstRow, int count)
{
    m_currentColumn = nullptr;
    XString failure;
    try
    {
        throw;
    }
    catch (const std::exception& e)
    {
        failure = XString("with error [") + e.what() + "]";
    }
    catch (...)
    {
        failure = "with unknown error";
    }
    if (!m_updateMode)
    {
        // The lines of the data file, for the summary (the update file's are counted by FinishTable).
        m_tableRows = tableFile.LinesEnded() - firstRow;
        try
        {
            tableFile.Close();
            AbandonTableFile();
        }
        catch (...)
        {
            // The write error is the one to report.
        }
    }
    Log(8, XString("Error writing line= ") + XString(count));
    const XString message =
        "Failed " + failure + " while writing file [" + m_fileName + "] with query: " + BuildQuery();
    Log(2, message);
    throw XException(message);
}

void SDEWriter::FinishTable()
{
    m_currentColumn = nullptr;
    m_columns.clear();
    ClearQuery();
    if (m_tableNoted)
    {
        m_tableNoted = false;
        // Lines in the update file are counted there, whoever wrote them.
        if (m_updateMode && m_sduFile)
            m_tableRows = m_sduFile->LinesEnded() - m_tableLinesBase;
        emit tableEnded(m_tableRows, !m_currentIncomplete);
    }
    Log(8, XString("Finished ") + m_title + " table/query.");
}

void SDEWriter::CloseTableFile(XTextFile& file)
{
    m_tableRows = file.LinesEnded();
    file.Close();
    EndPartialTableFile();
    FinishTable();
}

bool SDEWriter::BeginExecute(ParamMap& params, int flags, QString& errorText)
{
    const bool result = BridgeTaskBase::BeginExecute(params, flags, errorText);
    try
    {
        AbandonTableFile();
    }
    catch (const std::exception& e)
    {
        Log(3, e.what(), "SDEWriter::BeginExecute");
    }
    return result;
}

void SDEWriter::ColumnHook(DataAccessField* field)
{
    (void)field;
}

void SDEWriter::ClearHeaders()
{
    m_currentHeader = nullptr;
    m_headers.clear();
}
