#include "LookupList.h"

bool LookupList::Add(const XString& key, const XString& value)
{
    return items_.emplace(key.Std(), value).second;
}

bool LookupList::Contains(const XString& key) const
{
    return items_.count(key.Std()) != 0;
}

bool LookupList::Find(const XString& key, XString& value) const
{
    auto it = items_.find(key.Std());
    if (it == items_.end())
        return false;
    value = it->second;
    return true;
}
