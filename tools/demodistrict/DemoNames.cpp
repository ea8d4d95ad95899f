#include "DemoNames.h"

namespace demo
{

const std::vector<std::string>& DemoNames::femaleFirst()
{
    static const std::vector<std::string> v = {
        "Olivia",  "Emma",    "Ava",    "Sophia",  "Isabella", "Mia",    "Amelia", "Harper", "Evelyn",
        "Abigail", "Emily",   "Ella",   "Grace",   "Chloe",    "Camila", "Aria",   "Layla",  "Nora",
        "Zoey",    "Lily",    "Hannah", "Leah",    "Maya",     "Naomi",  "Ruth",   "Keisha", "Imani",
        "Aaliyah", "Jasmine", "Sofia",  "Valeria", "Mariana",  "Linh",   "Mei",    "Priya",  "Fatima"};
    return v;
}

const std::vector<std::string>& DemoNames::maleFirst()
{
    static const std::vector<std::string> v = {
        "Liam",      "Noah",    "Oliver", "Elijah",    "James",    "William", "Benjamin", "Lucas",   "Henry",
        "Theodore",  "Jack",    "Levi",   "Alexander", "Jackson",  "Mateo",   "Daniel",   "Michael", "Samuel",
        "Sebastian", "David",   "Joseph", "Carter",    "Owen",     "Wyatt",   "John",     "Julian",  "Isaiah",
        "Jamal",     "Darnell", "Andre",  "Diego",     "Santiago", "Minh",    "Arjun",    "Omar",    "Kwame"};
    return v;
}

const std::vector<std::string>& DemoNames::last()
{
    static const std::vector<std::string> v = {
        "Smith",      "Johnson",  "Williams",  "Brown",   "Jones",    "Garcia",   "Miller",   "Davis",
        "Rodriguez",  "Martinez", "Hernandez", "Lopez",   "Gonzalez", "Wilson",   "Anderson", "Thomas",
        "Taylor",     "Moore",    "Jackson",   "Martin",  "Lee",      "Perez",    "Thompson", "White",
        "Harris",     "Sanchez",  "Clark",     "Ramirez", "Lewis",    "Robinson", "Walker",   "Young",
        "Allen",      "King",     "Wright",    "Scott",   "Torres",   "Nguyen",   "Hill",     "Flores",
        "Green",      "Adams",    "Nelson",    "Baker",   "Hall",     "Rivera",   "Campbell", "Mitchell",
        "Carter",     "Roberts",  "Okafor",    "Mensah",  "Patel",    "Tran",     "Kim",      "O'Neal",
        "Washington", "Brooks",   "Coleman",   "Jenkins"};
    return v;
}

const std::vector<std::string>& DemoNames::streets()
{
    static const std::vector<std::string> v = {
        "Main St",       "Oak Ave",       "Maple Dr",        "Cedar Ln",      "Pine St",
        "Elm St",        "Church Rd",     "Mill Rd",         "Largo Rd",      "Central Ave",
        "Marlboro Pike", "Kettering Dr",  "Watkins Park Dr", "Enterprise Rd", "Lottsford Rd",
        "Ritchie Rd",    "Brightseat Rd", "Annapolis Rd",    "Riverdale Rd",  "Greenbelt Rd"};
    return v;
}

const std::vector<DemoNames::Town>& DemoNames::towns()
{
    static const std::vector<Town> v = {
        {"Upper Marlboro", "20774"}, {"Bowie", "20716"},  {"Largo", "20774"},    {"Greenbelt", "20770"},
        {"Hyattsville", "20782"},    {"Laurel", "20707"}, {"Landover", "20785"}, {"Mitchellville", "20721"}};
    return v;
}

} // namespace demo
