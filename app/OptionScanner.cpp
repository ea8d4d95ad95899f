#include "OptionScanner.h"

#include <QFileInfo>
#include <QtGlobal>

OptionScanner::OptionScanner(const QStringList& arguments, ParamMap& values, QMap<QString, bool>& flags)
    : arguments_(arguments.mid(1)), values_(values), flags_(flags)
{
    if (!arguments.isEmpty())
        programName_ = QFileInfo(arguments.first()).fileName();
}

void OptionScanner::addPositional(const QString& name)
{
    positional_ = name;
    values_.insert(name, QString());
}

void OptionScanner::addSwitch(const QString& name)
{
    entries_.append({Kind::Switch, name, QString(), false});
    flags_.insert(name, false);
}

void OptionScanner::addOption(const QString& name, const QString& defaultValue, bool secret)
{
    entries_.append({Kind::Value, name, defaultValue, secret});
    values_.insert(name, defaultValue);
}

const OptionScanner::Entry* OptionScanner::find(const QString& name) const
{
    for (const Entry& entry : entries_)
    {
        if (entry.name == name)
            return &entry;
    }
    return nullptr;
}

OptionScanner::Result OptionScanner::scan()
{
    // The last argument is on top.
    QList<Token> stack;
    for (const QString& argument : std::as_const(arguments_))
        stack.append({argument, false});
    const Entry* waiting = nullptr;

    while (!stack.isEmpty())
    {
        const Token taken = stack.takeLast();
        const QString& token = taken.text;
        const auto shown = [&taken](const QString& text)
        { return taken.secret ? QByteArray("****") : text.toUtf8(); };

        const Entry* option = nullptr;
        bool plain = false;
        if (token.startsWith(QLatin1String("--")))
        {
            QString name = token.mid(2);
            if (name.isEmpty())
            {
                qWarning("'--' feature not supported, yet");
                return Result::Abort;
            }
            const qsizetype eq = name.indexOf(QLatin1Char('='));
            const QString value = eq >= 0 ? name.mid(eq + 1) : QString();
            if (eq >= 0)
                name.truncate(eq);
            option = find(name);
            if (eq >= 0)
                stack.append({value, taken.secret || (option && option->secret)});
            if (!option)
            {
                qWarning("Unknown option --%s", shown(name).constData());
                return Result::Failed;
            }
        }
        else if (token.size() == 1 || !token.startsWith(QLatin1Char('-')))
        {
            plain = true;
        }
        else
        {
            qWarning("Unknown option -%s", shown(token.mid(1, 1)).constData());
            return Result::Failed;
        }

        if (waiting)
        {
            if (plain)
            {
                values_[waiting->name] = token;
                waiting = nullptr;
                continue;
            }
            values_[waiting->name] = waiting->defaultValue;
            waiting = nullptr;
        }

        if (option)
        {
            if (option->kind == Kind::Switch)
                flags_[option->name] = true;
            else
                waiting = option;
            continue;
        }

        if (!positional_.isEmpty() && values_.value(positional_).isEmpty())
        {
            values_[positional_] = token;
            continue;
        }
        qWarning("Too many arguments --%s", shown(token).constData());
        return Result::Failed;
    }

    if (waiting)
        values_[waiting->name] = waiting->defaultValue;
    if (!positional_.isEmpty() && values_.value(positional_).isEmpty())
    {
        qWarning("Lacking required argument");
        return Result::Failed;
    }
    return Result::Succeeded;
}
