#include "PhoneFormat.h"

#include <string>

namespace
{
// Inserts the separators of a number with 7 to 14 digits; 8 and 9 stay as they are.
XString Separate(const XString& d)
{
    switch (d.Length())
    {
    case 7:
        return d.Left(3) + "-" + d.Mid(3);
    case 10:
        return d.Left(3) + " " + d.Sub(3, 6) + "-" + d.Mid(6);
    case 11:
        return "+" + d.Left(1) + "-" + d.Sub(1, 4) + "-" + d.Sub(4, 7) + "-" + d.Mid(7);
    case 12:
    case 13:
    case 14:
    {
        int cc = d.Length() - 10;
        return "+" + d.Left(cc) + " " + d.Sub(cc, cc + 3) + " " + d.Sub(cc + 3, cc + 6) + "-" + d.Mid(cc + 6);
    }
    default:
        return d;
    }
}
} // namespace

XString FormatPhoneNumber(const XString& phone, XString& message)
{
    message = "";
    if (phone.IsEmpty())
        return phone;

    XString number(phone);
    number.RemoveChars("() -");

    XString extension;
    for (const char* marker : {"ext", "Ext", "x"})
    {
        int at = number.FindText(marker);
        if (at >= 0)
        {
            extension = number.Mid(at + static_cast<int>(std::char_traits<char>::length(marker)));
            number.Truncate(at);
            break;
        }
    }

    if (!number.IsEmpty() && number.IsDigits() && number.Length() >= 7 && number.Length() <= 14)
    {
        number = Separate(number);
    }
    else
    {
        message =
            "Phone number: " + phone +
            ", cannot parse into right format.  This means that the phone number in your database is not in "
            "phone number format.";
        // Written as found: appending the extension again would repeat it.
        return phone;
    }

    if (extension.IsEmpty())
        return number;
    return number + " x" + extension;
}
