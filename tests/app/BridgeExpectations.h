#pragma once

// Protocol texts the process tests compare against.

#include "BridgeProcess.h"

#include <QRegularExpression>
#include <QString>

inline const QString kUsage = QStringLiteral("Usage: \n"
                                             "tsisbridge\n"
                                             " [command]\n"
                                             "  [--all]\n"
                                             "  [--att]\n"
                                             "  [--demo]\n"
                                             "  [--help]\n"
                                             "   [--group=value]\n"
                                             "   [--paramkey=value]\n"
                                             "   [--path=value]\n"
                                             "   [--logpath=value]\n"
                                             "   [--log=value]\n"
                                             "   [--validate=value]\n"
                                             "   [--inactivedate=value]\n"
                                             "   [--year=value]\n"
                                             "   [--teacher=value]\n"
                                             "   [--dsn=value]\n"
                                             "   [--user=value]\n"
                                             "   [--pwdencode=value]\n"
                                             "   [--pwd=value]\n"
                                             "   [--district=value]\n"
                                             "   [--school=value]\n"
                                             "   [--year=value]\n"
                                             "   [--useyear=value]\n"
                                             "\n");

inline const QString kEmptyAnswer = QStringLiteral("start_progress\t0\nend_progress\n");

inline const QString kStartedLine =
    QStringLiteral("log\tInformational\thh:mm:ss\t\tVantrel Data Extractor for TSIS/SchoolMAX started.\n");

inline const QString kStatusFile = QStringLiteral("Data ExtractorStatus.tmp");
inline const QString kFinishedFile = QStringLiteral("finished_bridge.tmp");

// What a run left in its status folder: the status file with its times masked,
// and the finished marker.
inline QString statusFileText(const QString& folder)
{
    return maskTimes(BridgeSandbox::readText(folder + QLatin1Char('/') + kStatusFile));
}

inline QString finishedFileText(const QString& folder)
{
    return BridgeSandbox::readText(folder + QLatin1Char('/') + kFinishedFile);
}

inline QString statusLine(const QString& word, const QString& text)
{
    return QStringLiteral("yyyy/MM/dd hh:mm:ss\t") + word + QLatin1Char('\t') + text + QStringLiteral("\r\n");
}

// Only the protocol lines of an answer: "log" lines and the continuation lines
// of multi-line log messages (driver reports) are dropped.
inline QString protocolLines(const QString& out)
{
    static const QRegularExpression protocol(QStringLiteral(
        "^(start_progress|end_progress|inc_progress|warn_progress|test|warning|error|missing|params|version|"
        "list|bridgelist|district_list|school_list|year_list|start_setting|end_setting|setting)(\\t|$)"));
    QString kept;
    for (const QString& line : out.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        if (protocol.match(line).hasMatch())
            kept += line + QLatin1Char('\n');
    return kept;
}
