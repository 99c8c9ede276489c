#include "report/ImportSummary.h"

#include "platform/DbfTable.h"
#include "report/ImportCuts.h"
#include "report/SenecaExport.h"
#include "seneca/Clipper.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include <map>
#include <set>
#include <unordered_set>

namespace {

const char *const ImportedTables[] = {"PERIODOS", "CURSOST", "ASIGNOMT", "ASIGNOMT2", "PROFT",
                                      "AULAT",    "GRUPOST", "ASIGT",    "DIASHORAST"};

QString q(const AnsiText &t) { return QStringLiteral("«%1»").arg(t.toQString()); }

struct Group {
    AnsiText abbreviation, level, unit, offer;
};

class Summary {
public:
    Summary(const SenecaExport &s, const Paths &paths, Report &report) : s(s), paths(paths), report(report) {}
    void run();

private:
    void countTables();
    void missingGroups();
    void doubledKeys();
    void dates();
    void offersWithoutUnits();
    void subjectsNotInCatalogue();
    void skipped();
    void unitsAndGroups();

    QString courseNamed(const AnsiText &offer) const {
        const SenecaRecord *c = s.courses.find(offer);
        return Named(c ? Clipper::AllTrim(c->at(1)) : AnsiText(), offer);
    }

    const SenecaExport &s;
    const Paths &paths;
    Report &report;
    std::vector<Group> groups; // GRUPOST in table order
};

void Summary::countTables() {
    for (const char *name : ImportedTables) {
        DbfTable t;
        t.open(paths.workDir, QString::fromLatin1(name), DbfTable::Mode::Shared);
        report.addCount(QStringLiteral("%1.DBF").arg(QString::fromLatin1(name)), t.recordCount());
        if (QByteArrayView(name) == "GRUPOST")
            for (t.first(); !t.eof(); t.next())
                groups.push_back({t.text(QStringLiteral("ABREV")), t.text(QStringLiteral("NIVEL")),
                                  t.text(QStringLiteral("CLAVE")), t.text(QStringLiteral("CLAVECURSO"))});
        t.close();
    }
}

void Summary::missingGroups() {
    struct Wanted {
        const SenecaGroup *group;
        const char *name;
        const char *what;
        const char *table;
        FindingLevel level;
    };
    const Wanted wanted[] = {
        {&s.courses, "CURSOS_DEL_CENTRO", "los cursos", "CURSOST", FindingLevel::Error},
        {&s.subjects, "MATERIAS", "las materias", "ASIGNOMT, ASIGNOMT2 y ASIGT", FindingLevel::Error},
        {&s.staff, "EMPLEADOS", "el profesorado", "PROFT", FindingLevel::Error},
        {&s.units, "UNIDADES", "las unidades", "GRUPOST y ASIGT", FindingLevel::Error},
        {&s.timeSlots, "TRAMOS_HORARIOS", "los tramos horarios", "DIASHORAST", FindingLevel::Error},
        {&s.rooms, "DEPENDENCIAS", "las dependencias", "AULAT", FindingLevel::Aviso},
        {&s.activities, "ACTIVIDADES", "las actividades", "la parte de actividades de ASIGNOMT", FindingLevel::Aviso},
    };
    if (!s.yearPresent)
        report.add(FindingLevel::Error, MissingGroupKind,
                   QStringLiteral("La exportación no tiene el grupo ANNO_ACADEMICO (curso escolar)."));
    for (const Wanted &w : wanted) {
        if (w.group->taken() > 0)
            continue;
        const QString how = w.group->present ? QStringLiteral("tiene el grupo %1 (%2) sin ningún registro")
                                             : QStringLiteral("no tiene el grupo %1 (%2)");
        report.add(w.level, MissingGroupKind,
                   QStringLiteral("La exportación de Séneca %1: %3 ha quedado vacía.")
                       .arg(how.arg(QString::fromLatin1(w.name), QString::fromUtf8(w.what)),
                            QString::fromUtf8(w.table)));
    }
}

void Summary::doubledKeys() {
    std::map<std::string, int> seen;
    for (const SenecaRecord &r : s.courses.records)
        if (r.datos >= 2 && ++seen[r.at(0).bytes()] == 2)
            report.add(FindingLevel::Aviso, QStringLiteral("Clave repetida"),
                       QStringLiteral("El curso %1 aparece más de una vez en CURSOS_DEL_CENTRO: sus grupos toman el "
                                      "nivel y el curso de la primera fila de CURSOST.")
                           .arg(courseNamed(r.at(0))));

    // Units: the same unit twice in one offer gets two groups, and every later group of its
    // course a letter further on.
    std::map<std::pair<std::string, std::string>, std::vector<size_t>> units;
    size_t row = 0;
    for (const SenecaRecord &r : s.units.records)
        if (r.datos >= 2)
            units[{r.at(0).bytes(), r.at(2).bytes()}].push_back(row++);
    for (const auto &[key, rows] : units) {
        if (rows.size() < 2)
            continue;
        QStringList made;
        for (size_t i : rows)
            if (i < groups.size())
                made << groups[i].abbreviation.toQString();
        report.add(FindingLevel::Error, QStringLiteral("Clave repetida"),
                   QStringLiteral("La unidad %1 aparece %2 veces en el %3: se han hecho los grupos %4, y los grupos "
                                  "siguientes de ese curso han tomado la letra de después.")
                       .arg(Named(s.units.find(AnsiText::fromBytes(key.first))->at(1), AnsiText::fromBytes(key.first)),
                            QString::number(rows.size()), courseNamed(AnsiText::fromBytes(key.second)),
                            made.join(QStringLiteral(", "))));
    }

    std::map<std::string, QStringList> employees;
    std::vector<std::string> order;
    for (const SenecaRecord &r : s.staff.records) {
        if (r.datos < 2 || r.at(0).isEmpty())
            continue;
        QStringList &names = employees[r.at(0).bytes()];
        if (names.isEmpty())
            order.push_back(r.at(0).bytes());
        names << (r.at(3) + ' ' + r.at(4) + ' ' + r.at(5)).toQString().simplified();
    }
    for (const std::string &id : order)
        if (employees[id].size() > 1)
            report.add(FindingLevel::Error, QStringLiteral("Clave repetida"),
                       QStringLiteral("El empleado %1 aparece %2 veces en EMPLEADOS (%3): Séneca recibiría un horario "
                                      "por cada fila.")
                           .arg(q(AnsiText::fromBytes(id)), QString::number(employees[id].size()),
                                employees[id].join(QStringLiteral(", "))));
}

bool isDate(const AnsiText &text) {
    const QString t = text.toQString();
    return QDate::fromString(t, QStringLiteral("dd/MM/yyyy")).isValid() ||
           QDate::fromString(t, QStringLiteral("d/M/yyyy")).isValid();
}

void Summary::dates() {
    const AnsiText &year = s.year;
    bool yearOk = year.size() == 4;
    for (int i = 0; i < year.size(); ++i)
        yearOk = yearOk && year.at(i) >= '0' && year.at(i) <= '9';
    if (s.yearPresent && !yearOk)
        report.add(FindingLevel::Error, QStringLiteral("Curso escolar o fecha que no lo es"),
                   QStringLiteral("El curso escolar C_ANNO es %1, que no es un año de cuatro cifras; PERIODOS guarda "
                                  "%2 y la exportación hacia Séneca lo devolverá así.")
                       .arg(q(year), q(year.left(4))));

    DbfTable periods;
    periods.open(paths.workDir, QStringLiteral("PERIODOS"), DbfTable::Mode::Shared);
    for (periods.first(); !periods.eof(); periods.next())
        for (const char *field : {"F_INICIO", "F_FIN"}) {
            const AnsiText value = periods.text(QString::fromLatin1(field));
            if (!isDate(value))
                report.add(FindingLevel::Error, QStringLiteral("Curso escolar o fecha que no lo es"),
                           QStringLiteral("PERIODOS.%1 es %2, que no es una fecha dd/mm/aaaa; va tal cual en cada "
                                          "sesión del horario que se exporta.")
                               .arg(QString::fromLatin1(field), q(value)));
        }
    periods.close();

    for (const SenecaRecord &r : s.staff.records) {
        if (r.datos < 2 || isDate(r.at(1).left(10)))
            continue;
        const QString who = QStringLiteral("%1 (empleado %2)")
                                .arg((r.at(3) + ' ' + r.at(4) + ' ' + r.at(5)).toQString().simplified(), q(r.at(0)));
        if (r.at(1).isEmpty())
            report.add(FindingLevel::Aviso, QStringLiteral("Curso escolar o fecha que no lo es"),
                       QStringLiteral("%1 no tiene fecha de toma de posesión (F_TOMAPOS).").arg(who));
        else
            report.add(FindingLevel::Error, QStringLiteral("Curso escolar o fecha que no lo es"),
                       QStringLiteral("La fecha de toma de posesión de %1 es %2, que no es una fecha dd/mm/aaaa.")
                           .arg(who, q(r.at(1))));
    }
}

void Summary::offersWithoutUnits() {
    std::unordered_set<std::string> withUnits;
    for (const SenecaRecord &r : s.units.records)
        if (r.datos >= 2)
            withUnits.insert(r.at(2).bytes());
    for (const SenecaRecord &r : s.courses.records)
        if (r.datos >= 2 && !withUnits.contains(r.at(0).bytes()))
            report.add(FindingLevel::Aviso, QStringLiteral("Curso sin unidades"),
                       QStringLiteral("El curso %1 no tiene ninguna unidad: sus materias no se asignan a ningún grupo.")
                           .arg(courseNamed(r.at(0))));
}

void Summary::subjectsNotInCatalogue() {
    const QFileInfo file(paths.catalogPath);
    DbfTable catalogue;
    catalogue.open(file.absolutePath(), file.completeBaseName(), DbfTable::Mode::Shared);
    std::unordered_set<std::string> names;
    for (catalogue.first(); !catalogue.eof(); catalogue.next())
        names.insert(catalogue.text(QStringLiteral("NOMBRE")).bytes());
    catalogue.close();
    std::set<std::string> reported;
    for (const SenecaRecord &r : s.subjects.records) {
        const AnsiText &name = r.at(SenecaExport::SubjectName);
        if (r.datos >= 2 && !names.contains(name.bytes()) && reported.insert(name.bytes()).second)
            report.add(FindingLevel::Nota, QStringLiteral("Materia que no está en el catálogo"),
                       QStringLiteral("%1 no está en SENEMATERIAS.DBF: su código se ha formado a partir del nombre.")
                           .arg(q(name)));
    }
}

void Summary::skipped() {
    const std::pair<const SenecaGroup *, const char *> all[] = {
        {&s.courses, "CURSOS_DEL_CENTRO"}, {&s.subjects, "MATERIAS"}, {&s.activities, "ACTIVIDADES"},
        {&s.staff, "EMPLEADOS"},           {&s.rooms, "DEPENDENCIAS"}, {&s.units, "UNIDADES"},
    };
    for (const auto &[group, name] : all)
        for (const SenecaRecord &r : group->records)
            if (r.datos < 2)
                report.add(FindingLevel::Aviso, QStringLiteral("Registro no importado"),
                           QStringLiteral("El registro %1 de %2 tiene %3 datos y hacen falta al menos dos: no se ha "
                                          "importado.")
                               .arg(r.seq.isEmpty() ? QStringLiteral("sin nombre") : r.seq, QString::fromLatin1(name),
                                    QString::number(r.datos)));
    for (const SenecaRecord &r : s.timeSlots.records)
        if (r.datos < 4)
            report.add(FindingLevel::Aviso, QStringLiteral("Registro no importado"),
                       QStringLiteral("El tramo %1 de TRAMOS_HORARIOS tiene %2 datos de los cuatro que usa: los que "
                                      "faltan se han tomado vacíos.")
                           .arg(r.seq, QString::number(r.datos)));
}

void Summary::unitsAndGroups() {
    // GRUPOST has one row per taken UNIDADES record, in the same order.
    std::map<std::string, std::vector<const Group *>> byUnit;
    std::vector<std::string> order;
    size_t row = 0;
    for (const SenecaRecord &r : s.units.records) {
        if (r.datos < 2)
            continue;
        if (row >= groups.size())
            break;
        const Group &g = groups[row++];
        auto &list = byUnit[r.at(0).bytes()];
        if (list.empty())
            order.push_back(r.at(0).bytes());
        list.push_back(&g);
        if (!s.courses.find(r.at(2)))
            report.add(FindingLevel::Aviso, QStringLiteral("Unidad de un curso que no existe"),
                       QStringLiteral("La unidad %1 es del curso %2, que no está en CURSOS_DEL_CENTRO: su grupo %3 "
                                      "no tiene nivel ni curso.")
                           .arg(Named(r.at(1), r.at(0)), q(r.at(2)), g.abbreviation.toQString()));
        else if (g.level == AnsiText::ascii("NIV"))
            report.add(FindingLevel::Aviso, QStringLiteral("Grupo sin nivel"),
                       QStringLiteral("El grupo %1 (unidad %2) se ha formado sin nivel: el %3 se quedó sin NIVEL en "
                                      "Asignación de Niveles y Cursos.")
                           .arg(g.abbreviation.toQString(), Named(r.at(1), r.at(0)), courseNamed(r.at(2))));
    }
    for (const std::string &id : order) {
        const AnsiText unit = AnsiText::fromBytes(id);
        const SenecaRecord *first = s.units.find(unit);
        const std::vector<const Group *> &made = byUnit[id];
        QStringList parts;
        std::set<std::string> offers;
        for (const Group *g : made) {
            parts << QStringLiteral("%1 (%2)").arg(g->abbreviation.toQString(), courseNamed(g->offer));
            offers.insert(g->offer.bytes());
        }
        report.add(FindingLevel::Nota, QStringLiteral("Unidades de Séneca y sus grupos"),
                   QStringLiteral("Unidad %1: %2 %3.")
                       .arg(Named(first->at(1), unit),
                            made.size() == 1 ? QStringLiteral("grupo") : QStringLiteral("grupos"),
                            parts.join(QStringLiteral(", "))));
        if (offers.size() > 1)
            report.add(FindingLevel::Nota, QStringLiteral("Unidad mixta"),
                       QStringLiteral("La unidad %1 figura en %2 cursos y es un grupo por curso: %3. Una sesión "
                                      "colocada en el grupo de un curso se exporta con la oferta y la materia de ese "
                                      "curso.")
                           .arg(Named(first->at(1), unit), QString::number(offers.size()),
                                parts.join(QStringLiteral(", "))));
    }
}

void Summary::run() {
    countTables();
    missingGroups();
    doubledKeys();
    dates();
    offersWithoutUnits();
    subjectsNotInCatalogue();
    skipped();
    ReportCuts(s, report);
    unitsAndGroups();
}

} // namespace

QString ImportReportPath(const QString &workDir) { return QDir(workDir).filePath(QStringLiteral("InformeImportacion.html")); }

Report SummarizeImport(const SenecaDocument &document, const Paths &paths) {
    const SenecaExport s = SenecaExport::read(document);
    Report report(QStringLiteral("Resumen de la importación desde Séneca"), document.path());
    Summary(s, paths, report).run();
    return report;
}
