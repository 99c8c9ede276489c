#include "report/WrittenTimetable.h"

#include "platform/FileFault.h"
#include "platform/RunError.h"
#include "platform/XmlErrorText.h"

#include <QDir>
#include <QFile>

#include <libxml/parser.h>
#include <libxml/parserInternals.h>

#include <cstring>
#include <memory>
#include <string>

namespace {

// The file goes to the parser in pieces of this size.
constexpr qint64 PieceSize = 256 * 1024;

struct ParserFree {
    void operator()(xmlParserCtxt *ctxt) const {
        if (ctxt->myDoc)
            xmlFreeDoc(ctxt->myDoc); // what the default handlers kept: the prolog, no element
        xmlFreeParserCtxt(ctxt);
    }
};

bool is(const xmlChar *name, const char *wanted) {
    return name && std::strcmp(reinterpret_cast<const char *>(name), wanted) == 0;
}

// What the parser's callbacks have read so far. SERVICIO (0) > BLOQUE_DATOS (1) > the
// regular-timetables group (2) > a teacher (3) > an entry (4) > its dato (5).
struct Reading {
    std::vector<WrittenTeacher> teachers;
    int depth = 0; // of the next element to open
    bool inRegular = false;
    bool inEntry = false;
    int field = -1;     // the EntryFields index of the open dato; -1 when none is read
    std::string value;  // its text so far
    QString firstError; // the first error, in Spanish

    static Reading &of(void *context) {
        return *static_cast<Reading *>(static_cast<xmlParserCtxt *>(context)->_private);
    }

    // The value of an attribute among SAX2's (localname, prefix, URI, value, end) fives.
    static std::string attribute(const xmlChar **attributes, int count, const char *name) {
        for (int i = 0; i < count; ++i, attributes += 5)
            if (!attributes[1] && is(attributes[0], name))
                return std::string(reinterpret_cast<const char *>(attributes[3]),
                                   static_cast<size_t>(attributes[4] - attributes[3]));
        return {};
    }

    static void start(void *context, const xmlChar *name, const xmlChar *, const xmlChar *, int, const xmlChar **,
                      int attributeCount, int, const xmlChar **attributes) {
        Reading &r = of(context);
        const int depth = r.depth++;
        if (is(name, "grupo_datos")) {
            if (depth == 2)
                r.inRegular = attribute(attributes, attributeCount, "seq") == "HORARIOS_REGULARES";
            else if (r.inRegular && depth == 3)
                r.teachers.emplace_back();
            r.inEntry = r.inRegular && depth == 4 && !r.teachers.empty();
            if (r.inEntry)
                r.teachers.back().entries.emplace_back();
        } else if (is(name, "dato") && r.inEntry && depth == 5) {
            const std::string field = attribute(attributes, attributeCount, "nombre_dato");
            for (size_t i = 0; i < std::size(EntryFields); ++i)
                if (field == EntryFields[i]) {
                    r.field = static_cast<int>(i);
                    r.value.clear();
                    break;
                }
        } else if (depth <= 4) {
            r.inEntry = false;
        }
    }

    static void end(void *context, const xmlChar *, const xmlChar *, const xmlChar *) {
        Reading &r = of(context);
        if (--r.depth == 5 && r.field >= 0) {
            r.teachers.back().entries.back()[static_cast<size_t>(r.field)] = AnsiText::fromUtf8(r.value);
            r.field = -1;
        }
    }

    // All the text inside the dato, at any depth.
    static void text(void *context, const xmlChar *bytes, int length) {
        Reading &r = of(context);
        if (r.field >= 0)
            r.value.append(reinterpret_cast<const char *>(bytes), static_cast<size_t>(length));
    }

    // Keeps the first error instead of letting libxml2 print it.
    static void error(void *context, xmlErrorPtr error) {
        Reading &r = of(context);
        if (r.firstError.isEmpty() && error && error->message)
            r.firstError = XmlErrorText(*error);
    }
};

} // namespace

std::vector<WrittenTeacher> ReadWrittenTimetable(const QString &path) {
    const QString shown = QDir::toNativeSeparators(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw RunError(
            QStringLiteral("No se puede leer el documento escrito «%1»: %2.").arg(shown, DescribeFileError(file)));

    // Parsed as it is read, with no tree: the document is many times the size of its values.
    xmlSAXHandler handler;
    xmlSAXVersion(&handler, 2);
    handler.startElementNs = &Reading::start;
    handler.endElementNs = &Reading::end;
    handler.characters = &Reading::text;
    handler.ignorableWhitespace = &Reading::text;
    handler.cdataBlock = &Reading::text;
    handler.serror = &Reading::error;
    Reading reading;
    std::unique_ptr<xmlParserCtxt, ParserFree> ctxt(xmlCreatePushParserCtxt(&handler, nullptr, nullptr, 0, nullptr));
    if (!ctxt)
        throw std::bad_alloc();
    xmlCtxtUseOptions(ctxt.get(), XML_PARSE_NONET);
    ctxt->_private = &reading;
    ctxt->userData = ctxt.get(); // the callbacks get the context, and through it the reading

    const auto failure = [&](const QString &reason) {
        return RunError(QStringLiteral("No se puede leer el documento escrito «%1»: %2.").arg(shown, reason));
    };
    int failed = 0;
    QByteArray piece;
    while (!failed && !(piece = file.read(PieceSize)).isEmpty())
        failed = xmlParseChunk(ctxt.get(), piece.constData(), static_cast<int>(piece.size()), 0);
    if (file.error() != QFileDevice::NoError)
        throw failure(DescribeFileError(file));
    if (!failed)
        failed = xmlParseChunk(ctxt.get(), nullptr, 0, 1);
    if (failed || !ctxt->wellFormed)
        throw failure(reading.firstError.isEmpty() ? QStringLiteral("no es XML válido") : reading.firstError);
    return std::move(reading.teachers);
}
