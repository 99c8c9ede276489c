// Build tool: turns the subject catalogue's source (data/senematerias.csv) into the dBase
// table SENEMATERIAS.DBF that the subjects step reads beside the programs.
//
//   make-catalogue SOURCE.csv OUTPUT.DBF
//
// A faulty source (wrong number of fields, a code longer than its field, a name or code
// repeated, a character outside Windows-1252) stops the build with the line it is on, and no
// table is left behind.

#include "platform/AnsiText.h"
#include "platform/DbfTable.h"
#include "platform/RunError.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>
#include <set>
#include <vector>

namespace {

struct Row {
    AnsiText name;
    AnsiText code;
    AnsiText longCode;
};

const QString Nombre = QStringLiteral("NOMBRE");
const QString Cod = QStringLiteral("COD");
const QString CodLargo = QStringLiteral("CODLARGO");
constexpr int NameWidth = 80;
constexpr int CodeWidth = 10;

[[noreturn]] void fail(const QString &source, int line, const QString &what) {
    throw RunError(QStringLiteral("%1:%2: %3").arg(source).arg(line).arg(what));
}

// A field as table text; one that Windows-1252 cannot hold exactly is refused rather than
// written with '?' in it.
AnsiText tableText(const QString &field, const QString &source, int line) {
    const AnsiText text = AnsiText::fromQString(field.trimmed());
    if (text.toQString() != field.trimmed())
        fail(source, line, QStringLiteral("«%1» tiene caracteres fuera de Windows-1252").arg(field));
    return text;
}

std::vector<Row> readSource(const QString &source) {
    QFile file(source);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        throw RunError(QStringLiteral("No se puede leer %1: %2").arg(source, file.errorString()));
    QTextStream in(&file);
    in.setEncoding(QStringConverter::Utf8);

    std::vector<Row> rows;
    std::set<AnsiText> names;
    std::set<AnsiText> codes;
    for (int line = 1; !in.atEnd(); ++line) {
        const QString text = in.readLine();
        if (text.trimmed().isEmpty() || text.trimmed().startsWith(QLatin1Char('#')))
            continue;
        const QStringList fields = text.split(QLatin1Char(';'));
        if (fields.size() != 3)
            fail(source, line, QStringLiteral("se esperan tres campos NOMBRE;COD;CODLARGO"));
        Row row{tableText(fields[0], source, line), tableText(fields[1], source, line),
                tableText(fields[2], source, line)};
        if (row.name.isEmpty() || row.name.size() > NameWidth)
            fail(source, line, QStringLiteral("el nombre debe tener entre 1 y %1 caracteres").arg(NameWidth));
        if (row.code.isEmpty() || row.code.size() > CodeWidth || row.longCode.size() > CodeWidth)
            fail(source, line, QStringLiteral("COD (no vacío) y CODLARGO tienen como mucho %1 caracteres").arg(CodeWidth));
        // Only the first row of a name is ever found, and one code for two names would make
        // the second subject's code a numbered one.
        if (!names.insert(row.name).second)
            fail(source, line, QStringLiteral("nombre repetido: %1").arg(row.name.toQString()));
        if (!codes.insert(row.code).second)
            fail(source, line, QStringLiteral("COD repetido: %1").arg(row.code.toQString()));
        rows.push_back(std::move(row));
    }
    return rows;
}

void writeTable(const QString &output, const std::vector<Row> &rows) {
    const QFileInfo target(output);
    const QString folder = target.absolutePath();
    const QString name = target.completeBaseName();
    const QString old = DbfTable::findFile(folder, name);
    if (!old.isEmpty() && !QFile::remove(old))
        throw RunError(QStringLiteral("No se puede sustituir %1").arg(old));

    DbfTable::create(folder, name,
                     {{Nombre, DbfFieldType::Character, NameWidth},
                      {Cod, DbfFieldType::Character, CodeWidth},
                      {CodLargo, DbfFieldType::Character, CodeWidth}});
    try {
        DbfTable table;
        table.open(folder, name, DbfTable::Mode::Exclusive);
        for (const Row &row : rows) {
            table.append();
            table.setText(Nombre, row.name);
            table.setText(Cod, row.code);
            table.setText(CodLargo, row.longCode);
            table.post();
        }
        table.close();
    } catch (...) {
        QFile::remove(DbfTable::findFile(folder, name));
        throw;
    }
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    QTextStream err(stderr);
    if (args.size() != 3) {
        err << "uso: make-catalogue ORIGEN.csv SALIDA.DBF\n";
        return 2;
    }
    try {
        const std::vector<Row> rows = readSource(args[1]);
        writeTable(args[2], rows);
    } catch (const RunError &error) {
        err << error.message() << '\n';
        return 1;
    }
    return 0;
}
