#pragma once

#include <cstddef>
#include <string>

namespace demo
{

// One value of a generated row: NULL, a whole number or a text.
class SqlValue
{
public:
    enum class Kind
    {
        Null,
        Integer,
        Text
    };

    SqlValue(std::nullptr_t) {}
    SqlValue(int v) : kind_(Kind::Integer), number_(v) {}
    SqlValue(long v) : kind_(Kind::Integer), number_(v) {}
    SqlValue(const char* v) : kind_(Kind::Text), text_(v) {}
    SqlValue(std::string v) : kind_(Kind::Text), text_(std::move(v)) {}

    Kind kind() const { return kind_; }
    long number() const { return number_; }
    const std::string& text() const { return text_; }

private:
    Kind kind_ = Kind::Null;
    long number_ = 0;
    std::string text_;
};

} // namespace demo
