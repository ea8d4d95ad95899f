#include "ComErrorReport.h"

#include "AnsiText.h"

XString ComErrorReport(const AdoComError& error)
{
    XString report;
    for (const AdoProviderError& e : error.ProviderErrors())
    {
        XString line;
        line.Format(1000, "Error number: %x\t%s\r\n", static_cast<unsigned>(e.number),
                    AnsiText::FromUtf8(e.description).Text());
        report.Append(line);
    }
    XString meaning = AnsiText::FromUtf8(error.ErrorMessage());
    XString source = AnsiText::FromUtf8(error.Source());
    XString description = AnsiText::FromUtf8(error.Description());
    XString tail;
    tail.Format(meaning.Length() + source.Length() + description.Length() + 1000,
                "COM Error Code = %08lx, Code Meaning = %s\r\nSource = %s, Description = %s",
                static_cast<unsigned long>(error.Error()), meaning.Text(), source.Text(), description.Text());
    return report.Append(tail);
}

namespace
{
struct ConnectionFailure
{
    const char* mark;
    int code;
};

// The texts that show a lost link (1629) or a connect timeout (12170): Oracle's
// codes, and the ODBC states of the provider lines, written "[state]".
const ConnectionFailure kConnectionFailures[] = {
    {"ORA-03135", 1629}, {"ORA-03113", 1629}, {"[08001]", 1629},    {"[08003]", 1629},
    {"[08004]", 1629},   {"[08007]", 1629},   {"[08S01]", 1629},    {"[57P01]", 1629},
    {"[57P02]", 1629},   {"[57P03]", 1629},   {"ORA-12170", 12170}, {"[HYT01]", 12170},
};
} // namespace

int ClassifyQueryErrorText(const XString& text)
{
    // A lost link outranks a timeout: the table is in that order.
    for (const ConnectionFailure& f : kConnectionFailures)
        if (text.FindText(f.mark) >= 0)
            return f.code;
    return 1;
}
