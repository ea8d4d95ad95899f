#pragma once

// Name of an ADO DataTypeEnum value; "UNKNOWN!" for others.
const char* FieldTypeName(int type);
