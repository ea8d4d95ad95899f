#include "FieldTypeName.h"

const char* FieldTypeName(int type)
{
    switch (type)
    {
    case 0:
        return "Empty";
    case 2:
        return "SmallInt";
    case 3:
        return "Integer";
    case 4:
        return "Single";
    case 5:
        return "Double";
    case 6:
        return "Currency";
    case 7:
        return "Date";
    case 8:
        return "BSTR";
    case 9:
        return "Dispatch";
    case 10:
        return "Error";
    case 11:
        return "Boolean";
    case 12:
        return "Variant";
    case 13:
        return "Unknown";
    case 14:
        return "Decimal";
    case 16:
        return "TinyInt";
    case 17:
        return "UnsignedTinyInt";
    case 18:
        return "UnsignedSmallInt";
    case 19:
        return "UnsignedInt";
    case 20:
        return "Big Int";
    case 21:
        return "UnsignedBigInt";
    case 64:
        return "File Time";
    case 72:
        return "GUID";
    case 128:
        return "Binary";
    case 129:
        return "Char";
    case 130:
        return "WChar";
    case 131:
        return "Numeric";
    case 132:
        return "User Defined";
    case 133:
        return "DBDate";
    case 134:
        return "DBTime";
    case 135:
        return "DBTimeStamp";
    case 136:
        return "Chapter";
    case 138:
        return "Prop Variant";
    case 139:
        return "Var Numeric";
    case 200:
        return "VarChar";
    case 201:
        return "LongVarChar";
    case 202:
        return "VarWChar";
    case 203:
        return "LongVarWChar";
    case 204:
        return "VarBinary";
    case 205:
        return "LongVarBinary";
    case 8192:
        return "Array";
    default:
        return "UNKNOWN!";
    }
}
