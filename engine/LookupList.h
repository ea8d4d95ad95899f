#pragma once

#include <map>
#include <string>

#include "XString.h"

// A code table the engine keeps during a run: key text -> value text, sorted
// by key (byte-wise), free of duplicate keys. The first value given for a key
// is kept.
class LookupList
{
public:
    // False when the key was already present (the list is unchanged then).
    bool Add(const XString& key, const XString& value);
    bool Contains(const XString& key) const;
    // The value of the key; false (and value untouched) when absent.
    bool Find(const XString& key, XString& value) const;
    void Clear() { items_.clear(); }
    // Visits the pairs in key order.
    template <typename Visit> void ForEach(Visit visit) const
    {
        for (const auto& item : items_)
            visit(XString(item.first), item.second);
    }
    int Count() const { return static_cast<int>(items_.size()); }
    bool IsEmpty() const { return items_.empty(); }

private:
    std::map<std::string, XString> items_;
};
