#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "odbc/OdbcRowSpool.h"

namespace
{
bool Same(const AdoValue& a, const AdoValue& b)
{
    return a.type == b.type && a.integer == b.integer && a.real == b.real && a.boolean == b.boolean &&
           a.text == b.text && a.bytes == b.bytes && a.decimal.low == b.decimal.low &&
           a.decimal.high == b.decimal.high && a.decimal.scale == b.decimal.scale &&
           a.decimal.negative == b.decimal.negative;
}

// Every kind of value comes back as it went in, in memory and in the file,
// read twice; bytes cut short are no value.
TEST(OdbcRowSpool, RowsComeBackAsWrittenFromMemoryAndFile)
{
    AdoDecimal d;
    d.low = 123456789;
    d.high = 7;
    d.scale = 4;
    d.negative = true;
    const std::vector<AdoValue> values{AdoValue::Null(),
                                       AdoValue::Integer(ado::VT_I4, -42),
                                       AdoValue::Real(ado::VT_R8, 2.5),
                                       AdoValue::Date(46000.25),
                                       AdoValue::Bool(true),
                                       AdoValue::Text(u"Zoë \u20ac"),
                                       AdoValue::Text(u""),
                                       AdoValue::Decimal(d),
                                       AdoValue::Bytes({0, 1, 255})};
    for (const std::size_t limit : {std::size_t(1) << 20, std::size_t(40)})
    {
        SCOPED_TRACE(limit);
        const std::size_t previous = OdbcRowSpool::SetMemoryLimit(limit);
        OdbcRowSpool spool;
        for (const AdoValue& v : values)
        {
            std::vector<unsigned char> row;
            PutSpoolValue(row, v);
            PutSpoolValue(row, v);
            ASSERT_TRUE(spool.Append(row));
        }
        OdbcRowSpool::SetMemoryLimit(previous);
        EXPECT_EQ(spool.Rows(), values.size());
        for (int pass = 0; pass < 2; ++pass)
        {
            ASSERT_TRUE(spool.Rewind());
            std::vector<unsigned char> row;
            for (const AdoValue& v : values)
            {
                ASSERT_TRUE(spool.Next(row));
                const unsigned char* p = row.data();
                const unsigned char* end = p + row.size();
                AdoValue a;
                AdoValue b;
                ASSERT_TRUE(GetSpoolValue(p, end, a) && GetSpoolValue(p, end, b));
                EXPECT_TRUE(Same(a, v) && Same(b, v)) << v.type;
                EXPECT_EQ(p, end);
                AdoValue cut;
                const unsigned char* q = row.data();
                EXPECT_FALSE(GetSpoolValue(q, row.data() + row.size() / 2 - 1, cut));
            }
            EXPECT_FALSE(spool.Next(row));
        }
    }
}
} // namespace
