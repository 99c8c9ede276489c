#pragma once
// The body of the exported document: one teacher record per PROFT record, each holding one
// entry record per placed SOLUC entry of that teacher, with the host's codes translated back
// into the Séneca codes the import kept.

#include "platform/AnsiText.h"
#include "platform/XmlDocument.h"

struct ExportTables;

// Takes each teacher record once it is complete: appended to the group for good, or written
// out and freed, so a large school never holds every record in memory at once.
class TeacherRecordSink {
public:
    virtual ~TeacherRecordSink() = default;
    virtual void add(XmlNode teacherRecord) = 0;
};

// The school year's dates from PERIODOS, written unchanged into every entry record.
struct SchoolYearDates {
    AnsiText start; // F_INICIO
    AnsiText end;   // F_FIN
};

struct ExportCounts;

// Creates the records through the document and hands them to the sink in PROFT order, and
// returns how many teacher and entry records it wrote. Reads the tables only; a table or XML
// failure throws RunError.
ExportCounts WriteTeacherRecords(XmlDocument &doc, TeacherRecordSink &sink, ExportTables &tables,
                         const SchoolYearDates &dates);
