// The dialect harness's rules, each on its own: what SQLite is given for a
// statement the bridge sends in each mode (golden/dialect_rules.txt).
#include "DialectRules.h"
#include "GoldenSection.h"

#include <QStringList>

#include <gtest/gtest.h>

TEST(DialectRules, RewriteOnlyWhatSqliteCannotRead)
{
    for (const std::string& line :
         GoldenSection(TSIS_SOURCE_DIR "/tests/app/golden/dialect_rules.txt", "rewrites"))
    {
        const QStringList fields = QString::fromStdString(line).split(u'\t');
        const auto mode = DialectHarness::ModeNamed(fields[0].toLatin1().constData());
        ASSERT_TRUE(fields.size() == 3 && mode.has_value()) << line;
        const std::string given =
            fields[2] == QLatin1String("-") ? DialectHarness::kRefused : fields[2].toStdString();
        EXPECT_EQ(DialectHarness::Rewrite(*mode, fields[1]).toStdString(), given) << line;
    }
    EXPECT_FALSE(DialectHarness::ModeNamed("sybase").has_value());
}
