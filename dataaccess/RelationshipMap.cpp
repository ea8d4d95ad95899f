#include "RelationshipMap.h"

namespace
{
int CompareWords(const RelationshipPair* a, const RelationshipPair* b)
{
    return CompareXStrings(&a->word, &b->word);
}
} // namespace

RelationshipMap::RelationshipMap() : pairs_(5, CompareWords) {}

RelationshipMap::~RelationshipMap()
{
    pairs_.DeleteAll();
}

void RelationshipMap::Add(const XString& word, const XString& category)
{
    pairs_.InsertSorted(new RelationshipPair(word, category));
}

const XString* RelationshipMap::Find(const XString& word) const
{
    RelationshipPair key(word, XString());
    int index = -1;
    if (!pairs_.Find(&key, &index))
        return nullptr;
    return &pairs_.At(index)->category;
}

XString RelationshipMap::Normalise(const XString& text)
{
    XString w(text);
    w.MakeUpper();
    w.RemoveText("'S");
    w.RemoveRange(32, 64);
    w.RemoveRange(91, 96);
    w.RemoveRange(123, 126);
    w.RemoveText("STEP");
    return w;
}
