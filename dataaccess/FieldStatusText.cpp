#include "FieldStatusText.h"

namespace
{
// ADO's FieldStatusEnum values, with the names and descriptions ADO documents.
const struct
{
    long status;
    const char* text;
} kTexts[] = {
    {0, "adFieldOK - OK."},
    {2, "adFieldCantConvertValue - The field cannot be retrieved or stored without loss of data."},
    {3, "adFieldIsNull - The provider returned a VARIANT value of type VT_NULL and that the field is not "
        "empty."},
    {4, "adFieldTruncated - Variable-length data was truncated when reading from the data source."},
    {5, "adFieldSignMismatch - The data value returned by the provider was signed but the data type of the "
        "ADO field value was unsigned."},
    {6, "adFieldDataOverflow - The data returned from the provider overflowed the data type of the field."},
    {7, "adFieldCantCreate - The field could not be added because the provider exceeded a limitation (such "
        "as the number of fields allowed)."},
    {8, "adFieldUnavailable - The provider could not determine the value when reading from the data source."},
    {9, "adFieldPermissionDenied - The field cannot be modified because it is defined as read-only."},
    {10, "adFieldIntegrityViolation - The field cannot be modified because it is a calculated or derived "
         "entity."},
    {11, "adFieldSchemaViolation - The value violated the data source schema constraint for the field."},
    {12, "adFieldBadStatus - An invalid status value was sent from ADO to the OLE DB provider."},
    {13, "adFieldDefault - The default value for the field was used when setting data."},
    {15, "adFieldIgnore - This field was skipped when setting data values in the source."},
    {16, "adFieldDoesNotExist - The field specified does not exist."},
    {17, "adFieldInvalidURL - The data source URL contains invalid characters."},
    {18, "adFieldResourceLocked - The data source is locked by one or more other applications or processes."},
    {19, "adFieldResourceExists - A source or destination object already exists."},
    {20, "adFieldCannotComplete - The server could not complete the operation."},
    {21, "adFieldVolumeNotFound - The provider cannot locate the storage volume indicated by the URL."},
    {22, "adFieldOutOfSpace - The provider is unable to obtain enough storage space to complete a move or "
         "copy operation."},
    {23, "adFieldCannotDeleteSource - During a move operation, a tree or subtree was moved to a new "
         "location, but the source could not be deleted."},
    {24, "adFieldReadOnly - The field in the data source is defined as read-only."},
    {25,
     "adFieldResourceOutOfScope - The source or destination URL is outside the scope of the current record."},
    {26, "adFieldAlreadyExists - The specified field already exists."},
    {65536, "adFieldPendingInsert - The Insert operation caused the field to be set."},
    {131072, "adFieldPendingDelete - The Delete operation caused the field to be set."},
    {262144, "adFieldPendingChange - The field has been deleted and then re-added, perhaps with a different "
             "data type, or the value of the field which previously had a status of adFieldOK has changed."},
    {524288,
     "adFieldPendingUnknown - The provider cannot determine what operation caused field status to be set."},
    {1048576,
     "adFieldPendingUnknownDelete - The provider cannot determine what operation caused field status to be "
     "set, and that the field will be deleted from the Fields collection after the record is updated."},
};
} // namespace

const char* FieldStatusText(long status)
{
    for (const auto& t : kTexts)
        if (t.status == status)
            return t.text;
    return "Undefined field status.";
}
