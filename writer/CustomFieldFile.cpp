#include "CustomFieldFile.h"

#include <cstring>

#include "XFile.h"

namespace
{
const char* const kCrLf = "\r\n";

bool HasExtensionSde(const XFileSpec& path)
{
    const char* name = path.FileName();
    const char* dot = std::strrchr(name, '.');
    return dot && XString(dot + 1).CompareNoCase("sde") == 0;
}

void Line(XFile& file, const XString& text)
{
    file.WriteText(text + kCrLf);
}

void WriteListedFieldsInstructions(XFile& file)
{
    Line(file, "// Listed below are the list of custom fields exported by this bridge.  ");
    Line(file, "// You can control many aspects of the custom field:");
    Line(file,
         "//\t1. If the field you want is listed as #customhiddenfield change it to another field type");
    // The importer has always read this line with a bare line feed.
    file.WriteText(
        "//\t   if you want it to be displayed.  Or you can change where it appears by changing the "
        "type of custom field as below:r\n");
    static const char* const kCommands[][2] = {
        {"#custombasicfield", "To have it appear on the ID tab"},
        {"#customschoolfield", "To have it appear on the School tab"},
        {"#customcomfield", "To have it appear on the Contact tab"},
        {"#custommedfield", "To have it appear in the Medical Section"},
        {"#customgradefield ", "To have it appear as a Grade column"},
        {"#customcndoutfield", "To have it appear in the Conduct Outcomes Section"},
        {"#customcndinfield", "To have it appear in the Conduct Incident Section"},
        {"#customhiddenfield", "To have it not appear in Solvane"},
    };
    for (const auto& command : kCommands)
        Line(file, XString("//\t\t") + command[0] + "\t\t" + command[1]);
    Line(file,
         "//\t2. Change the second quoted field on the line to the title you wish the field to appear as.");
}

void WriteUserDefinedInstructions(XFile& file, const SISExpCustomField& example)
{
    Line(file, "//\t1. Find the line representing the field you wish to define from the list below.  ");
    Line(file, "//       Consult your user guide for information on available fields.");
    Line(file, "//\t2. Remove the \"//\" from the start of the line you wish to include.  This lets Connect");
    Line(file, "//\t\t\"see\" the field during import.");
    Line(file, "//\t3. Change the second quoted field on the line to the title you wish the field to appear");
    Line(file, XString("//       beside in Solvane.  For example, to include ") + example.Label() +
                   " as Health #, change the");
    Line(file, "//       first field from: ");
    Line(file, "//");
    Line(file, XString("//           //") + example.Command() + " " + example.Title().DoubleQuoted() + " " +
                   example.Label().DoubleQuoted());
    Line(file, "//");
    Line(file, "//       to");
    Line(file, "//");
    Line(file, XString("//           ") + example.Command() + " " + example.Title().DoubleQuoted() + " " +
                   XString("Health #").DoubleQuoted());
    Line(file, "//");
    Line(file,
         "//  IMPORTANT: The titles you choose for custom fields must be unique or else the data will not");
    Line(file, "//             import correctly.");
}
} // namespace

bool WriteCustomFieldFile(const SISExpCustomFieldList& list, const XFileSpec& path)
{
    if (path.Exists())
        return false;

    bool userDefined = HasExtensionSde(path);
    const SISExpCustomField* example = nullptr;
    if (userDefined)
    {
        for (const SISExpCustomField* field : list)
        {
            if (!field->Command().IsEmpty())
                example = field;
        }
        if (!example)
            return false;
    }

    XFile file;
    file.Open(path, XFile::kWrite);
    Line(file, XString(std::string(96, '/')));
    Line(file, XString("// ") + list.Header().Title());
    Line(file, "//");
    Line(file, "// Instructions:");
    Line(file, "//");
    Line(file, "// To include a user-defined field in the export:");
    if (userDefined)
        WriteUserDefinedInstructions(file, *example);
    else
        WriteListedFieldsInstructions(file);
    file.WriteText("//\r\n\r\n");

    for (const SISExpCustomField* field : list)
    {
        if (!field->Command().IsEmpty())
            field->WriteLine(file, field->Commented());
    }
    if (userDefined)
        file.WriteText(kCrLf);
    list.Header().WriteBlock(file);
    file.Close();
    return true;
}
