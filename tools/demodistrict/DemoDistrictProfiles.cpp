// The two districts of the demo database and the script that holds them both.
#include "DemoDistrict.h"

namespace demo
{

const std::vector<DemoDistrictProfile>& demoDistrictProfiles()
{
    static const std::vector<DemoDistrictProfile> profiles = {
        {kDistrictNumber,
         "Demo County Public Schools",
         {{"101", "Lincoln Elementary School", "0101"},
          {"202", "Jefferson Middle School", "0202"},
          {"303", "O'Connor High School", "0303"}},
         0,
         0,
         {{"CP", "Custody protection order on file: release only to the custodial parent."},
          {"MR", "No media release"}},
         0},
        {kSecondDistrictNumber,
         "Bayside Unified Schools",
         {{"411", "Bayside Elementary School", "0411"},
          {"522", "Bayside Middle School", "0522"},
          {"633", "Bayside High School", "0633"}},
         5000000,
         1,
         {{"CP", "Court order: no contact with the non-custodial parent."},
          {"MR", "Photos withheld from media"}},
         0x5eed2700ULL},
    };
    return profiles;
}

void writeDemoDatabase(const DemoOptions& options, SqlScriptWriter& out)
{
    out.begin();
    for (const DemoDistrictProfile& profile : demoDistrictProfiles())
        DemoDistrict(options, out, profile).write();
    out.finish();
}

} // namespace demo
