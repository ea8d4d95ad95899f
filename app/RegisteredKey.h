#pragma once

#include <QString>

// One key word of the command-line vocabulary. Constructing it registers the
// word in the process-wide KeyRegistry; the object then stands for the word
// wherever a command, group, parameter key or log style is compared or looked up.
class RegisteredKey
{
public:
    explicit RegisteredKey(const char* word);

    const QString& word() const { return word_; }
    int ordinal() const { return ordinal_; }

    operator const QString&() const { return word_; }

private:
    QString word_;
    int ordinal_;
};

inline bool operator==(const RegisteredKey& key, const QString& text)
{
    return key.word() == text;
}
inline bool operator==(const QString& text, const RegisteredKey& key)
{
    return key.word() == text;
}
