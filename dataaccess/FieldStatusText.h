#pragma once

// "name - description" of an ADO FieldStatusEnum value, as reports quote it;
// "Undefined field status." for values ADO does not define.
const char* FieldStatusText(long status);
