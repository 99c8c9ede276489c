#include "import/RememberedCourses.h"

#include "import/CoursesTable.h"
#include "platform/DbfTable.h"
#include "platform/RunError.h"
#include "seneca/Clipper.h"
#include "seneca/SenecaDocument.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <algorithm>
#include <optional>
#include <set>

namespace {

const QStringList Header = {QStringLiteral("CLAVE"), QStringLiteral("ESTUD"), QStringLiteral("NIVEL"),
                            QStringLiteral("CURSO"), QStringLiteral("CURSO_ESCOLAR")};

[[noreturn]] void damaged(const QString &path, int line, const QString &reason) {
    throw RunError(QStringLiteral("Archivo de cursos recordados %1, línea %2: %3").arg(path).arg(line).arg(reason));
}

// The fields of one line; nullopt when a quoted field does not close or text follows it.
std::optional<QStringList> splitLine(const QString &line) {
    QStringList fields;
    int i = 0;
    for (;;) {
        QString field;
        if (i < line.size() && line[i] == QLatin1Char('"')) {
            for (++i;; ++i) {
                if (i >= line.size())
                    return std::nullopt;
                if (line[i] == QLatin1Char('"')) {
                    if (i + 1 < line.size() && line[i + 1] == QLatin1Char('"')) {
                        field += QLatin1Char('"');
                        ++i;
                        continue;
                    }
                    ++i;
                    break;
                }
                field += line[i];
            }
            if (i < line.size() && line[i] != QLatin1Char(';'))
                return std::nullopt;
        } else {
            const int end = line.indexOf(QLatin1Char(';'), i);
            field = line.mid(i, end < 0 ? -1 : end - i);
            i = end < 0 ? static_cast<int>(line.size()) : end;
        }
        fields << field;
        if (i >= line.size())
            return fields;
        ++i; // the separator
    }
}

QString quoted(const QString &field) {
    if (!field.contains(QLatin1Char(';')) && !field.contains(QLatin1Char('"')) && field.trimmed() == field)
        return field;
    return QLatin1Char('"') + QString(field).replace(QStringLiteral("\""), QStringLiteral("\"\"")) + QLatin1Char('"');
}

// Table text for a field, or nullopt when some character has no Windows-1252 form.
std::optional<AnsiText> tableText(const QString &text) {
    const AnsiText converted = AnsiText::fromQString(text);
    if (converted.toQString() != text)
        return std::nullopt;
    return converted;
}

// The school year of the loaded document, found as the periods step finds it.
QString schoolYear(const SenecaDocument &document) {
    const XmlNodeList groups = document.SelectRecords("/SERVICIO/BLOQUE_DATOS/grupo_datos");
    for (int index = 0; index < 2 && index < groups.length(); ++index) {
        const DatoList datos = Datos(groups.item(index));
        if (datos.count() > 1)
            return DatoValue(datos, 0).toQString();
    }
    return {};
}

// The complete courses of CURSOST, the first row of each key.
std::vector<RememberedCourse> completeCourses(const QString &folder, const QString &year) {
    DbfTable table;
    table.open(folder, CoursesTable::Name, DbfTable::Mode::Shared);
    std::vector<RememberedCourse> found;
    std::set<AnsiText> keys;
    for (table.first(); !table.eof(); table.next()) {
        const AnsiText clave = table.text(CoursesTable::Clave);
        if (clave.isEmpty() || !keys.insert(clave).second)
            continue;
        const AnsiText nivel = Clipper::AllTrim(table.text(CoursesTable::Nivel));
        const AnsiText curso = Clipper::AllTrim(table.text(CoursesTable::Curso));
        if (!nivel.isEmpty() && !curso.isEmpty())
            found.push_back({clave, table.text(CoursesTable::Estud), nivel, curso, year});
    }
    table.close();
    return found;
}

} // namespace

