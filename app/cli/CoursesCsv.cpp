#include "app/cli/CoursesCsv.h"

#include "import/CourseCheck.h"
#include "import/CourseProposals.h"
#include "import/CoursesTable.h"
#include "platform/FileFault.h"
#include "platform/RunError.h"
#include "seneca/Clipper.h"
#include "seneca/Messages.h"

#include <QFile>
#include <QStringDecoder>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace {

const QString Separator = QStringLiteral(";");

[[noreturn]] void refuse(const QString &path, int line, const QString &reason) {
    throw RunError(QStringLiteral("Archivo de cursos %1, línea %2: %3").arg(path).arg(line).arg(reason));
}

QString unquoted(const QString &field) {
    const QString t = field.trimmed();
    if (t.size() >= 2 && t.startsWith(QLatin1Char('"')) && t.endsWith(QLatin1Char('"')))
        return t.mid(1, t.size() - 2).replace(QStringLiteral("\"\""), QStringLiteral("\"")).trimmed();
    return t;
}

// Table text for a field, or empty when some character has no Windows-1252 form.
std::optional<AnsiText> tableText(const QString &text) {
    const AnsiText converted = AnsiText::fromQString(text);
    if (converted.toQString() != text)
        return std::nullopt;
    return converted;
}

} // namespace

std::vector<CourseValues> ReadCoursesCsv(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw RunError(QStringLiteral("No se puede leer el archivo de cursos %1: %2").arg(path, DescribeFileError(file)));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw RunError(QStringLiteral("No se puede leer el archivo de cursos %1: %2").arg(path, DescribeFileError(file)));

    const QList<QByteArray> lines = bytes.split('\n');
    std::vector<CourseValues> entries;
    bool headerSeen = false;
    for (int i = 0; i < lines.size(); ++i) {
        const int lineNumber = i + 1;
        QByteArray raw = lines[i];
        if (raw.endsWith('\r'))
            raw.chop(1);
        if (i == 0 && raw.startsWith("\xEF\xBB\xBF"))
            raw.remove(0, 3);
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString line = decoder.decode(raw);
        if (decoder.hasError())
            refuse(path, lineNumber, QStringLiteral("el texto no está en UTF-8"));
        if (line.trimmed().isEmpty())
            continue;

        const QStringList fields = line.split(Separator);
        if (!headerSeen) {
            QStringList names;
            for (const QString &f : fields)
                names << unquoted(f).toUpper();
            if (names != QStringList{QStringLiteral("CLAVE"), QStringLiteral("NIVEL"), QStringLiteral("CURSO")})
                refuse(path, lineNumber, QStringLiteral("la primera línea debe ser la cabecera CLAVE;NIVEL;CURSO"));
            headerSeen = true;
            continue;
        }
        if (fields.size() != 3)
            refuse(path, lineNumber, QStringLiteral("se esperaban 3 campos separados por ';' y hay %1").arg(fields.size()));

        AnsiText values[3];
        for (int f = 0; f < 3; ++f) {
            const std::optional<AnsiText> text = tableText(unquoted(fields[f]));
            if (!text)
                refuse(path, lineNumber, QStringLiteral("hay caracteres que las tablas no pueden guardar"));
            values[f] = *text;
        }
        if (values[0].isEmpty())
            refuse(path, lineNumber, QStringLiteral("la clave está vacía"));
        // The key as CURSOST holds it: cut to the field's width, read back without padding.
        entries.push_back({Clipper::RTrim(values[0].left(CoursesTable::ClaveWidth)),
                           values[1].left(CoursesTable::NivelWidth), values[2].left(CoursesTable::CursoWidth),
                           lineNumber});
    }
    if (!headerSeen)
        refuse(path, 1, QStringLiteral("la primera línea debe ser la cabecera CLAVE;NIVEL;CURSO"));
    return entries;
}

