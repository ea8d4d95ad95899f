#include "KeyRegistry.h"

#include "RegisteredKey.h"

KeyRegistry& KeyRegistry::instance()
{
    // Function-local so that keys defined in any translation unit can enrol
    // during static initialisation.
    static KeyRegistry registry;
    return registry;
}

int KeyRegistry::enroll(const RegisteredKey* key)
{
    const int ordinal = counter_++;
    keys_.emplace(key->word(), key);
    return ordinal;
}

const RegisteredKey* KeyRegistry::find(const QString& word) const
{
    const auto it = keys_.find(word);
    return it == keys_.end() ? nullptr : it->second;
}
