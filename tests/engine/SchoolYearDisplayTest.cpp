#include <gtest/gtest.h>

#include "SchoolYearDisplay.h"

namespace
{

std::string Tsis(const char* text, int currentYear = 2026)
{
    return SchoolYearDisplay(XString(text), false, currentYear).Text();
}

std::string SchoolMax(const char* text, int currentYear = 2026)
{
    return SchoolYearDisplay(XString(text), true, currentYear).Text();
}

TEST(SchoolYearDisplay, TsisYearsAreNormalised)
{
    EXPECT_EQ(Tsis("2008"), "2008-2009");
    EXPECT_EQ(Tsis("2008-2009"), "2008-2009");
    EXPECT_EQ(Tsis("2008-09"), "2008-2009");
    EXPECT_EQ(Tsis("08-09"), "2008-2009");
    EXPECT_EQ(Tsis("27-28", 2026), "1927-1928");
    EXPECT_EQ(Tsis("2008-"), "2008-");
    EXPECT_EQ(Tsis("Spring"), "Spring");
    EXPECT_EQ(Tsis("20089"), "20089");
    EXPECT_EQ(Tsis("2008-2009x"), "2008-2009x");
}

TEST(SchoolYearDisplay, SchoolMaxYearsNameTheEndingYear)
{
    EXPECT_EQ(SchoolMax("2009"), "2008-2009");
    EXPECT_EQ(SchoolMax("2027"), "2026-2027");
    EXPECT_EQ(SchoolMax("Fall"), "Fall");
    EXPECT_EQ(SchoolMax(""), "");
    EXPECT_EQ(SchoolMax("2008-09"), "2008-09");
}

} // namespace
