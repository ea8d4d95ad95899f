#pragma once

#include <set>
#include <string>
#include <vector>

#include "XString.h"

// One entry of a list the engine answers to the front-end: districts
// (number, name), schools (number, name), school years (SCH_YR, the text
// shown) and teachers (staff number, name).
struct EngineListEntry
{
    XString key;
    XString name;
};

// The list that ExpEngine::LoadSchoolDistrictList, LoadSchoolList,
// LoadSchoolYearList and LoadBridgeList fill. Entries keep the order in which
// they were added until SortByKey (so the teacher list keeps the order of its
// query, staff without a last name last); an entry whose key is already
// present is dropped.
class EngineList
{
public:
    // Appends the entry; false (and nothing added) when the key is present.
    bool Add(const XString& key, const XString& name);
    bool Contains(const XString& key) const;
    void Clear();
    // Orders the entries by key, byte-wise as XString::Compare does (signed
    // characters); used for districts, schools and years.
    void SortByKey();
    int Count() const { return static_cast<int>(entries_.size()); }
    bool IsEmpty() const { return entries_.empty(); }
    const EngineListEntry& At(int index) const { return entries_[index]; }

    std::vector<EngineListEntry>::const_iterator begin() const { return entries_.begin(); }
    std::vector<EngineListEntry>::const_iterator end() const { return entries_.end(); }

private:
    std::vector<EngineListEntry> entries_;
    std::set<std::string> keys_;
};
