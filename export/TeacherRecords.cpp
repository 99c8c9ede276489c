#include "export/TeacherRecords.h"
#include "seneca/RunState.h"

#include "export/ExportIndexes.h"
#include "export/ExportTables.h"
#include "export/SolucEntries.h"

#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace {

// Empty or spaces only: what trims to nothing.
bool isBlank(const AnsiText &text) { return text.bytes().find_first_not_of(' ') == std::string::npos; }

void appendDato(RecordGroup &group, const char *name, const AnsiText &value) {
    group.datos.push_back({name, value.toUtf8()});
}

void appendDato(RecordGroup &group, const char *name, const std::string &utf8) { group.datos.push_back({name, utf8}); }

// The values that every entry of a day-and-slot, or of the whole run, writes alike, converted
// once.
struct SlotValues {
    std::string day, code, start, end;
};
struct DateValues {
    std::string start, end;
};

// One placed entry, into a record that may hold an earlier teacher's (whose allocations are
// reused). A lookup that finds nothing leaves its values empty; every dato is written all the
// same.
void fillEntryRecord(RecordGroup &record, int number, const SolucEntry &entry, const SlotValues &slot,
                     ExportIndexes &indexes, const DateValues &dates) {
    static const AnsiText none;
    // Every subject assignment the import writes carries the activity "1".
    static const AnsiText assignmentActivity = AnsiText::ascii("1");

    record.seq = "ACTIVIDAD_" + std::to_string(number);
    record.datos.clear();

    const AnsiText *subject = &none;
    const AnsiText *offer = &none;
    if (const AssignmentCodes *a = indexes.assignment(entry.subject, entry.group)) {
        subject = &a->subject;
        offer = &a->offer;
    }

    // A blank TAREA takes the activity that the import kept for an activity row (empty for an
    // ordinary subject, which then falls to the default below).
    const AnsiText *activity = &entry.activity;
    if (isBlank(*activity))
        if (const AnsiText *code = indexes.activity(entry.subject))
            activity = code;

    appendDato(record, "N_DIASEMANA", slot.day);
    appendDato(record, "X_TRAMO", slot.code);

    appendDato(record, "X_DEPENDENCIA", isBlank(entry.room) ? none : entry.room);

    const AnsiText *unit = &none;
    if (const GroupCodes *g = indexes.group(entry.group)) {
        unit = &g->unit;
        if (isBlank(*offer))
            offer = &g->offer;
    }

    if (isBlank(*subject))
        if (const AnsiText *materia = indexes.subjectByOffer(entry.subject, *offer))
            subject = materia;

    if (isBlank(*activity))
        activity = &assignmentActivity;

    appendDato(record, "X_UNIDAD", *unit);
    appendDato(record, "X_OFERTAMATRIG", *offer);
    appendDato(record, "X_MATERIAOMG", *subject);
    appendDato(record, "F_INICIO", dates.start);
    appendDato(record, "F_FIN", dates.end);
    appendDato(record, "N_HORINI", slot.start);
    appendDato(record, "N_HORFIN", slot.end);
    appendDato(record, "X_ACTIVIDAD", *activity);
}

} // namespace

ExportCounts WriteTeacherRecords(TeacherRecordSink &sink, ExportTables &tables, const SchoolYearDates &dates) {
    const QString ABREV = QStringLiteral("ABREV");
    const QString X_EMPLEADO = QStringLiteral("X_EMPLEADO");
    const QString F_TOMAPOS = QStringLiteral("F_TOMAPOS");

    ExportCounts counts;
    DbfTable &staff = tables.Profesor;
    if (staff.recordCount() == 0)
        return counts;

    SolucEntries entries;
    entries.read(tables.Soluc);
    ExportIndexes indexes(tables);
    const DateValues dateValues{dates.start.toUtf8(), dates.end.toUtf8()};
    std::unordered_map<const SlotCodes *, SlotValues> slotValues;
    const auto valuesOf = [&](const SlotCodes *slot) -> const SlotValues & {
        auto [at, added] = slotValues.try_emplace(slot);
        if (added)
            at->second = {slot->day.toUtf8(), slot->code.toUtf8(), slot->start.toUtf8(), slot->end.toUtf8()};
        return at->second;
    };

    // The teacher number counts PROFT records, whether or not a teacher has entries; two
    // records with the same abbreviation each get that abbreviation's entries.
    int teacherNumber = 0;
    RecordGroup teacher; // each teacher's in turn, reusing the last one's allocations
    for (staff.first(); !staff.eof(); staff.next()) {
        ++teacherNumber;
        const AnsiText employee = staff.text(X_EMPLEADO);
        const AnsiText postDate = staff.text(F_TOMAPOS);
        // An entry whose day or slot does not exist would go out without day, slot and times,
        // which Séneca cannot take: it is left out (and the check reports it).
        std::vector<std::pair<const SolucEntry *, const SlotValues *>> placed;
        for (const SolucEntry &entry : entries.placed(staff.text(ABREV)))
            if (const SlotCodes *slot = indexes.slotOf(entry.day, entry.slot))
                placed.emplace_back(&entry, &valuesOf(slot));

        teacher.seq = "HORARIO_REGULAR_PROFESOR_" + std::to_string(teacherNumber);
        teacher.registros = static_cast<long long>(placed.size());
        teacher.datos.clear();
        appendDato(teacher, "X_EMPLEADO", employee);
        appendDato(teacher, "F_TOMAPOS", postDate);
        teacher.groups.resize(placed.size());
        int entryNumber = 0;
        for (const auto &[entry, slot] : placed) {
            fillEntryRecord(teacher.groups[static_cast<size_t>(entryNumber)], entryNumber + 1, *entry, *slot, indexes,
                            dateValues);
            ++entryNumber;
        }
        sink.add(teacher);
        ++counts.teachers;
        counts.lessons += entryNumber;
    }
    return counts;
}
