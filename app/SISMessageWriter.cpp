#include "SISMessageWriter.h"

#include "ConsoleStreams.h"
#include "ParamTypes.h"
#include "ProtocolField.h"
#include "ProtocolWords.h"

namespace
{

QString joinLine(const QStringList& fields)
{
    QStringList clean;
    for (const QString& field : fields)
        clean << protocolField(field);
    return clean.join(QLatin1Char('\t')) + QLatin1Char('\n');
}

QString progressLine(const QString& type, int total)
{
    return total == -1 ? type : type + QLatin1Char('\t') + QString::number(total);
}

} // namespace

SISMessageWriter* SISMessageWriter::instance()
{
    static SISMessageWriter* writer = new SISMessageWriter();
    return writer;
}

void SISMessageWriter::lineOut(const QStringList& fields)
{
    ConsoleStreams::writeOut(joinLine(fields));
}

void SISMessageWriter::lineErr(const QStringList& fields)
{
    ConsoleStreams::writeErr(joinLine(fields));
}

void SISMessageWriter::flushMissing()
{
    while (!pending_.isEmpty())
        ConsoleStreams::writeErr(pending_.takeFirst() + QLatin1Char('\n'));
}

void SISMessageWriter::outVersion(QString alias, QString version, QString minversion, QString vname,
                                  QString guide)
{
    lineOut({Protocol::Version, alias, version, minversion, vname, guide});
}

void SISMessageWriter::outParams(QString paramkey, QString type, QString paramname, QString help,
                                 QString defaultValue)
{
    lineOut({Protocol::Params, paramkey, type, paramname, help, defaultValue});
}

void SISMessageWriter::outHiddenParam(QString paramkey, QString paramvalue, QString defaultValue)
{
    lineOut({Protocol::HiddenParam, paramkey, paramvalue, defaultValue});
}

void SISMessageWriter::outList(QString type, QString paramvalue, QString displaykey, QString displayname,
                               QString defaultValue)
{
    if (type == ParamType::List || type == ParamType::BridgeList || type == ParamType::SchoolList ||
        type == ParamType::DistrictList || type == ParamType::YearList)
    {
        lineOut({type, paramvalue, displaykey, displayname, defaultValue});
        return;
    }
    outError(QStringLiteral("list"), QStringLiteral("List type not set up."));
}

void SISMessageWriter::outTree(QString paramvalue, QString displaykey, QString parentkey, QString displayname,
                               QString defaultValue)
{
    lineOut({Protocol::Tree, paramvalue, displaykey, parentkey, displayname, defaultValue});
}

void SISMessageWriter::outHidden(QString paramkey, QString type, QString paramname, QString help,
                                 QString defaultValue)
{
    lineOut({Protocol::Hidden, paramkey, type, paramname, help, defaultValue});
}

void SISMessageWriter::outFile(QString paramkey, QString extension, QString defaultValue)
{
    lineOut({Protocol::File, paramkey, extension, defaultValue});
}

void SISMessageWriter::outNumber(QString paramkey, QString extension, QString defaultValue)
{
    lineOut({Protocol::Number, paramkey, extension, defaultValue});
}

void SISMessageWriter::outDate(QString paramkey, QString startdate, QString enddate, QString defaultValue)
{
    lineOut({Protocol::Date, paramkey, startdate, enddate, defaultValue});
}

void SISMessageWriter::outTest(QString success, QString group, QString message)
{
    lineOut({Protocol::Test, group, success, message});
}

void SISMessageWriter::outStatus(QString success, QString date, QString message)
{
    lineOut({Protocol::Status, success, date, message});
}

void SISMessageWriter::outManage(QString success, QString message)
{
    lineOut({Protocol::Manage, success, message});
}

void SISMessageWriter::outProgress(QString progress_type, int progress_total)
{
    ConsoleStreams::writeOut(progressLine(progress_type, progress_total) + QLatin1Char('\n'));
}

void SISMessageWriter::outProgress_increment(QString progress_message)
{
    if (progress_message.isEmpty())
        lineOut({Protocol::IncProgress});
    else
        lineOut({Protocol::IncProgress, progress_message});
}

void SISMessageWriter::outProgress_warning(QString progress_message)
{
    if (progress_message.isEmpty())
        lineOut({Protocol::IncProgress});
    else
        lineOut({Protocol::WarnProgress, progress_message});
}

void SISMessageWriter::outSetting(QString setting_type, int setting_total)
{
    ConsoleStreams::writeOut(progressLine(setting_type, setting_total) + QLatin1Char('\n'));
}

void SISMessageWriter::outSetting_increment(QString setting_type, QString group, QString key, QString value)
{
    lineOut({setting_type, group, key, value});
}

void SISMessageWriter::outSetting_increment(QString setting_type, QString group, QString key, QString value,
                                            QString grouping)
{
    lineOut({setting_type, group, key, value, grouping});
}

void SISMessageWriter::outWarning(QString key, QString message)
{
    flushMissing();
    lineOut({Protocol::Warning, key, message});
}

void SISMessageWriter::outMissing(QString paramkey, QString message)
{
    const QString line = Protocol::Missing + QLatin1Char('\t') + protocolField(paramkey) + QLatin1Char('\t') +
                         protocolField(message);
    if (!pending_.contains(line))
        pending_.append(line);
}

void SISMessageWriter::outError(QString key, QString message)
{
    flushMissing();
    lineErr({Protocol::Error, key, message});
}

void SISMessageWriter::clearMessages()
{
    pending_.clear();
}
