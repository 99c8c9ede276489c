// The Séneca reader on any bytes: the document loaded as a run loads it, every data group
// selected, and every dato of every record read by position and tested for every field name
// the import looks for. A document that does not parse is a RunError; nothing else may happen.

#include "FuzzScratch.h"
#include "SenecaNames.h"

#include "platform/RunError.h"
#include "report/SenecaExport.h"
#include "seneca/SenecaDocument.h"
#include "seneca/SenecaFieldNames.h"

#include <cstdint>

namespace {

QString folder;

void readRecord(const XmlNode &record) {
    const DatoList datos = Datos(record);
    // One past the end as well: a missing position reads as the empty value.
    for (int position = 0; position <= datos.count(); ++position) {
        (void)DatoValue(datos, position);
        for (std::string_view name : SenecaFieldNames) {
            (void)DatoNameIs(datos, position, AnsiText::ascii(name));
            (void)DatoField(datos, position, name.data());
        }
    }
    (void)ReadSubjectNameAndId(datos);
}

bool sameGroup(const SenecaGroup &a, const SenecaGroup &b) {
    if (a.present != b.present || a.records.size() != b.records.size())
        return false;
    for (size_t i = 0; i < a.records.size(); ++i)
        if (a.records[i].seq != b.records[i].seq || a.records[i].datos != b.records[i].datos ||
            a.records[i].values != b.records[i].values)
            return false;
    return true;
}

// Read record by record, freeing each as it goes, the document gives what its whole tree gives.
void compareRecordByRecord(const SenecaDocument &document) {
    const SenecaExport whole = SenecaExport::read(document);
    const SenecaExport pieces = SenecaExport::readFile(document.path());
    const bool same = whole.yearPresent == pieces.yearPresent && whole.year == pieces.year &&
                      whole.start == pieces.start && whole.end == pieces.end &&
                      sameGroup(whole.courses, pieces.courses) && sameGroup(whole.subjects, pieces.subjects) &&
                      sameGroup(whole.activities, pieces.activities) && sameGroup(whole.rooms, pieces.rooms) &&
                      sameGroup(whole.days, pieces.days) && sameGroup(whole.timeSlots, pieces.timeSlots) &&
                      sameGroup(whole.units, pieces.units) && sameGroup(whole.staff, pieces.staff);
    if (!same)
        __builtin_trap();
}

void exercise() {
    SenecaDocument document;
    document.load(folder + QStringLiteral("/doc.xml"));
    const XmlNodeList groups = document.SelectRecords("/SERVICIO/BLOQUE_DATOS/grupo_datos");
    for (int g = 0; g < groups.length(); ++g) {
        const XmlNode group = groups.item(g);
        readRecord(group); // the school-year group holds its values directly
        (void)group.attribute("seq");
    }
    for (const char *name : Fuzz::GroupNames) {
        const XmlNodeList records = document.SelectRecords(GroupRecordsPath(name).c_str());
        for (int r = 0; r < records.length(); ++r)
            readRecord(records.item(r));
    }
    (void)document.xml().declaredEncoding();
    compareRecordByRecord(document);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    Fuzz::silenceQt();
    folder = Fuzz::scratchFolder("seneca");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    Fuzz::writeFile(folder, QStringLiteral("doc.xml"), data, size);
    try {
        exercise();
    } catch (const RunError &) {
    }
    return 0;
}
