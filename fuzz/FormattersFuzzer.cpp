// The phone, zip and value formatters: input "text\0area\0number\0extension\0raw",
// where raw's bytes give the number the numeric formatters read.
#include "DatabaseType.h"
#include "FamilyValueText.h"
#include "FuzzInput.h"
#include "ODBCDataAccess.h"
#include "PhoneFormat.h"
#include "StaffGradeValueText.h"

#include <cstring>

namespace
{

// Hands the formatters the fuzzer's values instead of a database's.
class CannedReader : public ODBCDataAccess
{
public:
    CannedReader() : ODBCDataAccess(0, DatabaseType::MSSQL) {}
    XString GetTrimmedText(DataAccessField*) override { return text; }
    double GetDouble(DataAccessField*) override { return real; }
    float GetFloat(DataAccessField*) override { return single; }
    int GetInt(DataAccessField*) override { return whole; }

    XString text;
    double real = 0;
    float single = 0;
    int whole = 0;
};

template <typename T> T FromBytes(const std::string& raw, size_t offset)
{
    T value{};
    if (raw.size() >= offset + sizeof value)
        std::memcpy(&value, raw.data() + offset, sizeof value);
    return value;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::vector<std::string> parts = SplitAtNul(data, size);
    const XString text(Part(parts, 0));
    XString message;
    FormatPhoneNumber(text, message);
    FamilyPhoneText(XString(Part(parts, 1)), XString(Part(parts, 2)), XString(Part(parts, 3)));
    FamilyZipText(text);
    Initials(text);
    StaffBirthDateText(XString(Part(parts, 1)), XString(Part(parts, 2)));

    static CannedReader reader;
    reader.text = text;
    const std::string& raw = Part(parts, 4);
    reader.real = FromBytes<double>(raw, 0);
    reader.single = FromBytes<float>(raw, 8);
    reader.whole = FromBytes<int>(raw, 12);
    reader.CleanText();
    reader.QuotedText();
    reader.UpperText();
    reader.ZeroAsEmpty();
    reader.NAAsEmpty();
    reader.PhoneText();
    reader.CleanTextNoBreaks();
    reader.SingleLineOf(text);
    reader.MoneyText();
    reader.IntText();
    reader.RealAsWhole();
    reader.RealText();
    reader.RoundedReal();
    reader.YesNoTextAsOneZero();
    return 0;
}