namespace RememberedCourses {

QString pathIn(const QString &workDir) { return QDir(workDir).filePath(FileName); }

std::vector<RememberedCourse> read(const QString &path) {
    QFile file(path);
    if (!file.exists())
        return {};
    if (!file.open(QIODevice::ReadOnly))
        throw RunError(QStringLiteral("No se puede leer el archivo de cursos recordados %1: %2")
                           .arg(path, file.errorString()));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw RunError(QStringLiteral("No se puede leer el archivo de cursos recordados %1: %2")
                           .arg(path, file.errorString()));

    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    if (decoder.hasError())
        damaged(path, 1, QStringLiteral("el texto no está en UTF-8"));
    const QStringList lines = text.split(QLatin1Char('\n'));
    std::vector<RememberedCourse> courses;
    bool headerSeen = false;
    for (int i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (i == 0 && line.startsWith(QChar(0xFEFF)))
            line.remove(0, 1);
        if (line.trimmed().isEmpty())
            continue;
        const std::optional<QStringList> fields = splitLine(line);
        if (!fields)
            damaged(path, i + 1, QStringLiteral("unas comillas no se cierran"));
        if (!headerSeen) {
            if (*fields != Header)
                damaged(path, i + 1, QStringLiteral("la primera línea debe ser la cabecera %1").arg(Header.join(u';')));
            headerSeen = true;
            continue;
        }
        if (fields->size() != Header.size())
            damaged(path, i + 1,
                    QStringLiteral("se esperaban %1 campos separados por ';' y hay %2").arg(Header.size()).arg(fields->size()));
        AnsiText values[4];
        for (int f = 0; f < 4; ++f) {
            const std::optional<AnsiText> value = tableText((*fields)[f]);
            if (!value)
                damaged(path, i + 1, QStringLiteral("hay caracteres que las tablas no pueden guardar"));
            values[f] = *value;
        }
        if (values[0].isEmpty() || Clipper::IsBlankText(values[2]) || Clipper::IsBlankText(values[3]))
            damaged(path, i + 1, QStringLiteral("falta la clave, el nivel o el curso"));
        courses.push_back({values[0].left(CoursesTable::ClaveWidth), values[1].left(CoursesTable::EstudWidth),
                           values[2].left(CoursesTable::NivelWidth), values[3].left(CoursesTable::CursoWidth),
                           (*fields)[4].trimmed()});
    }
    if (!headerSeen && !text.trimmed().isEmpty())
        damaged(path, 1, QStringLiteral("falta la cabecera"));
    return courses;
}

void write(const QString &path, const std::vector<RememberedCourse> &courses) {
    QString text = Header.join(u';') + QLatin1Char('\n');
    for (const RememberedCourse &c : courses)
        text += QStringList{quoted(c.clave.toQString()), quoted(c.estud.toQString()), quoted(c.nivel.toQString()),
                            quoted(c.curso.toQString()), quoted(c.year)}
                    .join(u';') +
                QLatin1Char('\n');
    QSaveFile file(path);
    const QByteArray bytes = text.toUtf8();
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw RunError(QStringLiteral("No se pueden guardar los cursos recordados en %1: %2")
                           .arg(path, file.errorString()));
}

std::vector<RememberedCourse> merged(std::vector<RememberedCourse> old, const std::vector<RememberedCourse> &now) {
    for (const RememberedCourse &course : now) {
        auto same = std::find_if(old.begin(), old.end(), [&](const RememberedCourse &o) { return o.clave == course.clave; });
        if (same != old.end())
            *same = course;
        else
            old.push_back(course);
    }
    return old;
}

const RememberedCourse *find(const std::vector<RememberedCourse> &courses, const AnsiText &clave,
                             const AnsiText &estud) {
    const RememberedCourse *byName = nullptr;
    for (const RememberedCourse &c : courses) {
        if (c.clave == clave)
            return &c;
        if (!estud.isEmpty() && c.estud == estud && (!byName || c.year >= byName->year))
            byName = &c;
    }
    return byName;
}

} // namespace RememberedCourses

void FillRememberedCourses(RunState &state, UserInterface &ui, const QString &tableFolder) {
    state.rememberedCourseRows.clear();
    std::vector<RememberedCourse> remembered;
    try {
        remembered = RememberedCourses::read(RememberedCourses::pathIn(state.paths.workDir));
    } catch (const RunError &error) {
        ui.showMessage(error.message() + QStringLiteral(". Se sigue sin los cursos recordados."));
        return;
    }
    if (remembered.empty())
        return;
    DbfTable table;
    table.open(tableFolder, CoursesTable::Name, DbfTable::Mode::Exclusive);
    for (table.first(); !table.eof(); table.next()) {
        if (!Clipper::IsBlankText(table.text(CoursesTable::Nivel)) || !Clipper::IsBlankText(table.text(CoursesTable::Curso)))
            continue;
        const RememberedCourse *found =
            RememberedCourses::find(remembered, table.text(CoursesTable::Clave), table.text(CoursesTable::Estud));
        if (!found)
            continue;
        table.edit();
        table.setText(CoursesTable::Nivel, found->nivel);
        table.setText(CoursesTable::Curso, found->curso);
        table.post();
        state.rememberedCourseRows.push_back(table.position());
    }
    table.close();
}

void RememberCourses(RunState &state, UserInterface &ui) {
    const QString path = RememberedCourses::pathIn(state.paths.workDir);
    try {
        const std::vector<RememberedCourse> now = completeCourses(state.paths.workDir, schoolYear(state.document));
        std::vector<RememberedCourse> old;
        try {
            old = RememberedCourses::read(path);
        } catch (const RunError &) {
            // Reported when the import began; kept aside rather than lost.
            const QString kept = path + QStringLiteral(".bak");
            QFile::remove(kept);
            if (!QFile::copy(path, kept))
                throw RunError(QStringLiteral("No se guardan los cursos recordados: el archivo %1 no se puede "
                                              "leer ni apartar")
                                   .arg(path));
        }
        RememberedCourses::write(path, RememberedCourses::merged(std::move(old), now));
    } catch (const RunError &error) {
        ui.showMessage(error.message());
    }
}
