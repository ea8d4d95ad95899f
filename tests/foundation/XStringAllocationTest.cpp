// A heap that refuses on request: this test program's operator new fails once
// when armed, so the string's reaction to a refusal can be seen.
#include <cstdlib>
#include <gtest/gtest.h>
#include <new>
#include <string>

#include "XString.h"

namespace
{
bool refuseNext = false;
}

void* operator new(std::size_t size)
{
    if (refuseNext)
    {
        refuseNext = false;
        throw std::bad_alloc();
    }
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept
{
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}

namespace
{
// Longer than any string keeps without the heap.
const char* const kLong = "a text far longer than the small buffer of a string";

template <typename Step> std::string FailureOf(Step step)
{
    try
    {
        refuseNext = true;
        step();
    }
    catch (const XException& e)
    {
        refuseNext = false;
        return std::string(e.what()) + " " + std::to_string(e.Code());
    }
    refuseNext = false;
    return "no failure";
}
} // namespace

TEST(XStringAllocationTest, RefusedMemoryBecomesTheFoundationsException)
{
    const std::string allocate = "Failed to allocate memory. 0";
    const std::string reallocate = "Failed to reallocate memory. 0";
    XString text("abc");
    EXPECT_EQ(allocate, FailureOf([] { XString made(kLong); }));
    EXPECT_EQ(allocate, FailureOf([&] { text = kLong; }));
    EXPECT_EQ(allocate, FailureOf([&] { text.Format(500, "%s", kLong); }));
    EXPECT_EQ(reallocate, FailureOf([&] { text.Append(kLong); }));
    EXPECT_EQ(reallocate, FailureOf([&] { text.Insert(kLong, 1); }));
    // The string stays as it was.
    EXPECT_STREQ("abc", text.Text());
}
