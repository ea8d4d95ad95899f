// Health concerns, medications, immunizations and allergies.
#include "DemoDistrict.h"

#include "DemoRandom.h"

namespace demo
{

void DemoDistrict::writeHealth()
{
    const long d = profile_.number;
    const DemoYear& cur = currentYear();
    const long firstDay = cur.calendar.firstDay().yyyymmdd(), lastDay = cur.calendar.lastDay().yyyymmdd();
    struct Concern
    {
        const char *code, *text;
    };
    static const std::vector<Concern> concerns = {{"AST", "Asthma"},   {"DIA", "Diabetes type 1"},
                                                  {"EPI", "Epilepsy"}, {"ALG", "Severe allergy"},
                                                  {"ADD", "ADHD"},     {"VIS", "Wears glasses"}};
    struct Medication
    {
        const char *name, *dosage, *time, *route, *comment, *alert;
    };
    static const std::vector<Medication> medications = {
        {"Albuterol inhaler", "2 puffs", "as needed", "inhaled", "Before gym class",
         "Keep inhaler available"},
        {"Insulin", "per sliding scale", "before lunch", "injection", "", "Check blood sugar before lunch"},
        {"Methylphenidate", "10 mg", "11:30", "oral", "", ""},
        {"EpiPen", "0.3 mg", "emergency", "injection", "Call 911 after use", "Anaphylaxis risk"}};
    static const std::vector<std::string> allergies = {"Peanuts",    "Tree nuts", "Penicillin", "Latex",
                                                       "Bee stings", "Shellfish", "Eggs"};
    static const char* const vaccines[] = {"DTAP", "MMR", "VARIC"};

    for (const DemoStudent& st : students_)
    {
        const DemoSchool& sc = schools_[static_cast<std::size_t>(st.school)];
        DemoRandom r{tag("health"), static_cast<std::uint64_t>(st.id)};
        const bool generated = st.ordinal >= 0;
        if (generated && st.ordinal % 12 == 2)
        {
            const Concern& c = r.pick(concerns);
            out_.row("HE015", {d, st.id, c.code, c.text, r.perMille(300) ? "SEV" : "",
                               r.perMille(400) ? "ALERT" : "", firstDay, 0L});
        }
        if (generated && st.ordinal % 15 == 4)
        {
            const Medication& m = r.pick(medications);
            out_.row("HE011", {d, sc.number, st.id, m.name, m.dosage, m.time, m.route, m.comment, firstDay,
                               r.perMille(500) ? lastDay : 0L, m.alert, r.perMille(200) ? "X" : ""});
        }
        if (generated && st.ordinal % 14 == 6)
        {
            out_.row("HE012", {d, st.id, r.pick(allergies)});
            if (r.perMille(300))
                out_.row("HE012", {d, st.id, r.pick(allergies)});
        }
        const CivilDate born = CivilDate::fromYmd(cur.calendar.startYear() - 6 - st.gradeNumber, 9, 2);
        for (int v = 0; v < 3; ++v)
        {
            std::string exempt, disease;
            long date = born.plusDays(400 + v * 200 + r.below(60)).yyyymmdd();
            if (v == 2 && r.perMille(40))
                disease = "X";
            if (r.perMille(15))
                exempt = std::to_string(1 + r.below(6));
            if (st.id == kTwoPageNotes && v == 2)
            {
                disease = "X";
                exempt = "2";
            }
            if (st.id == kWithdrawn && v == 2)
            {
                disease = "X";
                exempt = "7";
                date = 0;
            }
            out_.row("HE020", {d, st.id, vaccines[v], exempt, disease, date});
        }
    }

    // Planted health records at the first school.
    const std::string first = schools_[0].number;
    out_.row("HE015", {d, kTwoPageNotes, "AST", "Asthma", "MOD", "ALERT", firstDay, 0L});
    out_.row("HE015", {d, kNoNames, "EPI", "Epilepsy", "", "ALERT", firstDay, 0L});
    out_.row("HE011", {d, first, kMedicationEdges, "Methylphenidate", "5 mg", "", "oral", "", 0L, nullptr,
                       "Give with lunch", "X"});
    out_.row("HE011", {d, first, kMedicationEdges, "Vitamin D", "", "", "", "", nullptr, nullptr, "", ""});
    out_.row("HE011", {d, first, kMedicalAlert, "EpiPen", "0.3 mg", "emergency", "injection",
                       "Call 911 after use", firstDay, lastDay, "Carries an EpiPen at all times", ""});
    out_.row("HE012", {d, kTwoPageNotes, "Peanuts"});
    out_.row("HE012", {d, kTwoPageNotes, ""});
    out_.row("HE012", {d, kTwoPageNotes, "Penicillin"});
    out_.row("HE012", {d, kMedicalAlert, ""});
    out_.row("HE012", {d, kBusAndAllergy, "Bee stings"});
}

} // namespace demo
