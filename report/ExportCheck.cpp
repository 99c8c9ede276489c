#include "report/ExportCheck.h"

#include "export/ExportIndexes.h"
#include "export/ExportTables.h"
#include "export/SolucEntries.h"
#include "platform/RunError.h"
#include "report/ExportClashes.h"
#include "report/ExportLesson.h"
#include "report/SenecaExport.h"
#include "report/WrittenTimetable.h"
#include "seneca/Clipper.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include <map>
#include <set>
#include <unordered_map>
#include <unordered_set>

namespace {

constexpr int Examples = 5; // the first cases shown of a finding that counts many

QString q(const AnsiText &t) { return QStringLiteral("«%1»").arg(t.toQString()); }
QString simplified(const AnsiText &t) { return t.toQString().simplified(); }

struct Teacher {
    AnsiText abbreviation, employee;
    QString name; // "García López Ana (GLA)"
};

struct HostGroup {
    AnsiText abbreviation, unit, offer;
};

class Checker {
public:
    Checker(const SenecaExport &s, ExportTables &tables, Report &report)
        : s(s), tables(tables), indexes(tables), report(report) {}

    // Takes the written values over.
    void read(std::vector<WrittenTeacher> output);
    void check();

private:
    void readTables();
    void readOutput(std::vector<WrittenTeacher> &output);
    void checkTeachers();
    void checkLeftOut();
    void checkLesson(const ExportLesson &l);
    void checkMixedUnit(const ExportLesson &l);
    void checkTimes(const ExportLesson &l);
    void describe(ExportLesson &l);

    QString unitNamed(const AnsiText &code) const {
        const SenecaRecord *r = s.units.find(code);
        return QStringLiteral("unidad ") + Named(r ? r->at(1) : AnsiText(), code);
    }
    QString subjectNamed(const AnsiText &code) const {
        const SenecaRecord *r = s.subjects.find(code);
        return QStringLiteral("materia ") + Named(r ? r->at(SenecaExport::SubjectName) : AnsiText(), code);
    }
    QString offerNamed(const AnsiText &code) const {
        const SenecaRecord *r = s.courses.find(code);
        return QStringLiteral("curso ") + Named(r ? Clipper::AllTrim(r->at(1)) : AnsiText(), code);
    }

    const SenecaExport &s;
    ExportTables &tables;
    ExportIndexes indexes;
    Report &report;

    std::vector<Teacher> teachers;
    std::unordered_set<std::string> teacherAbbreviations;
    std::unordered_map<std::string, AnsiText> hostSubjectNames;   // ASIGNOMT COD -> NOMBRE, first row
    std::unordered_set<std::string> hostActivities;                // ASIGNOMT COD of activity rows
    std::unordered_map<std::string, std::vector<HostGroup>> twins; // GRUPOST by CLAVE
    // (offer, upper-cased name) -> Séneca subject identifiers, as the assignments step matches names
    std::map<std::pair<std::string, std::string>, std::vector<AnsiText>> subjectsByOfferName;
    std::set<std::pair<std::string, std::string>> mixedNoted;

