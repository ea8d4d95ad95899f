#include <gtest/gtest.h>
#include <string>

#include "XString.h"
#include "XVector.h"

namespace
{
struct Item
{
    int key;
    char id;
};

int CompareItems(const Item* a, const Item* b)
{
    return a->key - b->key;
}

std::string Ids(const XVector<Item>& v)
{
    std::string s;
    for (Item* item : v)
        s += item->id;
    return s;
}
} // namespace

// Equal keys keep their insertion order; a search by key gives the first and
// where a missing key would go.
TEST(XVectorTest, InsertSortedAndFindByKey)
{
    Item a{1, 'a'}, b{3, 'b'}, c{1, 'c'}, d{1, 'd'}, e{0, 'e'}, f{5, 'f'}, g{5, 'g'};
    XVector<Item> v(2, CompareItems);
    for (Item* item : {&a, &f, &b, &c, &d, &e, &g})
        v.InsertSorted(item);
    EXPECT_EQ("eacdbfg", Ids(v));
    const struct
    {
        int key;
        Item* found;
        int index;
    } cases[] = {{5, &f, 5}, {1, &a, 1}, {4, nullptr, 5}, {9, nullptr, 7}};
    for (const auto& c : cases)
    {
        Item key{c.key, '?'};
        int index = -1;
        EXPECT_EQ(c.found, v.Find(&key, &index)) << c.key;
        EXPECT_EQ(c.index, index) << c.key;
    }
}

TEST(XVectorTest, FindWithoutComparatorMatchesThePointer)
{
    Item a{1, 'a'}, twin{1, 'a'};
    XVector<Item> v;
    v.Append(&a);
    int index = -1;
    EXPECT_EQ(&a, v.Find(&a, &index));
    EXPECT_EQ(0, index);
    EXPECT_EQ(nullptr, v.Find(&twin, &index));
    EXPECT_EQ(-1, index);
}

TEST(XVectorTest, GrowsAndShrinksByStep)
{
    Item items[7];
    for (int i = 0; i < 7; ++i)
        items[i] = Item{i, static_cast<char>('a' + i)};
    XVector<Item> v(3);
    EXPECT_EQ(0, v.Capacity());
    v.Append(&items[0]);
    EXPECT_EQ(3, v.Capacity());
    for (int i = 1; i < 7; ++i)
        v.Append(&items[i]);
    EXPECT_EQ(9, v.Capacity());
    EXPECT_EQ(7, v.Count());
    v.RemoveAt(0);
    EXPECT_EQ(6, v.Count());
    EXPECT_EQ(6, v.Capacity());
    EXPECT_EQ("bcdefg", Ids(v));
    EXPECT_EQ(nullptr, v.RemoveAt(6));
    XVector<Item> zero(0);
    zero.Append(&items[0]);
    EXPECT_EQ(1, zero.Capacity());
}

TEST(XVectorTest, InsertPlacesOrAppends)
{
    Item a{0, 'a'}, b{0, 'b'}, c{0, 'c'}, d{0, 'd'};
    XVector<Item> v(2);
    v.Append(&b);
    v.Insert(0, &a);
    v.Insert(99, &d);
    v.Insert(2, &c);
    EXPECT_EQ("abcd", Ids(v));
    EXPECT_TRUE(v.Remove(&c));
    EXPECT_FALSE(v.Remove(&c));
    EXPECT_EQ("abd", Ids(v));
    v.Clear();
    EXPECT_EQ(0, v.Count());
    EXPECT_TRUE(v.IsEmpty());
}

TEST(XVectorTest, DeleteAllFreesOwnedElements)
{
    XVector<XString> v(5);
    v.Append(new XString("one"));
    v.Append(new XString("two"));
    v.DeleteAll(); // leak checkers catch a miss here
    EXPECT_EQ(0, v.Count());
}
