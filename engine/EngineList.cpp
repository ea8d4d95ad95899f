#include "EngineList.h"

#include <algorithm>

bool EngineList::Add(const XString& key, const XString& name)
{
    if (!keys_.insert(key.Std()).second)
        return false;
    entries_.push_back(EngineListEntry{key, name});
    return true;
}

bool EngineList::Contains(const XString& key) const
{
    return keys_.count(key.Std()) != 0;
}

void EngineList::Clear()
{
    entries_.clear();
    keys_.clear();
}

void EngineList::SortByKey()
{
    std::stable_sort(entries_.begin(), entries_.end(),
                     [](const EngineListEntry& a, const EngineListEntry& b)
                     { return a.key.Compare(b.key.Text()) < 0; });
}
