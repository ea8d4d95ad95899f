#pragma once

#include <QString>

#include <map>

class RegisteredKey;

// The ordered set of registered key words. A word registered twice keeps its
// first object; the counter advances for every registration regardless.
class KeyRegistry
{
public:
    static KeyRegistry& instance();

    // Returns the ordinal given to the key.
    int enroll(const RegisteredKey* key);

    int count() const { return counter_; }
    int size() const { return static_cast<int>(keys_.size()); }
    const RegisteredKey* find(const QString& word) const;

private:
    KeyRegistry() = default;

    std::map<QString, const RegisteredKey*> keys_;
    int counter_ = 0;
};
