#include "KeyRegistry.h"
#include "KeyWords.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

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
    EXPECT_EQ(Key::help, u"help"_s);
    EXPECT_EQ(Key::helpSwitch, u"help"_s);
    EXPECT_EQ(registry.find(u"help"_s), &Key::help);
    EXPECT_EQ(registry.find(u"school"_s), &Key::schoolGroup);
    EXPECT_EQ(registry.find(u"destination"_s)->ordinal(), 14);
    EXPECT_EQ(registry.find(u"nosuch"_s), nullptr);
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
    EXPECT_EQ(Key::logschema, u"logschema"_s);
    EXPECT_EQ(Key::falseWord, u"false"_s);
}

} // namespace
