// The rules of the calendar and schedule exports that do not need a database:
// rotation-day orders, the grouping of periods into terms, the calendar span.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CalendarSpan.h"
#include "LookupList.h"
#include "RotationDays.h"
#include "TermDateAssembler.h"

namespace
{

std::string Joined(const std::vector<std::pair<XString, XString>>& lines)
{
    std::string out;
    for (const auto& [day, order] : lines)
        out += std::string(day.Text()) + "=" + order.Text() + " ";
    return out;
}

TEST(RotationDays, OrdersAreKeptOnlyForOneWholeWeek)
{
    const struct
    {
        std::vector<const char*> records;
        const char* lines;
    } cases[] = {
        // Letters, in any record order and repeated; lines come in key order.
        {{"F", "M", "T", "W", "R", "M", "F"}, "F=5 M=1 R=4 T=2 W=3 "},
        {{"Monday", "Tue", "wed", "Thursday", "Fri"}, "Fri=5 Monday=1 Thursday=4 Tue=2 wed=3 "},
        {{"m", "t", "w", "Thur", "f"}, "Thur=4 f=5 m=1 t=2 w=3 "},
        {{"Mon", "Tuesday", "Wednesday", "TH", "Friday"}, "Friday=5 Mon=1 TH=4 Tuesday=2 Wednesday=3 "},
        // A sixth value, or two spellings of one weekday: no week (Sa, Thu and Tues are no weekdays).
        {{"M", "T", "W", "R", "F", "Sa"}, "F= M= R= Sa= T= W= "},
        {{"M", "T", "W", "R", "F", "Thursday"}, "F= M= R= T= Thursday= W= "},
        {{"M", "Monday", "T", "W", "R"}, "M= Monday= R= T= W= "},
        // Fewer than five values.
        {{"A", "B", "Thu", "Tues"}, "A= B= Thu= Tues= "},
        {{}, ""},
    };
    for (const auto& c : cases)
    {
        LookupList days;
        days.Add("left over", "9");
        RotationDays rotation(days);
        for (const char* record : c.records)
            rotation.Add(record);
        EXPECT_EQ(Joined(rotation.Lines()), c.lines);
    }
}

TEST(RotationDays, OtherValueTakesTheOrderReadBeforeIt)
{
    LookupList days;
    RotationDays rotation(days);
    for (const char* record : {"X", "W", "A", "F", "B", "A"})
        rotation.Add(record);
    const struct
    {
        const char* day;
        const char* order;
    } expected[] = {{"X", ""}, {"W", "3"}, {"A", "3"}, {"F", "5"}, {"B", "5"}};
    for (const auto& e : expected)
    {
        XString order;
        ASSERT_TRUE(days.Find(e.day, order)) << e.day;
        EXPECT_STREQ(order.Text(), e.order) << e.day;
    }
    EXPECT_FALSE(rotation.IsWeek());
}

TEST(TermDateAssembler, PeriodsOfATermMakeOneLine)
{
    struct Period
    {
        const char *code, *name, *begin, *end;
    };
    const struct
    {
        std::vector<Period> periods;
        std::vector<std::string> lines; // the finished lines, then the last one
    } cases[] = {
        {{{"S1", "Semester 1", "20260901", "20261015"}, {"S1", "Semester 1", "20261016", "20261220"}},
         {"S1|Semester 1|20260901|20261220"}},
        {{{"S1", "Semester 1", "1", "2"},
          {"S1", "Semester 1", "3", "4"},
          {"S2", "Semester 2", "5", "6"},
          {"S2", "Semester 2", "7", "8"},
          {"YR", "Full Year", "1", "4"},
          {"YR", "Full Year", "5", "8"}},
         {"S1|Semester 1|1|4", "S2|Semester 2|5|8", "YR|Full Year|1|8"}},
        // One period only; a later period without an end date empties the end.
        {{{"Q1", "Quarter 1", "1", "2"}, {"Q2", "Quarter 2", "3", "4"}, {"Q2", "Quarter 2", "5", ""}},
         {"Q1|Quarter 1|1|2", "Q2|Quarter 2|3|"}},
        // No records: the last line is written all the same, with empty values.
        {{}, {"|||"}},
    };
    for (const auto& c : cases)
    {
        TermDateAssembler assembler;
        std::vector<std::string> lines;
        TermDateLine finished;
        auto text = [](const TermDateLine& l) {
            return std::string(l.code.Text()) + "|" + l.name.Text() + "|" + l.start.Text() + "|" +
                   l.end.Text();
        };
        for (const Period& p : c.periods)
            if (assembler.Add(p.code, p.name, p.begin, p.end, finished))
                lines.push_back(text(finished));
        lines.push_back(text(assembler.Current()));
        EXPECT_EQ(lines, c.lines);
    }
}

TEST(CalendarSpan, DaysWithoutADateChangeNeitherEnd)
{
    const struct
    {
        std::vector<const char*> dates;
        const char* start;
        const char* end;
    } cases[] = {
        {{"0", "20260828", "20260831", "20270618", "0"}, "20260828", "20270618"},
        {{"", "0", "20260901", "", "junk"}, "20260901", "20260901"},
        {{"20260901"}, "20260901", "20260901"},
        {{"0", ""}, "", ""},
        {{}, "", ""},
    };
    for (const auto& c : cases)
    {
        CalendarSpan span("YYYYMMDD");
        for (const char* date : c.dates)
            span.Add(date);
        EXPECT_STREQ(span.Start().Format("YYYYMMDD").Text(), c.start);
        EXPECT_STREQ(span.End().Format("YYYYMMDD").Text(), c.end);
        EXPECT_EQ(span.IsEmpty(), *c.start == '\0');
    }
}

} // namespace
