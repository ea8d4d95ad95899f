#include "FieldTypeName.h"

namespace
{
// ADO's DataTypeEnum values and their names.
const struct
{
    int type;
    const char* name;
} kNames[] = {
    {0, "Empty"},
    {2, "SmallInt"},
    {3, "Integer"},
    {4, "Single"},
    {5, "Double"},
    {6, "Currency"},
    {7, "Date"},
    {8, "BSTR"},
    {9, "Dispatch"},
    {10, "Error"},
    {11, "Boolean"},
    {12, "Variant"},
    {13, "Unknown"},
    {14, "Decimal"},
    {16, "TinyInt"},
    {17, "UnsignedTinyInt"},
    {18, "UnsignedSmallInt"},
    {19, "UnsignedInt"},
    {20, "Big Int"},
    {21, "UnsignedBigInt"},
    {64, "File Time"},
    {72, "GUID"},
    {128, "Binary"},
    {129, "Char"},
    {130, "WChar"},
    {131, "Numeric"},
    {132, "User Defined"},
    {133, "DBDate"},
    {134, "DBTime"},
    {135, "DBTimeStamp"},
    {136, "Chapter"},
    {138, "Prop Variant"},
    {139, "Var Numeric"},
    {200, "VarChar"},
    {201, "LongVarChar"},
    {202, "VarWChar"},
    {203, "LongVarWChar"},
    {204, "VarBinary"},
    {205, "LongVarBinary"},
    {8192, "Array"},
};
} // namespace

const char* FieldTypeName(int type)
{
    for (const auto& n : kNames)
        if (n.type == type)
            return n.name;
    return "UNKNOWN!";
}
