#include "FieldStatusText.h"

const char* FieldStatusText(long status)
{
    switch (status)
    {
    case 0:
        return "adFieldOK - OK.";
    case 2:
        return "adFieldCantConvertValue - The field cannot be retrieved or stored without loss of data.";
    case 3:
        return "adFieldIsNull - The provider returned a VARIANT value of type VT_NULL and that the field is "
               "not "
               "empty.";
    case 4:
        return "adFieldTruncated - Variable-length data was truncated when reading from the data source.";
    case 5:
        return "adFieldSignMismatch - The data value returned by the provider was signed but the data type "
               "of "
               "the ADO field value was unsigned.";
    case 6:
        return "adFieldDataOverflow - The data returned from the provider overflowed the data type of the "
               "field.";
    case 7:
        return "adFieldCantCreate - The field could not be added because the provider exceeded a limitation "
               "(such as the number of fields allowed).";
    case 8:
        return "adFieldUnavailable - The provider could not determine the value when reading from the data "
               "source.";
    case 9:
        return "adFieldPermissionDenied - The field cannot be modified because it is defined as read-only.";
    case 10:
        return "adFieldIntegrityViolation - The field cannot be modified because it is a calculated or "
               "derived "
               "entity.";
    case 11:
        return "adFieldSchemaViolation - The value violated the data source schema constraint for the field.";
    case 12:
        return "adFieldBadStatus - An invalid status value was sent from ADO to the OLE DB provider.";
    case 13:
        return "adFieldDefault - The default value for the field was used when setting data.";
    case 15:
        return "adFieldIgnore - This field was skipped when setting data values in the source.";
    case 16:
        return "adFieldDoesNotExist - The field specified does not exist.";
    case 17:
        return "adFieldInvalidURL - The data source URL contains invalid characters.";
    case 18:
        return "adFieldResourceLocked - The data source is locked by one or more other applications or "
               "processes.";
    case 19:
        return "adFieldResourceExists - A source or destination object already exists.";
    case 20:
        return "adFieldCannotComplete - The server could not complete the operation.";
    case 21:
        return "adFieldVolumeNotFound - The provider cannot locate the storage volume indicated by the URL.";
    case 22:
        return "adFieldOutOfSpace - The provider is unable to obtain enough storage space to complete a move "
               "or "
               "copy operation.";
    case 23:
        return "adFieldCannotDeleteSource - During a move operation, a tree or subtree was moved to a new "
               "location, but the source could not be deleted.";
    case 24:
        return "adFieldReadOnly - The field in the data source is defined as read-only.";
    case 25:
        return "adFieldResourceOutOfScope - The source or destination URL is outside the scope of the "
               "current "
               "record.";
    case 26:
        return "adFieldAlreadyExists - The specified field already exists.";
    case 65536:
        return "adFieldPendingInsert - The Insert operation caused the field to be set.";
    case 131072:
        return "adFieldPendingDelete - The Delete operation caused the field to be set.";
    case 262144:
        return "adFieldPendingChange - The field has been deleted and then re-added, perhaps with a "
               "different "
               "data type, or the value of the field which previously had a status of adFieldOK has changed.";
    case 524288:
        return "adFieldPendingUnknown - The provider cannot determine what operation caused field status to "
               "be "
               "set.";
    case 1048576:
        return "adFieldPendingUnknownDelete - The provider cannot determine what operation caused field "
               "status "
               "to be set, and that the field will be deleted from the Fields collection after the record is "
               "updated.";
    default:
        return "Undefined field status.";
    }
}
