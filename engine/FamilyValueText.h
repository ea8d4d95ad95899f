#pragma once

#include "LookupList.h"
#include "XString.h"

// Texts of the student and family exports, built from values already read
// from the current record (each value as its clean text).

// "(area) ddd-dddd xext": empty for an empty or "0" number; the area and the
// extension are left out when empty or "0". A number shorter than three
// characters gets its "-" at the end.
XString FamilyPhoneText(XString area, XString number, XString extension);

// Trimmed zip; "0" is empty, a trailing "0000" after five characters is cut
// off, a nine-character zip is written "ddddd-dddd".
XString FamilyZipText(XString zip);

// "Yes" for "X", "No" for anything else.
XString XYesNoText(const XString& text);

// "<rel1> is Restricted; <rel2> is Restricted" for the heads whose restriction
// flag is not empty (relationships already described).
XString RestrictionText(const XString& relationship1, const XString& restricted1,
                        const XString& relationship2, const XString& restricted2);

// HH_LGL "1" or "2": that head's relationship; "3": "Both Parents"; else "".
XString LegallyResponsibleText(const XString& legal, const XString& relationship1,
                               const XString& relationship2);

// The relationship of head HH_NBR "1" or "2"; "Par/Guard" when that is empty.
XString HeadRelationshipText(const XString& headNumber, const XString& relationship1,
                             const XString& relationship2);

// Bus number; first location as it is; then the described numbered locations
// (codes not in the list add nothing), joined by "; " without empty parts.
XString BusRouteText(const XString& bus, const XString& firstLocation, const XString (&codes)[5],
                     const LookupList& locations);
