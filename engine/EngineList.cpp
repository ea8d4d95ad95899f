#include "EngineList.h"

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
