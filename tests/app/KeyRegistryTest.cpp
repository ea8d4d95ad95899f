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
    // Ordinals follow start-up order; the duplicate keeps its own.
    EXPECT_EQ(Key::help.ordinal(), 0);
    EXPECT_EQ(Key::helpSwitch.ordinal(), 18);
    EXPECT_EQ(Key::all.ordinal(), 19);
    EXPECT_EQ(Key::logschema.ordinal(), 124);
    EXPECT_EQ(Key::helpSwitch, u"help"_s);
    EXPECT_EQ(registry.find(u"help"_s), &Key::help);
    EXPECT_EQ(registry.find(u"school"_s), &Key::schoolGroup);
    EXPECT_EQ(registry.find(u"nosuch"_s), nullptr);
}

} // namespace
