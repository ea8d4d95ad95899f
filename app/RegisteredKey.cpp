#include "RegisteredKey.h"

#include "KeyRegistry.h"

RegisteredKey::RegisteredKey(const char* word) : word_(QString::fromLatin1(word)), ordinal_(0)
{
    ordinal_ = KeyRegistry::instance().enroll(this);
}
