#include "ComErrorReport.h"

#include "AnsiText.h"

XString ComErrorReport(const std::vector<AdoProviderError>* providerErrors, const AdoComError& error)
{
    XString report;
    if (providerErrors)
    {
        for (const AdoProviderError& e : *providerErrors)
        {
            XString line;
            line.Format(1000, "Error number: %x\t%s\r\n", static_cast<unsigned>(e.number),
                        AnsiText::FromUtf8(e.description).Text());
            report.Append(line);
        }
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

int ClassifyQueryErrorText(const XString& text)
{
    if (text.FindText("ORA-03135") >= 0 || text.FindText("ORA-03113") >= 0)
        return 1629;
    if (text.FindText("ORA-12170") >= 0)
        return 12170;
    return 1;
}
