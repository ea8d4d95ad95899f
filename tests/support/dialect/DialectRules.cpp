#include "DialectRules.h"

#include <QRegularExpression>

#include <cstring>

namespace DialectHarness
{
namespace
{
enum Modes : unsigned
{
    kOracle = 1u << static_cast<int>(Mode::Oracle),
    kSqlServer = 1u << static_cast<int>(Mode::SqlServer),
    kAccess = 1u << static_cast<int>(Mode::Access),
};

enum class Kind
{
    Refuse,  // a statement matching is refused
    Replace, // every match is replaced
    Date,    // #dd-Mon-yyyy# becomes yyyymmdd
};

struct Rule
{
    unsigned modes;
    Kind kind;
    const char* pattern; // case-insensitive
    const char* replacement;
};

// The one table of rules, applied in order.
const Rule kRules[] = {
    // SQL Server's catalogue exists only there ("MSysObjects" is not "sysobjects").
    {kOracle | kAccess, Kind::Refuse, "\\bsys(objects|columns)\\b", nullptr},
    // Oracle's catalogue view exists only there.
    {kSqlServer | kAccess, Kind::Refuse, "\\ball_tab_columns\\b", nullptr},
    // Access's catalogue table exists only there.
    {kOracle | kSqlServer, Kind::Refuse, "\\bMSysObjects\\b", nullptr},
    // Lock hints: "T alias WITH (NOLOCK)" and the older "INNER JOIN T alias (NOLOCK)".
    {kSqlServer, Kind::Replace, "\\bWITH \\(NOLOCK\\)", ""},
    {kSqlServer, Kind::Replace, "\\(NOLOCK\\)", ""},
    // Access date literals: the demo district keeps dates as eight digits.
    {kAccess, Kind::Date, "#(\\d\\d)-([A-Z]{3})-(\\d{4})#", nullptr},
};
const QString kMonths = QStringLiteral("JANFEBMARAPRMAYJUNJULAUGSEPOCTNOVDEC");
} // namespace

std::optional<Mode> ModeNamed(const char* name)
{
    if (!name)
        return std::nullopt;
    if (std::strcmp(name, "oracle") == 0)
        return Mode::Oracle;
    if (std::strcmp(name, "mssql") == 0)
        return Mode::SqlServer;
    if (std::strcmp(name, "access") == 0)
        return Mode::Access;
    return std::nullopt;
}

QString Rewrite(Mode mode, const QString& statement)
{
    QString s = statement;
    const unsigned bit = 1u << static_cast<int>(mode);
    for (const Rule& rule : kRules)
    {
        if (!(rule.modes & bit))
            continue;
        const QRegularExpression re(QString::fromLatin1(rule.pattern),
                                    QRegularExpression::CaseInsensitiveOption);
        if (rule.kind == Kind::Refuse)
        {
            if (s.contains(re))
                return QString::fromLatin1(kRefused);
            continue;
        }
        if (rule.kind == Kind::Replace)
        {
            s.replace(re, QString::fromLatin1(rule.replacement));
            continue;
        }
        QString out;
        qsizetype from = 0;
        for (auto it = re.globalMatch(s); it.hasNext();)
        {
            const QRegularExpressionMatch m = it.next();
            const qsizetype at = kMonths.indexOf(m.captured(2).toUpper());
            if (at < 0 || at % 3 != 0)
                continue;
            out += s.mid(from, m.capturedStart() - from) + m.captured(3) +
                   QString::number(at / 3 + 1).rightJustified(2, QLatin1Char('0')) + m.captured(1);
            from = m.capturedEnd();
        }
        s = out + s.mid(from);
    }
    return s;
}
} // namespace DialectHarness
