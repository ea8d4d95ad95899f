#pragma once

#include <QString>

// Keywords of the front-end protocol lines.
namespace Protocol
{
inline const QString StartProgress = QStringLiteral("start_progress");
inline const QString EndProgress = QStringLiteral("end_progress");
inline const QString IncProgress = QStringLiteral("inc_progress");
inline const QString WarnProgress = QStringLiteral("warn_progress");
inline const QString StartSetting = QStringLiteral("start_setting");
inline const QString EndSetting = QStringLiteral("end_setting");
inline const QString Setting = QStringLiteral("setting");
inline const QString Success = QStringLiteral("success");
inline const QString Fail = QStringLiteral("fail");
inline const QString Waiting = QStringLiteral("waiting");
inline const QString Loading = QStringLiteral("loading");
inline const QString Version = QStringLiteral("version");
inline const QString Params = QStringLiteral("params");
inline const QString HiddenParam = QStringLiteral("hidden_param");
inline const QString Tree = QStringLiteral("tree");
inline const QString Hidden = QStringLiteral("hidden");
inline const QString File = QStringLiteral("file");
inline const QString Number = QStringLiteral("number");
inline const QString Date = QStringLiteral("date");
inline const QString Test = QStringLiteral("test");
inline const QString Status = QStringLiteral("status");
inline const QString Manage = QStringLiteral("manage");
inline const QString Warning = QStringLiteral("warning");
inline const QString Error = QStringLiteral("error");
inline const QString Missing = QStringLiteral("missing");
inline const QString Log = QStringLiteral("log");
} // namespace Protocol

// Element and attribute names of the handheld product's SVConfig.xml.
namespace SettingsXml
{
inline const QString FileName = QStringLiteral("SVConfig.xml");
inline const QString RootElement = QStringLiteral("SVSchoolConfFile");
inline const QString SchoolElement = QStringLiteral("SVSchoolConf");
inline const QString ImportFolder = QStringLiteral("SISImportFolder");
inline const QString Dsn = QStringLiteral("SISDSN");
inline const QString UserName = QStringLiteral("SISUserName");
inline const QString Password = QStringLiteral("SISPassword");
inline const QString District = QStringLiteral("SISSchoolDistrict");
inline const QString SchoolNumber = QStringLiteral("SchoolNumber");
} // namespace SettingsXml
