// Subject assignments: ASIGT joins each "MATERIAS" record (a subject offered in a course) with
// its short code in ASIGNOMT and with every group of that course in GRUPOST, one row per group.

#include "import/ImportSteps.h"
#include "import/RebuildTable.h"
#include "seneca/Clipper.h"
#include "seneca/SenecaDocument.h"

#include <string>
#include <unordered_map>
#include <vector>

namespace {

// Séneca's document carries no weekly hours: every assignment gets 240 minutes, placed as
// one-hour lessons.
constexpr int WeeklyMinutes = 240;
constexpr int LessonMinutes = 60;
constexpr int WeeklyLessons = (WeeklyMinutes + LessonMinutes - 1) / LessonMinutes;
// ASIGNOMT keeps at most 80 characters of a name.
constexpr int NameWidth = 80;

const QString CASIG = QStringLiteral("CASIG");
const QString CGRUP = QStringLiteral("CGRUP");
const QString CAULA = QStringLiteral("CAULA");
const QString TURNO = QStringLiteral("TURNO");
const QString NIVEL = QStringLiteral("NIVEL");
const QString CURSO = QStringLiteral("CURSO");
const QString GRUPO = QStringLiteral("GRUPO");
const QString HORAS = QStringLiteral("HORAS");
const QString SESIONES = QStringLiteral("SESIONES");
const QString CLAVE = QStringLiteral("CLAVE");
const QString CLAVECURSO = QStringLiteral("CLAVECURSO");
const QString CTAREA = QStringLiteral("CTAREA");
const QString ABREV = QStringLiteral("ABREV");
const QString NOMBRE = QStringLiteral("NOMBRE");
const QString COD = QStringLiteral("COD");

const std::vector<DbfFieldDef> &assignmentFields() {
    static const std::vector<DbfFieldDef> fields = {
        {CASIG, DbfFieldType::Character, 10},
        {QStringLiteral("CPROF"), DbfFieldType::Character, 10},
        {CGRUP, DbfFieldType::Character, 10},
        {CAULA, DbfFieldType::Character, 10},
        {TURNO, DbfFieldType::Character, 1},
        {NIVEL, DbfFieldType::Character, 5},
        {CURSO, DbfFieldType::Character, 3},
        {GRUPO, DbfFieldType::Character, 2},
        {HORAS, DbfFieldType::Float, 0},
        {SESIONES, DbfFieldType::Character, 20},
        {QStringLiteral("NCONEX"), DbfFieldType::Character, 4},
        {CLAVE, DbfFieldType::Character, 10},
        {CLAVECURSO, DbfFieldType::Character, 10},
        {CTAREA, DbfFieldType::Character, 10},
    };
    return fields;
}

struct Group {
    AnsiText abbreviation;
    AnsiText level;
    AnsiText number;
    AnsiText letter;
};

// The name as both sides are compared: ASCII upper case (accented letters stay), trimmed.
std::string nameKey(const AnsiText &name) { return Clipper::AllTrim(AnsiCase::asciiUpper(name)).bytes(); }

// The code of the first row for each name, as a scan from the first row would find it;
// activity rows included.
std::unordered_map<std::string, AnsiText> readSubjectCodes(DbfTable &subjects) {
    std::unordered_map<std::string, AnsiText> codeByName;
    for (subjects.first(); !subjects.eof(); subjects.next())
        codeByName.try_emplace(nameKey(subjects.text(NOMBRE)), subjects.text(COD));
    return codeByName;
}

// The groups of each course key, in table order.
std::unordered_map<std::string, std::vector<Group>> readGroups(DbfTable &groups) {
    std::unordered_map<std::string, std::vector<Group>> byCourse;
    for (groups.first(); !groups.eof(); groups.next())
        byCourse[groups.text(CLAVECURSO).bytes()].push_back(
            Group{groups.text(ABREV), groups.text(NIVEL), groups.text(CURSO), groups.text(GRUPO)});
    return byCourse;
}

} // namespace

void ImportSubjectAssignments(RunState &state, UserInterface &) {
    const QString &folder = state.tableFolder();
    DbfTable assignments;
    RebuildTable(assignments, folder, QStringLiteral("ASIGT"), assignmentFields());
    DbfTable groups;
    groups.open(folder, QStringLiteral("GRUPOST"), DbfTable::Mode::Exclusive);
    DbfTable subjects;
    subjects.open(folder, QStringLiteral("ASIGNOMT"), DbfTable::Mode::Exclusive);
    const auto groupsByCourse = readGroups(groups);
    const auto codeByName = readSubjectCodes(subjects);
    const AnsiText sessions = AnsiText::fromBytes(std::string(WeeklyLessons, '1'));

    // Read as the subjects step reads them.
    for (const SubjectRecord &record : state.document.SubjectRecords()) {
        const AnsiText &courseKey = record.offer;
        const AnsiText &subjectKey = record.subject;
        const AnsiText &subjectName = record.name;

        const auto code = codeByName.find(nameKey(subjectName.left(NameWidth)));
        if (code == codeByName.end() || code->second.isEmpty())
            continue;
        const auto courseGroups = groupsByCourse.find(courseKey.bytes());
        if (courseGroups == groupsByCourse.end())
            continue;
        for (const Group &group : courseGroups->second) {
            assignments.append();
            assignments.setText(CASIG, code->second);
            assignments.setText(CGRUP, group.abbreviation);
            assignments.setText(CAULA, AnsiText());
            assignments.setText(TURNO, AnsiText());
            assignments.setText(NIVEL, group.level);
            assignments.setText(CURSO, group.number);
            assignments.setText(GRUPO, group.letter);
            assignments.setFloat(HORAS, WeeklyLessons);
            assignments.setText(SESIONES, sessions);
            assignments.setText(CLAVE, subjectKey);
            assignments.setText(CLAVECURSO, courseKey);
            assignments.setText(CTAREA, AnsiText::ascii("1"));
            assignments.post();
        }
    }
    assignments.close();
    groups.close();
    subjects.close();
}
