#pragma once

// Numeric values of the ADO and OLE Automation enumerations this layer
// reports, so callers can keep using the numbers ADO code is written against.
namespace ado
{

// VARIANT types (VARTYPE) of an AdoValue.
enum VariantType : unsigned short
{
    VT_EMPTY = 0,
    VT_NULL = 1,
    VT_I2 = 2,
    VT_I4 = 3,
    VT_R4 = 4,
    VT_R8 = 5,
    VT_CY = 6,
    VT_DATE = 7,
    VT_BSTR = 8,
    VT_BOOL = 11,
    VT_DECIMAL = 14,
    VT_I1 = 16,
    VT_UI1 = 17,
    VT_UI2 = 18,
    VT_UI4 = 19,
    VT_I8 = 20,
    VT_UI8 = 21,
    VT_INT = 22,
    VT_ARRAY = 0x2000,
    VT_ARRAY_UI1 = 0x2011,
};

// DataTypeEnum: the Type of a field.
enum DataType : int
{
    adEmpty = 0,
    adSmallInt = 2,
    adInteger = 3,
    adSingle = 4,
    adDouble = 5,
    adCurrency = 6,
    adDate = 7,
    adBSTR = 8,
    adBoolean = 11,
    adDecimal = 14,
    adTinyInt = 16,
    adUnsignedTinyInt = 17,
    adUnsignedSmallInt = 18,
    adUnsignedInt = 19,
    adBigInt = 20,
    adUnsignedBigInt = 21,
    adGUID = 72,
    adBinary = 128,
    adChar = 129,
    adWChar = 130,
    adNumeric = 131,
    adDBDate = 133,
    adDBTime = 134,
    adDBTimeStamp = 135,
    adVarChar = 200,
    adLongVarChar = 201,
    adVarWChar = 202,
    adLongVarWChar = 203,
    adVarBinary = 204,
    adLongVarBinary = 205,
};

// FieldStatusEnum values of a field's Status.
enum FieldStatus : long
{
    adFieldOK = 0,
    adFieldCantConvertValue = 2,
    adFieldIsNull = 3,
};

// HRESULTs this layer raises itself.
enum HResult : unsigned int
{
    E_FAIL_HR = 0x80004005u,
    E_OUTOFMEMORY_HR = 0x8007000Eu,
    DISP_E_TYPEMISMATCH_HR = 0x80020005u,
    DISP_E_OVERFLOW_HR = 0x8002000Au,
    // ADO's own errors (FACILITY_CONTROL, code = ErrorValueEnum).
    adErrNoCurrentRecord_HR = 0x800A0BCDu,  // 3021
    adErrObjectClosed_HR = 0x800A0E78u,     // 3704
    adErrItemNotFound_HR = 0x800A0CC1u,     // 3265
    adErrProviderNotFound_HR = 0x800A0E7Au, // 3706
    DB_E_NOCOMMAND_HR = 0x80040E0Cu,        // OLE DB: no command text
};

} // namespace ado
