#include "report/ExportClashes.h"

#include <QStringList>

#include <map>
#include <set>
#include <string>

namespace {

using Key = std::string;

// What one teacher does in one slot: one subject (or activity) in one room, given to the
// units listed. Several SOLUC entries that differ only in their unit are one such lesson.
struct TeacherLesson {
    const ExportLesson *first = nullptr;
    std::set<std::string> units;
    // unit and group: the two groups of a mixed unit are the students of two courses, who
    // have their own lessons side by side, so a unit's lessons are compared group by group.
    std::set<std::string> unitGroups;
};

QString described(const TeacherLesson &t) { return t.first->teacherName + QStringLiteral(": ") + t.first->what; }

// Reports every bucket holding more than one distinct lesson.
template <class Buckets>
void reportBuckets(const Buckets &buckets, Report &report, FindingLevel level, const QString &kind,
                   const QString &lead) {
    for (const auto &[key, lessons] : buckets) {
        if (lessons.size() < 2)
            continue;
        const TeacherLesson &any = *lessons.begin()->second;
        QStringList parts;
        for (const auto &[id, lesson] : lessons)
            parts << described(*lesson);
        report.add(level, kind,
                   lead.arg(DayName(any.first->day), any.first->slotName) + parts.join(QStringLiteral("; ")));
    }
}

} // namespace

void FindClashes(const std::vector<ExportLesson> &lessons, Report &report) {
    // Ordered maps keep the findings in a stable order from run to run.
    std::map<Key, TeacherLesson> teacherLessons;
    for (const ExportLesson &l : lessons) {
        const AnsiText teacher = AnsiText::ascii(std::to_string(l.teacher));
        TeacherLesson &t = teacherLessons[JoinedKey({&teacher, &l.day, &l.slot, &l.hostSubject, &l.activity, &l.room})];
        if (!t.first)
            t.first = &l;
        if (!l.unit.isEmpty()) {
            t.units.insert(l.unit.bytes());
            t.unitGroups.insert(JoinedKey({&l.unit, &l.hostGroup}));
        }
    }

    // bucket -> distinct lesson -> one teacher lesson that shows it
    using Buckets = std::map<Key, std::map<Key, const TeacherLesson *>>;
    Buckets byTeacher, byRoom, byUnit;
    for (const auto &[key, t] : teacherLessons) {
        const ExportLesson &l = *t.first;
        const AnsiText teacher = AnsiText::ascii(std::to_string(l.teacher));
        byTeacher[JoinedKey({&teacher, &l.day, &l.slot})].try_emplace(JoinedKey({&l.hostSubject, &l.activity, &l.room}),
                                                                      &t);
        Key unitSet;
        for (const std::string &u : t.units)
            unitSet += u + '\0';
        if (!l.room.isEmpty())
            byRoom[JoinedKey({&l.room, &l.day, &l.slot})].try_emplace(
                JoinedKey({&l.hostSubject, &l.activity}) + '\1' + unitSet, &t);
        for (const std::string &unitGroup : t.unitGroups)
            byUnit[unitGroup + JoinedKey({&l.day, &l.slot})].try_emplace(
                JoinedKey({&l.hostSubject, &l.activity, &l.room}), &t);
    }

    reportBuckets(byTeacher, report, FindingLevel::Error, QStringLiteral("Profesor en dos sitios a la vez"),
                  QStringLiteral("%1, %2: "));
    reportBuckets(byRoom, report, FindingLevel::Error, QStringLiteral("Dependencia con dos sesiones a la vez"),
                  QStringLiteral("%1, %2: "));
    reportBuckets(byUnit, report, FindingLevel::Aviso, QStringLiteral("Unidad con dos sesiones a la vez"),
                  QStringLiteral("%1, %2 (correcto solo si son materias optativas del mismo bloque): "));
}
