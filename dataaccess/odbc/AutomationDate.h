#pragma once

// OLE Automation date: days since 1899-12-30, the time of day as the
// fraction. Before that day the fraction still counts forward in time
// (-1.25 is 1899-12-29 06:00), as VARIANT dates do.
double AutomationDate(int year, int month, int day, int hour, int minute, int second,
                      int millisecond);
