#include "KeyRegistry.h"
#include "KeyWords.h"

#include <gtest/gtest.h>

namespace
{

TEST(KeyRegistry, CountsEveryRegistrationButKeepsTheFirstOfADuplicate)
{
    const KeyRegistry& registry = KeyRegistry::instance();
    EXPECT_EQ(registry.count(), 125);
    // help, test, school and destination are registered twice.
    EXPECT_EQ(registry.size(), 121);

    EXPECT_EQ(Key::help.ordinal(), 0);
    EXPECT_EQ(Key::helpSwitch.ordinal(), 18);
    EXPECT_EQ(Key::help, QStringLiteral("help"));
    EXPECT_EQ(Key::helpSwitch, QStringLiteral("help"));
    EXPECT_EQ(registry.find(QStringLiteral("help")), &Key::help);
    EXPECT_EQ(registry.find(QStringLiteral("school")), &Key::schoolGroup);
    EXPECT_EQ(registry.find(QStringLiteral("destination"))->ordinal(), 14);
    EXPECT_EQ(registry.find(QStringLiteral("nosuch")), nullptr);
}

TEST(KeyRegistry, OrdinalsFollowStartUpOrder)
{
    EXPECT_EQ(Key::all.ordinal(), 19); // right after the duplicate "help"
    EXPECT_EQ(Key::testStyle.ordinal(), 27);
    EXPECT_EQ(Key::school.ordinal(), 38);
    EXPECT_EQ(Key::pwdencode.ordinal(), 49);
    EXPECT_EQ(Key::validate.ordinal(), 61);
    EXPECT_EQ(Key::teacher.ordinal(), 100);
    EXPECT_EQ(Key::destinationKey.ordinal(), 119);
    EXPECT_EQ(Key::logschema.ordinal(), 124);
    EXPECT_EQ(Key::logschema, QStringLiteral("logschema"));
    EXPECT_EQ(Key::falseWord, QStringLiteral("false"));
}

} // namespace
