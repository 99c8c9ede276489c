#include "report/WrittenTimetable.h"

#include "platform/FileFault.h"
#include "platform/RunError.h"
#include "platform/XmlErrorText.h"

#include <QDir>
#include <QFile>

#include <libxml/xmlreader.h>

#include <cstring>
#include <memory>

namespace {

struct ReaderFree {
    void operator()(xmlTextReader *reader) const { xmlFreeTextReader(reader); }
};
struct StringFree {
    void operator()(xmlChar *text) const { xmlFree(text); }
};

// Keeps the first error instead of letting libxml2 print it.
void keepFirstError(void *context, xmlErrorPtr error) {
    auto *first = static_cast<QString *>(context);
    if (first->isEmpty() && error && error->message)
        *first = XmlErrorText(*error);
}

bool is(const xmlChar *name, const char *wanted) {
    return name && std::strcmp(reinterpret_cast<const char *>(name), wanted) == 0;
}

std::string attribute(xmlTextReader *reader, const char *name) {
    std::unique_ptr<xmlChar, StringFree> value(xmlTextReaderGetAttribute(reader, reinterpret_cast<const xmlChar *>(name)));
    return value ? std::string(reinterpret_cast<const char *>(value.get())) : std::string();
}

} // namespace

std::vector<WrittenTeacher> ReadWrittenTimetable(const QString &path) {
    const QString shown = QDir::toNativeSeparators(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw RunError(QStringLiteral("No se puede leer el documento escrito «%1»: %2.").arg(shown, DescribeFileError(file)));
    // Read from the file as the reader goes: the document is many times the size of its values.
    const auto readFile = [](void *context, char *buffer, int length) {
        return static_cast<int>(static_cast<QFile *>(context)->read(buffer, length));
    };
    std::unique_ptr<xmlTextReader, ReaderFree> reader(
        xmlReaderForIO(readFile, nullptr, &file, nullptr, nullptr, XML_PARSE_NONET));
    if (!reader)
        throw std::bad_alloc();
    QString firstError;
    xmlTextReaderSetStructuredErrorHandler(reader.get(), keepFirstError, &firstError);

    // SERVICIO (0) > BLOQUE_DATOS (1) > the regular-timetables group (2) > a teacher (3) >
    // an entry (4) > its dato (5)
    std::vector<WrittenTeacher> teachers;
    bool inRegular = false;
    bool inEntry = false;
    int result;
    while ((result = xmlTextReaderRead(reader.get())) == 1) {
        if (xmlTextReaderNodeType(reader.get()) != XML_READER_TYPE_ELEMENT)
            continue;
        const int depth = xmlTextReaderDepth(reader.get());
        const xmlChar *name = xmlTextReaderConstLocalName(reader.get());
        if (is(name, "grupo_datos")) {
            if (depth == 2)
                inRegular = attribute(reader.get(), "seq") == "HORARIOS_REGULARES";
            else if (inRegular && depth == 3)
                teachers.emplace_back();
            inEntry = inRegular && depth == 4 && !teachers.empty();
            if (inEntry)
                teachers.back().entries.emplace_back();
        } else if (is(name, "dato") && inEntry && depth == 5) {
            const std::string field = attribute(reader.get(), "nombre_dato");
            for (size_t i = 0; i < std::size(EntryFields); ++i) {
                if (field != EntryFields[i])
                    continue;
                std::unique_ptr<xmlChar, StringFree> text(xmlTextReaderReadString(reader.get()));
                if (text)
                    teachers.back().entries.back()[i] = AnsiText::fromUtf8(reinterpret_cast<const char *>(text.get()));
                break;
            }
        } else if (depth <= 4) {
            inEntry = false;
        }
    }
    if (result < 0)
        throw RunError(QStringLiteral("No se puede leer el documento escrito «%1»: %2.")
                           .arg(shown, firstError.isEmpty() ? QStringLiteral("no es XML válido") : firstError));
    return teachers;
}
