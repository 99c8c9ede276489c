#pragma once
// The body of the exported document: one teacher record per PROFT record, each holding one
// entry record per placed SOLUC entry of that teacher, with the host's codes translated back
// into the Séneca codes the import kept.

#include "platform/AnsiText.h"

#include <string>
#include <vector>

struct ExportTables;

// One dato of a record: its nombre_dato and its value, both UTF-8.
struct RecordDato {
    std::string name;
    std::string value;
};

// One grupo_datos of the body as it is written: its seq, its registros when it has one, its
// dato elements in order and then the groups inside it.
struct RecordGroup {
    std::string seq;
    long long registros = -1; // -1: no registros attribute
    std::vector<RecordDato> datos;
    std::vector<RecordGroup> groups;
};

// Takes each teacher record once it is complete and writes it out (or keeps it in the
// document), so a large school never holds every record in memory at once.
class TeacherRecordSink {
public:
    virtual ~TeacherRecordSink() = default;
    virtual void add(const RecordGroup &teacherRecord) = 0;
};

// The school year's dates from PERIODOS, written unchanged into every entry record.
struct SchoolYearDates {
    AnsiText start; // F_INICIO
    AnsiText end;   // F_FIN
};

struct ExportCounts;

// Hands the records to the sink in PROFT order and returns how many teacher and entry records
// it wrote. Reads the tables only; a table failure throws RunError.
ExportCounts WriteTeacherRecords(TeacherRecordSink &sink, ExportTables &tables, const SchoolYearDates &dates);
