#include "FamilyValueText.h"

namespace
{

bool IsUnset(const XString& text)
{
    return text.IsEmpty() || text == "0";
}

void AppendPart(XString& text, const XString& part)
{
    if (part.IsEmpty())
        return;
    if (!text.IsEmpty())
        text += "; ";
    text += part;
}

} // namespace

XString FamilyPhoneText(XString area, XString number, XString extension)
{
    area.Trim();
    number.Trim();
    extension.Trim();
    if (IsUnset(number))
        return XString();
    // Past the end of a short number the "-" can only go last.
    if (number.Length() < 3)
        number += "-";
    else
        number.Insert("-", 3);
    XString text;
    if (!IsUnset(area))
        text = "(" + area + ") ";
    text += number;
    if (!IsUnset(extension))
        text += " x" + extension;
    return text;
}

XString FamilyZipText(XString zip)
{
    zip.Trim();
    if (IsUnset(zip))
        return XString();
    if (zip.Mid(5) == "0000")
        zip.Truncate(5);
    if (zip.Length() == 9)
        zip.Insert("-", 5);
    return zip;
}

XString XYesNoText(const XString& text)
{
    return text == "X" ? "Yes" : "No";
}

XString RestrictionText(const XString& relationship1, const XString& restricted1,
                        const XString& relationship2, const XString& restricted2)
{
    XString text;
    if (!restricted1.IsEmpty())
        AppendPart(text, relationship1 + " is Restricted");
    if (!restricted2.IsEmpty())
        AppendPart(text, relationship2 + " is Restricted");
    return text;
}

XString LegallyResponsibleText(const XString& legal, const XString& relationship1,
                               const XString& relationship2)
{
    if (legal == "1")
        return relationship1;
    if (legal == "2")
        return relationship2;
    if (legal == "3")
        return "Both Parents";
    return XString();
}

XString HeadRelationshipText(const XString& headNumber, const XString& relationship1,
                             const XString& relationship2)
{
    XString text;
    if (headNumber == "1")
        text = relationship1;
    else if (headNumber == "2")
        text = relationship2;
    return text.IsEmpty() ? XString("Par/Guard") : text;
}

XString BusRouteText(const XString& bus, const XString& firstLocation, const XString (&codes)[5],
                     const LookupList& locations)
{
    XString text;
    AppendPart(text, bus);
    AppendPart(text, firstLocation);
    for (const XString& code : codes)
    {
        XString description;
        if (locations.Find(code, description))
            AppendPart(text, description);
    }
    return text;
}
