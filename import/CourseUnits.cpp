#include "import/CourseUnits.h"

#include "import/CoursesTable.h"
#include "seneca/Clipper.h"

std::optional<std::unordered_map<std::string, int>> UnitsPerCourse(const SenecaDocument &document) {
    if (document.path().isEmpty())
        return std::nullopt;
    std::unordered_map<std::string, int> units;
    const std::string path = GroupRecordsPath("UNIDADES");
    const XmlNodeList records = document.SelectRecords(path.c_str());
    for (int i = 0; i < records.length(); ++i) {
        const DatoList datos = Datos(records.item(i));
        if (datos.count() < 2)
            continue;
        ++units[Clipper::RTrim(DatoValue(datos, 2).left(CoursesTable::ClaveWidth)).bytes()];
    }
    return units;
}
