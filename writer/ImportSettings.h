#pragma once

#include <cstdint>

#include "XString.h"

// The writer settings that become "#pragma" lines of the import control file
// and of update files. The engine sets them before the files are written; the
// value formatters read the three formats.
struct ImportSettings
{
    XString creatorName; // empty: the current SIS name, then appAlias_
    XString exportSource;
    XString schoolName;
    XString nameFormat;
    XString dateFormat = "mm/dd/yyyy";
    XString timeFormat = "HH:NN:SS AA";
    XString dateTimeFormat = "mm/dd/yyyy HH:NN:SS AA";
    bool verify = false;
    bool showInfo = false;
    bool gradesDontCreateSections = false;
    bool attendanceDoesntCreateDates = true;
    bool termsAreBins = false;
    bool ignoreStaffMultiCal = false;
    bool crsKeyInSecKey = false; // deprecated: writing the pragmas fails when set
    int maxExpectedTimeSlots = 0;
    int maxExpectedDays = 0;
    int maxExpectedTerms = 0;
    int maxExpectedPeriods = 0;
    int maxExpectedBins = 0;
    XString quotes;
    uint32_t minVersion = 0; // packed: bits 27-31, 22-26, 16-21, 0-15

    static uint32_t PackVersion(unsigned a, unsigned b, unsigned c, unsigned d)
    {
        return ((a & 0x1Fu) << 27) | ((b & 0x1Fu) << 22) | ((c & 0x3Fu) << 16) | (d & 0xFFFFu);
    }
};
