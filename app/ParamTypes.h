#pragma once

#include <QString>

// Type words of parameter definitions; the front-end picks its control from them.
namespace ParamType
{
inline const QString Switch = QStringLiteral("switch");
inline const QString Default = QStringLiteral("default");
inline const QString Edit = QStringLiteral("edit");
inline const QString FlagText = QStringLiteral("flagtext");
inline const QString FilterList = QStringLiteral("filter_list");
inline const QString Password = QStringLiteral("password");
inline const QString Flag = QStringLiteral("flag");
inline const QString Folder = QStringLiteral("folder");
inline const QString File = QStringLiteral("file");
inline const QString Label = QStringLiteral("label");
inline const QString Header = QStringLiteral("header");
inline const QString Hidden = QStringLiteral("hidden");
inline const QString Tree = QStringLiteral("tree");
inline const QString List = QStringLiteral("list");
inline const QString BridgeList = QStringLiteral("bridgelist");
inline const QString DistrictList = QStringLiteral("district_list");
inline const QString SchoolList = QStringLiteral("school_list");
inline const QString YearList = QStringLiteral("year_list");
inline const QString Number = QStringLiteral("number");
inline const QString Date = QStringLiteral("date");
} // namespace ParamType
