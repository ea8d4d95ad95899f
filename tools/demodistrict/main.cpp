// demo-district: writes the SQL script of the demo TSIS district.
#include "DemoDistrict.h"
#include "DemoOptions.h"
#include "SqlScriptWriter.h"

#include <fstream>
#include <iostream>
#include <stdexcept>
#include <vector>

int main(int argc, char** argv)
{
    demo::DemoOptions options;
    try
    {
        options = demo::parseDemoOptions(std::vector<std::string>(argv + 1, argv + argc));
    }
    catch (const std::exception& e)
    {
        std::cerr << "demo-district: " << e.what() << "\n" << demo::demoUsage();
        return 2;
    }
    if (options.help)
    {
        std::cout << demo::demoUsage();
        return 0;
    }
    try
    {
        std::ofstream file;
        if (!options.outputFile.empty())
        {
            file.open(options.outputFile, std::ios::binary | std::ios::trunc);
            if (!file)
                throw std::runtime_error("cannot write " + options.outputFile);
        }
        std::ostream& out = options.outputFile.empty() ? std::cout : file;
        demo::SqlScriptWriter writer(out, options.dialect, options.flavour);
        demo::writeDemoDatabase(options, writer);
    }
    catch (const std::exception& e)
    {
        std::cerr << "demo-district: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
