// Class groups: GRUPOST from the "UNIDADES" group and the courses as the user completed them in
// CURSOST. A group's abbreviation is the level and course number of its course plus the first
// letter not yet given to that prefix (ESO1A, ESO1B, ...).

#include "import/ImportSteps.h"
#include "import/RebuildTable.h"
#include "platform/RunError.h"
#include "seneca/SenecaDocument.h"

#include <unordered_map>
#include <unordered_set>

namespace {

const QString ABREV = QStringLiteral("ABREV");
const QString TURNO = QStringLiteral("TURNO");
const QString NIVEL = QStringLiteral("NIVEL");
const QString CURSO = QStringLiteral("CURSO");
const QString GRUPO = QStringLiteral("GRUPO");
const QString CLAVE = QStringLiteral("CLAVE");
const QString CLAVECURSO = QStringLiteral("CLAVECURSO");
const QString DESCRIP = QStringLiteral("DESCRIP");
const QString ESTUD = QStringLiteral("ESTUD");

const std::vector<DbfFieldDef> &groupFields() {
    static const std::vector<DbfFieldDef> fields = {
        {ABREV, DbfFieldType::Character, 10},
        {TURNO, DbfFieldType::Character, 1},
        {NIVEL, DbfFieldType::Character, 5},
        {CURSO, DbfFieldType::Character, 3},
        {GRUPO, DbfFieldType::Character, 2},
        {CLAVE, DbfFieldType::Character, 10},
        {CLAVECURSO, DbfFieldType::Character, 10},
        {DESCRIP, DbfFieldType::Character, 80},
    };
    return fields;
}

struct Course {
    AnsiText level;
    AnsiText number;
    AnsiText studies;
};

// The first course row for each key, as a scan from the first row would find it.
std::unordered_map<std::string, Course> readCourses(DbfTable &courses) {
    std::unordered_map<std::string, Course> byKey;
    for (courses.first(); !courses.eof(); courses.next())
        byKey.try_emplace(courses.text(CLAVE).bytes(),
                          Course{courses.text(NIVEL), courses.text(CURSO), courses.text(ESTUD)});
    return byKey;
}

// The abbreviations given so far, compared without regard to letter case: after Z come the
// codes 91 to 96; a to z then count as taken, and 123 to 126 follow.
class UsedAbbreviations {
public:
    AnsiText next(const AnsiText &prefix) {
        for (int code = 'A'; code <= LastCode; ++code) {
            const AnsiText candidate = prefix + static_cast<char>(code);
            if (m_taken.insert(AnsiCase::lower(candidate).bytes()).second)
                return candidate;
        }
        // Past code 126 only control and non-ASCII characters are left: none of them belongs
        // in an abbreviation, so the run ends instead.
        throw RunError(prefix.isEmpty()
                           ? QStringLiteral("Hay más de 36 grupos sin nivel ni número de curso: no quedan letras "
                                            "para sus abreviaturas.")
                           : QStringLiteral("Hay más de 36 grupos con el prefijo «%1» (nivel y primer carácter del "
                                            "curso): no quedan letras para sus abreviaturas.")
                                 .arg(prefix.toQString()));
    }

private:
    static constexpr int LastCode = 126;
    std::unordered_set<std::string> m_taken;
};

} // namespace

void ImportGroups(RunState &state, UserInterface &) {
    const QString &folder = state.tableFolder();
    // The courses table opens between deleting GRUPOST and creating it: when it cannot be
    // opened, the run ends with no groups table at all rather than an empty one.
    RemoveTableFiles(folder, QStringLiteral("GRUPOST"));
    DbfTable courses;
    courses.open(folder, QStringLiteral("CURSOST"), DbfTable::Mode::Exclusive);
    const auto courseByKey = readCourses(courses);
    DbfTable::create(folder, QStringLiteral("GRUPOST"), groupFields());
    UsedAbbreviations used;

    const XmlNodeList records = state.document.SelectRecords(GroupRecordsPath("UNIDADES").c_str());
    DbfTable groups;
    groups.open(folder, QStringLiteral("GRUPOST"), DbfTable::Mode::Exclusive);
    for (int i = 0; i < records.length(); ++i) {
        const DatoList datos = Datos(records.item(i));
        if (datos.count() < 2)
            continue;
        const AnsiText groupKey = DatoField(datos, 0, "X_UNIDAD");
        // A record with two values has no course key: it reads as empty.
        const AnsiText courseKey = DatoField(datos, 2, "X_OFERTAMATRIG");
        Course course;
        if (const auto found = courseByKey.find(courseKey.bytes()); found != courseByKey.end())
            course = found->second;

        const AnsiText abbreviation = used.next(course.level.left(5) + course.number.left(1));
        // "NIV" only in the stored level: the abbreviation was formed from the empty one.
        if (course.level.isEmpty())
            course.level = AnsiText::ascii("NIV");

        groups.append();
        groups.setText(ABREV, abbreviation);
        groups.setText(TURNO, AnsiText());
        groups.setText(NIVEL, course.level);
        groups.setText(CURSO, course.number);
        groups.setText(GRUPO, abbreviation.right(1));
        groups.setText(CLAVE, groupKey);
        groups.setText(CLAVECURSO, courseKey);
        groups.setText(DESCRIP, course.studies);
        groups.post();
    }
    groups.close();
    courses.close();
}