QStringList ApplyCourses(const QString &workDir, const std::vector<CourseValues> &entries) {
    QStringList warnings;
    if (entries.empty())
        return warnings;
    DbfTable courses;
    courses.open(workDir, CoursesTable::Name, DbfTable::Mode::Exclusive);
    // The rows of each key, read once: editing NIVEL and CURSO moves no row and changes no key.
    std::unordered_map<std::string, std::vector<int>> rowsByKey;
    for (courses.first(); !courses.eof(); courses.next())
        rowsByKey[courses.text(CoursesTable::Clave).bytes()].push_back(courses.position());
    for (const CourseValues &entry : entries) {
        const auto rows = rowsByKey.find(entry.clave.bytes());
        const bool matched = rows != rowsByKey.end();
        if (matched) {
            for (const int row : rows->second) {
                courses.moveTo(row);
                courses.edit();
                courses.setText(CoursesTable::Nivel, entry.nivel);
                courses.setText(CoursesTable::Curso, entry.curso);
                courses.post();
            }
        }
        if (!matched)
            warnings << QStringLiteral("Aviso: línea %1 del archivo de cursos: la clave %2 no corresponde a ningún curso")
                            .arg(entry.line)
                            .arg(entry.clave.toQString());
    }
    courses.close();
    return warnings;
}

namespace {

// Where a course's values came from, for the table --proponer prints.
QString origin(const CourseProposal &p, bool fromFile, bool remembered) {
    if (p.nivelSource == CellSource::NoProposal || p.cursoSource == CellSource::NoProposal)
        return QStringLiteral("sin propuesta");
    if (p.nivelSource == CellSource::Proposed || p.cursoSource == CellSource::Proposed)
        return QStringLiteral("propuesto");
    if (fromFile)
        return QStringLiteral("archivo de cursos");
    return remembered ? QStringLiteral("recordado") : QString();
}

// Fills the empty cells with the proposals and prints every course, in table order.
void proposeAndPrint(RunState &state, const std::vector<CourseValues> &entries, QTextStream &out) {
    std::unordered_set<std::string> givenKeys;
    for (const CourseValues &entry : entries)
        givenKeys.insert(entry.clave.bytes());
    const std::vector<CourseCells> before = ReadCourseCells(state.tableFolder());
    const std::vector<CourseProposal> proposals = ProposeIntoTable(state.tableFolder());
    const std::set<int> remembered(state.rememberedCourseRows.begin(), state.rememberedCourseRows.end());
    out << QStringLiteral("Cursos (CLAVE;NIVEL;CURSO;ESTUD;ORIGEN):") << '\n';
    for (size_t i = 0; i < before.size() && i < proposals.size(); ++i) {
        const CourseProposal &p = proposals[i];
        out << before[i].clave.toQString() << ';' << p.nivel.toQString() << ';' << p.curso.toQString() << ';'
            << before[i].estud.toQString() << ';'
            << origin(p, givenKeys.contains(before[i].clave.bytes()), remembered.contains(static_cast<int>(i)))
            << '\n';
    }
    out.flush();
}

} // namespace

CourseDialogResult CliEditCourses(RunState &state, const std::vector<CourseValues> &entries, bool allowIncomplete,
                                  bool propose, QTextStream &out, QTextStream &err) {
    for (const QString &warning : ApplyCourses(state.tableFolder(), entries))
        err << warning << '\n';
    err.flush();
    if (propose)
        proposeAndPrint(state, entries, out);
    const std::vector<IncompleteCourse> missing = IncompleteCourses(state.tableFolder());
    if (missing.empty())
        return {};
    // A warning, or with the forced exit a failure: standard error either way.
    err << Msg::MissingData << '\n' << QStringLiteral("Cursos sin NIVEL o CURSO (CLAVE;ESTUD):") << '\n';
    for (const IncompleteCourse &course : missing)
        err << course.clave.toQString() << ';' << course.estud.toQString() << '\n';
    err.flush();
    if (allowIncomplete)
        return {};
    return {false, QStringLiteral("fuera")};
}
