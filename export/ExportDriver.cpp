#include "export/ExportDriver.h"

#include "export/ExportTables.h"
#include "export/TeacherRecords.h"
#include "export/TimetableOutput.h"
#include "platform/DbfTable.h"
#include "platform/RunError.h"
#include "platform/XmlDocument.h"
#include "report/ExportCheck.h"
#include "seneca/DirectionRun.h"
#include "seneca/Messages.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include <new>
#include <string>

namespace {

enum class ExportEnd { Finished, NoPeriods };

QString shown(const QString &path) { return QDir::toNativeSeparators(path); }

[[noreturn]] void notSeneca(const QString &path, const QString &reason) {
    throw RunError(QStringLiteral("El archivo «%1» no es un documento de Séneca: %2. No se ha escrito nada.")
                       .arg(shown(path), reason));
}

// The first n characters (not bytes) of UTF-8 text; all of it when it is shorter.
std::string leadingCharacters(const std::string &utf8, int n) {
    size_t end = 0;
    for (int count = 0; end < utf8.size() && count < n; ++count) {
        ++end;
        while (end < utf8.size() && (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80)
            ++end;
    }
    return utf8.substr(0, end);
}

// The first four characters of all the text below the first child of BLOQUE_DATOS: in a
// Séneca export that child is the school-year group, whose first value is the year code.
// Without any element below BLOQUE_DATOS there is no year group (blank text kept inside an
// otherwise empty element does not count).
std::string schoolYearCode(const XmlDocument &doc, const QString &path) {
    if (doc.selectOne("/SERVICIO/BLOQUE_DATOS/*").isNull())
        notSeneca(path, QStringLiteral("no tiene datos en /SERVICIO/BLOQUE_DATOS"));
    return leadingCharacters(doc.selectOne("/SERVICIO/BLOQUE_DATOS").firstChild().text(), 4);
}

// F_INICIO and F_FIN of the first record of PERIODOS (empty when it has none). The host may
// have the table open, so it is opened shared.
SchoolYearDates readPeriods(const QString &workDir) {
    DbfTable periods;
    periods.open(workDir, QStringLiteral("PERIODOS"), DbfTable::Mode::Shared);
    SchoolYearDates dates;
    periods.first();
    if (!periods.eof()) {
        dates.start = periods.text(QStringLiteral("F_INICIO"));
        dates.end = periods.text(QStringLiteral("F_FIN"));
    }
    periods.close();
    return dates;
}

XmlNode appendElement(XmlDocument &doc, XmlNode parent, const char *name) {
    XmlNode element = doc.createElement(name);
    parent.appendChild(element);
    return element;
}

QString resultPath(const QString &inputFile) {
    const QFileInfo input(inputFile);
    return input.absoluteDir().filePath(QStringLiteral("ResultadoVelkor") + input.fileName());
}

// Everything between the chosen file and the closing messages, under the wait cursor. The
// tables are released whichever way it ends.
ExportEnd runExport(const QString &workDir, const QString &inputFile, UserInterface &ui, ExportCounts &counts) {
    BusyCursor busy(ui);
    ExportTables tables;
    tables.open(workDir);

    // Of the input only its frame and the year code are used: the values below the year group
    // stay, every other record goes as soon as it is read.
    XmlDocument doc;
    const auto keepFirstGroup = [](XmlNode element) {
        const XmlNode group = element.parent();
        return group.parent().firstChild().raw() != group.raw();
    };
    if (!doc.load(inputFile, keepFirstGroup)) {
        const XmlDocument::ParseError &e = doc.parseError();
        notSeneca(inputFile, e.line > 0 ? QStringLiteral("línea %1: %2").arg(e.line).arg(e.reason) : e.reason);
    }
    const std::string year = schoolYearCode(doc, inputFile);

    if (DbfTable::findFile(workDir, QStringLiteral("PERIODOS")).isEmpty())
        return ExportEnd::NoPeriods;
    const SchoolYearDates dates = readPeriods(workDir);

    // The input is the frame: its declaration, comments and processing instructions stay, and
    // the new SERVICIO comes after all of them. Its document type does not: Séneca's documents
    // have none, and the entities it may declare are not the result's.
    doc.removeDocumentElement();
    doc.removeDoctype(); // nor its entities: the result declares none
    XmlNode servicio = doc.createElement("SERVICIO");
    servicio.setAttribute("modulo", std::string("HORARIOS"));
    servicio.setAttribute("tipo", std::string("I"));
    servicio.setAttribute("autor", std::string("ZETARIUM"));
    servicio.setAttribute(
        "fecha", QDateTime::currentDateTime().toString(QStringLiteral("dd/MM/yyyy HH:mm:ss")).toStdString());
    doc.appendTopLevel(servicio);
    XmlNode block = appendElement(doc, servicio, "BLOQUE_DATOS");

    XmlNode yearGroup = appendElement(doc, block, "grupo_datos");
    yearGroup.setAttribute("seq", std::string("ANNO_ACADEMICO"));
    XmlNode yearDato = appendElement(doc, yearGroup, "dato");
    yearDato.setAttribute("nombre_dato", std::string("C_ANNO"));
    yearDato.setText(year);

    // One teacher record is written for every visible PROFT record, so counting the same
    // records keeps registros equal to the records that follow.
    XmlNode timetables = appendElement(doc, block, "grupo_datos");
    timetables.setAttribute("seq", std::string("HORARIOS_REGULARES"));
    timetables.setAttribute("registros", static_cast<long long>(tables.Profesor.recordCount()));

    TimetableOutput output(doc, timetables, resultPath(inputFile));
    ExportCounts written = WriteTeacherRecords(output, tables, dates);
    tables.close();
    output.finish();
    written.output = resultPath(inputFile);
    counts = written;
    return ExportEnd::Finished;
}

} // namespace

void BImportarClick(RunState &state, UserInterface &ui) {
    if (!ChooseExistingFile(state, ui))
        return;

    ExportEnd end;
    try {
        end = runExport(state.paths.workDir, state.rememberedFile, ui, state.exported);
    } catch (const RunError &error) {
        ui.showError(error.message());
        return;
    } catch (const std::bad_alloc &) {
        ui.showError(QStringLiteral("No hay memoria suficiente para terminar la exportación. No se ha escrito nada."));
        return;
    }
    if (end == ExportEnd::NoPeriods) {
        // The window stays open, also in host mode, so the user can import again.
        ui.showMessage(Msg::NoPeriods);
        return;
    }

    // The check reads the document back from its file, as Séneca will.
    const QString output = state.exported.output;
    const QString input = state.rememberedFile;
    const QString workDir = state.paths.workDir;
    WriteRunReport(state, ui, ExportReportPath(output), [&] { return CheckExport(output, input, workDir); });
    FinishRun(state, ui);
}
