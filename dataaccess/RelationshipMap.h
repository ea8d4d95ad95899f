#pragma once

#include "XString.h"
#include "XVector.h"

// One word of a contact's relationship and the category it stands for.
struct RelationshipPair
{
    RelationshipPair(const XString& w, const XString& c) : word(w), category(c) {}
    XString word; // upper case
    XString category;
};

// Relationship words ordered by word (byte-wise), searched by binary search.
// Owns its pairs.
class RelationshipMap
{
public:
    RelationshipMap();
    ~RelationshipMap();
    RelationshipMap(const RelationshipMap&) = delete;
    RelationshipMap& operator=(const RelationshipMap&) = delete;

    void Add(const XString& word, const XString& category);
    // The category of the word, or null when the word is not in the map.
    const XString* Find(const XString& word) const;
    int Count() const { return pairs_.Count(); }
    void Clear() { pairs_.DeleteAll(); }

    // The words of a relationship text as the map stores them: upper case,
    // without "'S", without blanks, punctuation and digits, without "STEP".
    static XString Normalise(const XString& text);

private:
    XVector<RelationshipPair> pairs_;
};
