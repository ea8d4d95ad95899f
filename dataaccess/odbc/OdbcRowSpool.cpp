#include "odbc/OdbcRowSpool.h"

#include "platform/NativeFile.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace
{
std::size_t g_memoryLimit = 1u << 20;

using RowLength = std::uint32_t;

template <typename T>
void Put(std::vector<unsigned char>& out, const T& v)
{
    const auto* p = reinterpret_cast<const unsigned char*>(&v);
    out.insert(out.end(), p, p + sizeof v);
}

template <typename T>
bool Get(const unsigned char*& data, const unsigned char* end, T& v)
{
    if (end - data < static_cast<std::ptrdiff_t>(sizeof v))
        return false;
    std::memcpy(&v, data, sizeof v);
    data += sizeof v;
    return true;
}

bool GetBytes(const unsigned char*& data, const unsigned char* end, void* to, std::size_t n)
{
    if (end - data < static_cast<std::ptrdiff_t>(n))
        return false;
    if (n > 0)
        std::memcpy(to, data, n);
    data += n;
    return true;
}
} // namespace

void PutSpoolValue(std::vector<unsigned char>& out, const AdoValue& value)
{
    Put(out, value.type);
    Put(out, value.integer);
    Put(out, value.real);
    Put(out, static_cast<unsigned char>(value.boolean));
    Put(out, value.decimal.low);
    Put(out, value.decimal.high);
    Put(out, value.decimal.scale);
    Put(out, static_cast<unsigned char>(value.decimal.negative));
    Put(out, static_cast<std::uint32_t>(value.text.size()));
    const auto* text = reinterpret_cast<const unsigned char*>(value.text.data());
    out.insert(out.end(), text, text + value.text.size() * sizeof(char16_t));
    Put(out, static_cast<std::uint32_t>(value.bytes.size()));
    out.insert(out.end(), value.bytes.begin(), value.bytes.end());
}

bool GetSpoolValue(const unsigned char*& data, const unsigned char* end, AdoValue& value)
{
    unsigned char boolean = 0;
    unsigned char negative = 0;
    std::uint32_t textLength = 0;
    std::uint32_t byteLength = 0;
    if (!Get(data, end, value.type) || !Get(data, end, value.integer) || !Get(data, end, value.real) ||
        !Get(data, end, boolean) || !Get(data, end, value.decimal.low) || !Get(data, end, value.decimal.high) ||
        !Get(data, end, value.decimal.scale) || !Get(data, end, negative) || !Get(data, end, textLength) ||
        static_cast<std::size_t>(end - data) < textLength * sizeof(char16_t))
        return false;
    value.boolean = boolean != 0;
    value.decimal.negative = negative != 0;
    value.text.resize(textLength);
    if (!GetBytes(data, end, value.text.data(), textLength * sizeof(char16_t)) ||
        !Get(data, end, byteLength) || static_cast<std::size_t>(end - data) < byteLength)
        return false;
    value.bytes.resize(byteLength);
    return GetBytes(data, end, value.bytes.data(), byteLength);
}

OdbcRowSpool::OdbcRowSpool() = default;

OdbcRowSpool::~OdbcRowSpool()
{
    Clear();
}

std::size_t OdbcRowSpool::SetMemoryLimit(std::size_t bytes)
{
    const std::size_t previous = g_memoryLimit;
    g_memoryLimit = bytes;
    return previous;
}

bool OdbcRowSpool::Append(const std::vector<unsigned char>& row)
{
    const RowLength length = static_cast<RowLength>(row.size());
    if (row.size() != length)
        return false;
    if (!file_ && memory_.size() + sizeof length + row.size() <= g_memoryLimit)
    {
        if (memory_.capacity() == 0)
            memory_.reserve(std::min<std::size_t>(g_memoryLimit, 1u << 16));
        const auto* l = reinterpret_cast<const unsigned char*>(&length);
        memory_.insert(memory_.end(), l, l + sizeof length);
        memory_.insert(memory_.end(), row.begin(), row.end());
        ++rows_;
        ++memoryRows_;
        return true;
    }
    if (!file_)
    {
        file_ = NativeFile::UnnamedTemporaryFile();
        if (!file_)
            return false;
        std::setvbuf(file_, nullptr, _IOFBF, 1u << 18);
    }
    if (std::fwrite(&length, sizeof length, 1, file_) != 1 ||
        (length > 0 && std::fwrite(row.data(), row.size(), 1, file_) != 1))
        return false;
    ++rows_;
    return true;
}

bool OdbcRowSpool::Rewind()
{
    readRows_ = 0;
    readOffset_ = 0;
    // Rows still in the file's buffer meet a full disk only here.
    return !file_ || (std::fflush(file_) == 0 && !std::ferror(file_));
}

bool OdbcRowSpool::Read(void* data, std::size_t n)
{
    if (readRows_ < memoryRows_)
    {
        if (readOffset_ + n > memory_.size())
            return false;
        std::memcpy(data, memory_.data() + readOffset_, n);
        readOffset_ += n;
        return true;
    }
    return n == 0 || (file_ && std::fread(data, n, 1, file_) == 1);
}

bool OdbcRowSpool::Next(std::vector<unsigned char>& row)
{
    if (readRows_ >= rows_)
        return false;
    if (readRows_ == memoryRows_ && file_ && std::fseek(file_, 0, SEEK_SET) != 0)
        return false;
    RowLength length = 0;
    if (!Read(&length, sizeof length))
        return false;
    row.resize(length);
    if (!Read(row.data(), length))
        return false;
    ++readRows_;
    return true;
}

void OdbcRowSpool::Clear()
{
    if (file_)
        std::fclose(file_);
    file_ = nullptr;
    memory_.clear();
    memory_.shrink_to_fit();
    rows_ = memoryRows_ = readRows_ = readOffset_ = 0;
}
