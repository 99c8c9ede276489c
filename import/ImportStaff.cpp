// The staff step: each EMPLEADOS record becomes one PROFT row, with an abbreviation made of the
// three initials and unique without regard to letter case, and the two Séneca values the export
// sends back for the teacher (employee identifier and date of taking up the post).

#include "import/ImportSteps.h"

#include "import/RebuildTable.h"
#include "platform/DbfTable.h"

#include <set>
#include <string>

namespace {

const std::vector<DbfFieldDef> StaffFields = {
    {QStringLiteral("ABREV"), DbfFieldType::Character, 10},
    {QStringLiteral("NOMBRE"), DbfFieldType::Character, 80},
    {QStringLiteral("DEPART"), DbfFieldType::Character, 40},
    {QStringLiteral("DNI"), DbfFieldType::Integer, 0},
    {QStringLiteral("X_EMPLEADO"), DbfFieldType::Character, 10},
    {QStringLiteral("F_TOMAPOS"), DbfFieldType::Character, 10},
};

// The abbreviations given so far, kept in Windows-1252 lower case so that GLA, gla and Ñ/ñ
// initials collide, accented letters included.
class Abbreviations {
public:
    // The abbreviation itself when free, otherwise it followed by 1, 2, 3 ... (no character
    // dropped); the one returned is taken.
    AnsiText take(const AnsiText &wanted) {
        AnsiText given = wanted;
        for (long long n = 1; m_given.contains(AnsiCase::lower(given)); ++n)
            given = wanted + AnsiText::ascii(std::to_string(n));
        m_given.insert(AnsiCase::lower(given));
        return given;
    }

private:
    std::set<AnsiText> m_given;
};

} // namespace

void ImportStaff(RunState &state, UserInterface &) {
    DbfTable staff;
    RebuildTable(staff, state.tableFolder(), QStringLiteral("PROFT"), StaffFields);
    Abbreviations abbreviations;

    const XmlNodeList records = state.document.SelectRecords(GroupRecordsPath("EMPLEADOS").c_str());
    const int count = records.length();
    for (int i = 0; i < count; ++i) {
        const DatoList datos = Datos(records.item(i));
        if (datos.count() < 2)
            continue;
        const AnsiText employee = DatoField(datos, 0, "X_EMPLEADO");
        const AnsiText takingUp = DatoField(datos, 1, "F_TOMAPOS");
        const AnsiText department = DatoField(datos, 2, "D_PUESTO");
        const AnsiText part1 = DatoField(datos, 3, "APELLIDO1");
        const AnsiText part2 = DatoField(datos, 4, "APELLIDO2");
        const AnsiText part3 = DatoField(datos, 5, "NOMBRE");

        const AnsiText abbreviation = abbreviations.take(part1.left(1) + part2.left(1) + part3.left(1));
        // Both blanks always: an empty part leaves two blanks in a row.
        const AnsiText fullName = part1 + ' ' + part2 + ' ' + part3;

        staff.append();
        staff.setText(QStringLiteral("ABREV"), abbreviation);
        staff.setText(QStringLiteral("NOMBRE"), fullName);
        staff.setText(QStringLiteral("X_EMPLEADO"), employee);
        staff.setText(QStringLiteral("F_TOMAPOS"), takingUp);
        staff.setText(QStringLiteral("DEPART"), department);
        staff.post();
    }
    staff.close();
}