    std::vector<ExportLesson> lessons;
    // Many lessons share a slot, or a unit, subject, room and activity: each text is made once
    // and shared.
    std::unordered_map<std::string, QString> slotNames, descriptions;
    long long paddedTimes = 0;
    AnsiText paddedExample;
};

void Checker::readTables() {
    DbfTable &staff = tables.Profesor;
    for (staff.first(); !staff.eof(); staff.next()) {
        Teacher t{staff.text(QStringLiteral("ABREV")), staff.text(QStringLiteral("X_EMPLEADO")), {}};
        t.name = QStringLiteral("%1 (%2)").arg(simplified(staff.text(QStringLiteral("NOMBRE"))),
                                                 t.abbreviation.toQString());
        teacherAbbreviations.insert(t.abbreviation.bytes());
        teachers.push_back(std::move(t));
    }
    DbfTable &subjects = tables.NomAsg;
    const bool hasTaskFlag = subjects.hasField(QStringLiteral("ESTAREA"));
    for (subjects.first(); !subjects.eof(); subjects.next()) {
        const AnsiText code = subjects.text(QStringLiteral("COD"));
        hostSubjectNames.try_emplace(code.bytes(), subjects.text(QStringLiteral("NOMBRE")));
        if (hasTaskFlag && subjects.logical(QStringLiteral("ESTAREA")))
            hostActivities.insert(code.bytes());
    }
    DbfTable &groups = tables.Grupos;
    for (groups.first(); !groups.eof(); groups.next()) {
        HostGroup g{groups.text(QStringLiteral("ABREV")), groups.text(QStringLiteral("CLAVE")),
                    groups.text(QStringLiteral("CLAVECURSO"))};
        twins[g.unit.bytes()].push_back(g);
    }
    for (const SenecaRecord &r : s.subjects.records)
        if (r.datos >= 2)
            subjectsByOfferName[{r.at(SenecaExport::SubjectOffer).bytes(),
                                 AnsiCase::asciiUpper(Clipper::AllTrim(r.at(SenecaExport::SubjectName).left(80))).bytes()}]
                .push_back(r.at(SenecaExport::SubjectId));
}

void Checker::describe(ExportLesson &l) {
    auto [slotName, newSlot] = slotNames.try_emplace(l.slot.bytes());
    if (newSlot) {
        const SenecaRecord *slot = s.timeSlots.find(l.slot);
        slotName->second = slot ? Named(slot->at(1), l.slot) : q(l.slot);
    }
    l.slotName = slotName->second;

    auto [what, newWhat] =
        descriptions.try_emplace(JoinedKey({&l.unit, &l.subject, &l.room, &l.activity, &l.hostGroup, &l.hostSubject}));
    if (!newWhat) {
        l.what = what->second;
        return;
    }
    QStringList parts;
    if (!l.unit.isEmpty())
        parts << unitNamed(l.unit);
    if (!l.subject.isEmpty())
        parts << subjectNamed(l.subject);
    if (!l.room.isEmpty()) {
        const SenecaRecord *r = s.rooms.find(l.room);
        parts << QStringLiteral("dependencia ") + Named(r ? r->at(1) : AnsiText(), l.room);
    }
    const SenecaRecord *a = s.activities.find(l.activity);
    parts << QStringLiteral("actividad ") + Named(a ? a->at(2) : AnsiText(), l.activity);
    parts << QStringLiteral("[en el programa de horarios: grupo %1, asignatura %2]")
                 .arg(l.hostGroup.isEmpty() ? QStringLiteral("ninguno") : l.hostGroup.toQString(),
                      l.hostSubject.toQString());
    what->second = parts.join(QStringLiteral(", "));
    l.what = what->second;
}

void Checker::readOutput(std::vector<WrittenTeacher> &records) {
    SolucEntries entries;
    entries.read(tables.Soluc);
    if (records.size() != teachers.size())
        throw RunError(QStringLiteral("El documento escrito tiene %1 profesores y PROFT %2: no se puede comprobar.")
                           .arg(records.size())
                           .arg(teachers.size()));
    for (size_t t = 0; t < records.size(); ++t) {
        // The entry records of a teacher are the placed SOLUC entries of the abbreviation that
        // have a slot, in table order: the same walk as the export's.
        std::vector<const SolucEntry *> written;
        for (const SolucEntry &e : entries.placed(teachers[t].abbreviation))
            if (indexes.slotOf(e.day, e.slot))
                written.push_back(&e);
        auto &entryRecords = records[t].entries;
        if (entryRecords.size() != written.size())
            throw RunError(QStringLiteral("El documento escrito no corresponde al horario resuelto (profesor %1).")
                               .arg(teachers[t].name));
        for (size_t i = 0; i < entryRecords.size(); ++i) {
            auto &v = entryRecords[i];
            ExportLesson l;
            l.teacher = static_cast<int>(t);
            l.teacherName = teachers[t].name;
            l.day = std::move(v[0]);
            l.slot = std::move(v[1]);
            l.room = std::move(v[2]);
            l.unit = std::move(v[3]);
            l.offer = std::move(v[4]);
            l.subject = std::move(v[5]);
            l.start = std::move(v[8]);
            l.end = std::move(v[9]);
            l.activity = std::move(v[10]);
            l.hostSubject = written[i]->subject;
            l.hostGroup = written[i]->group;
            describe(l);
            lessons.push_back(std::move(l));
        }
        entryRecords = {}; // taken over: freed as it goes
    }
}

void Checker::checkTeachers() {
    std::vector<int> lessonsOf(teachers.size(), 0);
    for (const ExportLesson &l : lessons)
        ++lessonsOf[static_cast<size_t>(l.teacher)];
    for (size_t t = 0; t < teachers.size(); ++t) {
        const Teacher &teacher = teachers[t];
        if (Clipper::AllTrim(teacher.employee).isEmpty())
            report.add(FindingLevel::Error, QStringLiteral("Profesor sin X_EMPLEADO"),
                       QStringLiteral("%1 no tiene código de empleado: Séneca no sabrá de quién es su horario.")
                           .arg(teacher.name));
        else if (!s.staff.find(teacher.employee))
            report.add(FindingLevel::Error, QStringLiteral("Profesor que la exportación de Séneca no define"),
                       QStringLiteral("%1: el empleado %2 no está en la exportación de Séneca.")
                           .arg(teacher.name, q(teacher.employee)));
        if (lessonsOf[t] == 0)
            report.add(FindingLevel::Nota, QStringLiteral("Profesores sin sesiones"),
                       QStringLiteral("%1 no tiene ninguna sesión en el horario.").arg(teacher.name));
    }
}

// SOLUC rows that are not in the document: not placed (day 0), a day or slot that does not
// exist, a teacher that PROFT does not have.
void Checker::checkLeftOut() {
    DbfTable &soluc = tables.Soluc;
    long long rows = 0, unplaced = 0, noSlot = 0, noTeacher = 0;
    QStringList unplacedExamples;
    for (soluc.first(); !soluc.eof(); soluc.next()) {
        ++rows;
        const AnsiText teacher = soluc.text(QStringLiteral("PROF"));
        const int day = soluc.integer(QStringLiteral("DIA"));
        const int slot = soluc.integer(QStringLiteral("HORA"));
        // Made only for a row that is reported.
        const auto entry = [&] {
            return QStringLiteral("registro %1 de SOLUC (profesor %2, día %3, hora %4, asignatura %5, grupo %6)")
                .arg(QString::number(soluc.position() + 1), q(teacher), QString::number(day), QString::number(slot),
                     q(soluc.text(QStringLiteral("ASIG"))), q(soluc.text(QStringLiteral("CODGRUPO"))));
        };
        if (day == 0) {
            if (++unplaced <= Examples)
                unplacedExamples << entry();
        } else if (!teacherAbbreviations.contains(teacher.bytes())) {
            ++noTeacher;
            report.add(FindingLevel::Error, QStringLiteral("Sesión de un profesor que no está en PROFT"),
                       QStringLiteral("%1: el profesor no está en la tabla de profesores; la sesión no se ha "
                                      "exportado.")
                           .arg(entry()));
        } else if (!indexes.slotOf(day, slot)) {
            ++noSlot;
            report.add(FindingLevel::Error, QStringLiteral("Sesión en un día o tramo que no existe"),
                       QStringLiteral("%1: no hay tramo %2 en el día %3 de DIASHORAST; la sesión no se ha exportado.")
                           .arg(entry(), QString::number(slot), QString::number(day)));
        }
    }
    if (unplaced > 0)
        report.add(FindingLevel::Nota, QStringLiteral("Sesiones sin colocar"),
                   QStringLiteral("%1 sesiones de SOLUC no están colocadas (día 0) y no se han exportado. "
                                  "Las primeras: %2.")
                       .arg(unplaced)
                       .arg(unplacedExamples.join(QStringLiteral("; "))));
    report.addCount(QStringLiteral("Registros del horario resuelto (SOLUC)"), rows);
    report.addCount(QStringLiteral("Sesiones sin colocar (día 0)"), unplaced);
    report.addCount(QStringLiteral("Sesiones no exportadas: día o tramo inexistente"), noSlot);
    report.addCount(QStringLiteral("Sesiones no exportadas: profesor que no está en PROFT"), noTeacher);
}

void Checker::checkTimes(const ExportLesson &l) {
    const SenecaRecord *slot = s.timeSlots.find(l.slot);
    if (!slot)
        return;
    const std::pair<const AnsiText *, size_t> times[] = {{&l.start, 2}, {&l.end, 3}};
    for (const auto &[written, position] : times) {
        const AnsiText &expected = slot->at(position);
        if (*written == expected)
            continue;
        bool okWritten = false, okExpected = false;
        const int a = written->toQString().toInt(&okWritten);
        const int b = expected.toQString().toInt(&okExpected);
        if (okWritten && okExpected && a == b) {
            if (paddedTimes++ == 0)
                paddedExample = *written;
            continue;
        }
        report.add(FindingLevel::Error, QStringLiteral("Hora distinta de la del tramo"),
                   QStringLiteral("%1: %2 es %3, pero el tramo %4 empieza o acaba en %5 según Séneca (%6).")
                       .arg(l.where(), QString::fromLatin1(position == 2 ? "N_HORINI" : "N_HORFIN"), q(*written),
                            l.slotName, q(expected), l.what));
    }
}

void Checker::checkMixedUnit(const ExportLesson &l) {
    std::set<std::string> offers;
    for (const SenecaRecord *r : s.units.all(l.unit))
        offers.insert(r->at(2).bytes());
    if (offers.size() < 2 || hostActivities.contains(l.hostSubject.bytes()))
        return;
    const auto name = hostSubjectNames.find(l.hostSubject.bytes());
    if (name == hostSubjectNames.end())
        return;
    const auto it = twins.find(l.unit.bytes());
    if (it == twins.end())
        return;
    const HostGroup *placedIn = nullptr;
    for (const HostGroup &g : it->second)
        if (g.abbreviation == l.hostGroup)
            placedIn = &g;
    if (!placedIn)
        return;
    const std::string upper = AnsiCase::asciiUpper(Clipper::AllTrim(name->second.left(80))).bytes();
    auto idsIn = [&](const AnsiText &offer) {
        const auto found = subjectsByOfferName.find({offer.bytes(), upper});
        return found == subjectsByOfferName.end() ? std::vector<AnsiText>() : found->second;
    };
    QStringList others;
    for (const HostGroup &g : it->second) {
        if (g.offer == placedIn->offer)
            continue;
        for (const AnsiText &id : idsIn(g.offer))
            others << QStringLiteral("el grupo %1 (%2) tiene la %3").arg(g.abbreviation.toQString(), offerNamed(g.offer),
                                                                         subjectNamed(id));
    }
    const std::vector<AnsiText> own = idsIn(placedIn->offer);
    const QString unit = unitNamed(l.unit);
    if (own.empty()) {
        report.add(FindingLevel::Error, QStringLiteral("Unidad mixta: sesión en el grupo de un curso sin esa materia"),
                   QStringLiteral("%1: la %2 es mixta y la sesión de «%3» está en el grupo %4 (%5), cuyo curso no tiene "
                                  "esa materia%6 (%7).")
                       .arg(l.where(), unit, name->second.toQString(), placedIn->abbreviation.toQString(),
                            offerNamed(placedIn->offer),
                            others.isEmpty() ? QString() : QStringLiteral("; ") + others.join(QStringLiteral("; ")),
                            l.what));
        return;
    }
    if (others.isEmpty() || !mixedNoted.insert({l.hostGroup.bytes(), l.hostSubject.bytes()}).second)
        return;
    report.add(FindingLevel::Nota, QStringLiteral("Unidad mixta: materia del curso del grupo"),
               QStringLiteral("Las sesiones de «%1» del grupo %2 (%3, de la %4) se exportan con la oferta %5 y la %6; "
                              "en el otro curso, %7.")
                   .arg(name->second.toQString(), placedIn->abbreviation.toQString(), offerNamed(placedIn->offer), unit,
                        q(placedIn->offer), subjectNamed(own.front()), others.join(QStringLiteral("; "))));
}

void Checker::checkLesson(const ExportLesson &l) {
    auto error = [&](const QString &kind, const QString &detail) {
        report.add(FindingLevel::Error, kind, QStringLiteral("%1: %2 (%3).").arg(l.where(), detail, l.what));
    };
    auto unknown = [&](const SenecaGroup &group, const AnsiText &code, const char *field, const QString &kind) {
        if (!code.isEmpty() && !group.find(code))
            error(kind, QStringLiteral("%1 %2 no está en la exportación de Séneca").arg(QString::fromLatin1(field), q(code)));
    };
    if (l.slot.isEmpty() || !s.timeSlots.find(l.slot))
        error(QStringLiteral("Tramo que la exportación de Séneca no define"),
              QStringLiteral("X_TRAMO %1 no está en la exportación de Séneca").arg(q(l.slot)));
    unknown(s.units, l.unit, "X_UNIDAD", QStringLiteral("Unidad que la exportación de Séneca no define"));
    unknown(s.subjects, l.subject, "X_MATERIAOMG", QStringLiteral("Materia que la exportación de Séneca no define"));
    unknown(s.courses, l.offer, "X_OFERTAMATRIG", QStringLiteral("Oferta que la exportación de Séneca no define"));
    unknown(s.rooms, l.room, "X_DEPENDENCIA", QStringLiteral("Dependencia que la exportación de Séneca no define"));
    unknown(s.activities, l.activity, "X_ACTIVIDAD", QStringLiteral("Actividad que la exportación de Séneca no define"));

    if (const SenecaRecord *a = s.activities.find(l.activity)) {
        const QString activity = Named(a->at(2), l.activity);
        const AnsiText yes = AnsiText::ascii("S"), no = AnsiText::ascii("N");
        if (a->at(0) == no)
            error(QStringLiteral("Actividad no regular en el horario regular"),
                  QStringLiteral("la actividad %1 no es de horario regular (L_REGULAR = N)").arg(activity));
        if (a->at(3) == yes && l.unit.isEmpty())
            error(QStringLiteral("Falta la unidad que pide la actividad"),
                  QStringLiteral("la actividad %1 necesita una unidad y la sesión no tiene ninguna").arg(activity));
        if (a->at(4) == yes && l.subject.isEmpty())
            error(QStringLiteral("Falta la materia que pide la actividad"),
                  QStringLiteral("la actividad %1 necesita una materia y la sesión no tiene ninguna").arg(activity));
        if (a->at(3) == no && !l.unit.isEmpty())
            report.add(FindingLevel::Aviso, QStringLiteral("Unidad en una actividad que no la lleva"),
                       QStringLiteral("%1: la actividad %2 no lleva unidad y la sesión tiene la %3 (%4).")
                           .arg(l.where(), activity, unitNamed(l.unit), l.what));
        if (a->at(4) == no && !l.subject.isEmpty())
            report.add(FindingLevel::Aviso, QStringLiteral("Materia en una actividad que no la lleva"),
                       QStringLiteral("%1: la actividad %2 no lleva materia y la sesión tiene la %3 (%4).")
                           .arg(l.where(), activity, subjectNamed(l.subject), l.what));
    }

    if (!l.subject.isEmpty() && s.subjects.find(l.subject)) {
        bool inOffer = false;
        QStringList offers;
        for (const SenecaRecord *r : s.subjects.all(l.subject)) {
            inOffer = inOffer || r->at(SenecaExport::SubjectOffer) == l.offer;
            offers << offerNamed(r->at(SenecaExport::SubjectOffer));
        }
        if (!inOffer)
            error(QStringLiteral("Materia de otra oferta"),
                  QStringLiteral("la %1 es del %2, pero la sesión va con la oferta %3")
                      .arg(subjectNamed(l.subject), offers.join(QStringLiteral(", ")), q(l.offer)));
    }
    if (!l.unit.isEmpty() && !l.offer.isEmpty() && s.units.find(l.unit)) {
        bool inOffer = false;
        for (const SenecaRecord *r : s.units.all(l.unit))
            inOffer = inOffer || r->at(2) == l.offer;
        if (!inOffer)
            error(QStringLiteral("Unidad que no está en la oferta escrita"),
                  QStringLiteral("la %1 no pertenece al %2").arg(unitNamed(l.unit), offerNamed(l.offer)));
    }
    checkTimes(l);
    if (!l.unit.isEmpty())
        checkMixedUnit(l);
}

void Checker::read(std::vector<WrittenTeacher> output) {
    readTables();
    readOutput(output);
}

void Checker::check() {
    report.addCount(QStringLiteral("Profesores en el documento"), static_cast<long long>(teachers.size()));
    report.addCount(QStringLiteral("Sesiones escritas"), static_cast<long long>(lessons.size()));
    checkTeachers();
    checkLeftOut();
    for (const ExportLesson &l : lessons)
        checkLesson(l);
    if (paddedTimes > 0)
        report.add(FindingLevel::Nota, QStringLiteral("Horas con un cero delante"),
                   QStringLiteral("%1 valores de N_HORINI o N_HORFIN van con un cero delante (por ejemplo %2), como los "
                                  "guarda DIASHORAST: indican la misma hora que Séneca dio y no se han cambiado.")
                       .arg(paddedTimes)
                       .arg(q(paddedExample)));
    FindClashes(lessons, report);
}

} // namespace

QString DayName(const AnsiText &day) {
    static const char *const Names[] = {"lunes", "martes", "miércoles", "jueves", "viernes", "sábado", "domingo"};
    bool ok = false;
    const int n = day.toQString().toInt(&ok);
    if (ok && n >= 1 && n <= 7)
        return QString::fromUtf8(Names[n - 1]);
    return QStringLiteral("día %1").arg(day.toQString());
}

QString ExportLesson::where() const {
    return QStringLiteral("%1, %2, %3").arg(teacherName, DayName(day), slotName);
}

QString ExportReportPath(const QString &output) {
    const QFileInfo info(output);
    return info.absoluteDir().filePath(info.completeBaseName() + QStringLiteral(".informe.html"));
}

Report CheckExport(const QString &output, const QString &input, const QString &workDir) {
    // Of the Séneca export only the values the check uses are kept, record by record.
    const SenecaExport s = SenecaExport::readFile(input);
    Report report(QStringLiteral("Comprobación de la exportación hacia Séneca"), output);
    ExportTables tables;
    tables.open(workDir, DbfTable::Mode::Shared);
    Checker checker(s, tables, report);
    checker.read(ReadWrittenTimetable(output));
    checker.check();
    tables.close();
    return report;
}
