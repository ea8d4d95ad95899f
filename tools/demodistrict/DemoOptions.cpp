#include "DemoOptions.h"

#include <stdexcept>

namespace demo
{

std::string demoUsage()
{
    return "usage: demo-district [--dialect sqlite|postgresql] [--flavour tsis|schmax] [--size N]\n"
           "                     [--today YYYYMMDD] [--output FILE] [--live-wth]\n"
           "Writes an SQL script that builds the demo TSIS district.\n"
           "  --dialect  SQL dialect of the script (default sqlite)\n"
           "  --flavour  tsis: SY010 has TIES_SCH; schmax: SchoolMAX, it has not (default tsis)\n"
           "  --size     students per school, 1 to " +
           std::to_string(kMaxStudentsPerSchool) +
           " (default 10)\n"
           "  --today    the day the calendar and attendance are built around (default: today)\n"
           "  --output   file to write instead of standard output\n"
           "  --live-wth CE810 without PRIM_FAM and with LIVE_WTH instead of LIVE_WITH\n";
}

DemoOptions parseDemoOptions(const std::vector<std::string>& args)
{
    DemoOptions o;
    for (std::size_t i = 0; i < args.size(); ++i)
    {
        std::string key = args[i], value;
        if (key == "-h" || key == "--help")
        {
            o.help = true;
            continue;
        }
        if (key == "--live-wth")
        {
            o.liveWth = true;
            continue;
        }
        const auto eq = key.find('=');
        if (eq != std::string::npos)
        {
            value = key.substr(eq + 1);
            key = key.substr(0, eq);
        }
        else
        {
            if (i + 1 >= args.size())
                throw std::invalid_argument("option " + key + " needs a value");
            value = args[++i];
        }
        if (key == "--dialect")
            o.dialect = parseDialect(value);
        else if (key == "--flavour" || key == "--flavor")
        {
            if (value == "tsis")
                o.flavour = Flavour::Tsis;
            else if (value == "schmax" || value == "schoolmax")
                o.flavour = Flavour::SchoolMax;
            else
                throw std::invalid_argument("unknown flavour '" + value + "' (tsis or schmax)");
        }
        else if (key == "--size")
        {
            std::size_t used = 0;
            int n = 0;
            try
            {
                n = std::stoi(value, &used);
            }
            catch (const std::exception&)
            {
                used = 0;
            }
            if (used != value.size() || n < 1 || n > kMaxStudentsPerSchool)
                throw std::invalid_argument("--size must be a whole number from 1 to " +
                                            std::to_string(kMaxStudentsPerSchool) + ", not '" + value + "'");
            o.studentsPerSchool = n;
        }
        else if (key == "--today")
            o.today = CivilDate::parse(value);
        else if (key == "--output")
            o.outputFile = value;
        else
            throw std::invalid_argument("unknown option " + key);
    }
    return o;
}

} // namespace demo
