#include "export/TimetableOutput.h"

#include "export/RecordMarkup.h"
#include "platform/FileFault.h"
#include "platform/RunError.h"

#include <QDir>
#include <QRegularExpression>
#include <QSaveFile>

#include <libxml/encoding.h>
#include <libxml/tree.h>
#include <libxml/xmlIO.h>
#include <libxml/xmlerror.h>
#include <libxml/xmlsave.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>

namespace {

// Stands in the frame for the records while it is serialized; its name is plain ASCII, so it
// reads the same in every ASCII-based encoding.
constexpr char PlaceholderName[] = "TVS_TEACHER_RECORDS";
constexpr char PlaceholderMarkup[] = "<TVS_TEACHER_RECORDS/>";

QString shown(const QString &path) { return QDir::toNativeSeparators(path); }

// The encoding XmlDocument::serialize writes in.
std::string outputEncoding(const XmlDocument &doc) {
    const std::string declared = doc.declaredEncoding();
    return declared.empty() ? std::string("UTF-8") : declared;
}

// Keeps libxml2 from printing its own report of a failed write while the records are written;
// the failure is seen through the write callback and reported with the file's name.
class QuietLibxml {
public:
    QuietLibxml() : m_handler(xmlStructuredError), m_context(xmlStructuredErrorContext) {
        xmlSetStructuredErrorFunc(nullptr, &QuietLibxml::ignore);
    }
    ~QuietLibxml() { xmlSetStructuredErrorFunc(m_context, m_handler); }
    QuietLibxml(const QuietLibxml &) = delete;
    QuietLibxml &operator=(const QuietLibxml &) = delete;

private:
    static void ignore(void *, xmlErrorPtr) {}
    xmlStructuredErrorFunc m_handler;
    void *m_context;
};

void appendRecordNodes(XmlDocument &doc, XmlNode parent, const RecordGroup &group) {
    XmlNode element = doc.createElement("grupo_datos");
    element.setAttribute("seq", group.seq);
    if (group.registros >= 0)
        element.setAttribute("registros", group.registros);
    for (const RecordDato &d : group.datos) {
        XmlNode dato = doc.createElement("dato");
        dato.setAttribute("nombre_dato", d.name);
        dato.setText(d.value);
        element.appendChild(dato);
    }
    for (const RecordGroup &inner : group.groups)
        appendRecordNodes(doc, element, inner);
    parent.appendChild(element);
}

// Encodings that write every ASCII character as the same byte and keep no state between
// characters: a record of ASCII markup alone goes to the file as it is, without the encoder.
bool passesAsciiUnchanged(const std::string &encoding) {
    static const QRegularExpression known(QStringLiteral("^(UTF-?8|US-ASCII|ASCII|ISO-8859-[0-9]+|WINDOWS-125[0-8]|CP125[0-8])$"),
                                          QRegularExpression::CaseInsensitiveOption);
    return known.match(QString::fromStdString(encoding)).hasMatch();
}

bool isAscii(std::string_view bytes) {
    // Eight bytes at a time: none has its high bit set.
    size_t i = 0;
    for (; i + 8 <= bytes.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, bytes.data() + i, 8);
        if (word & 0x8080808080808080ull)
            return false;
    }
    for (; i < bytes.size(); ++i)
        if (static_cast<unsigned char>(bytes[i]) >= 0x80)
            return false;
    return true;
}

} // namespace

struct TimetableOutput::Stream {
    // What is written is gathered into blocks of this size before it goes to the file.
    static constexpr size_t BlockSize = 256 * 1024;

    QSaveFile file;
    std::string tail;
    std::string markup; // a record on its way to the encoder
    MarkupBuffer block{BlockSize + 64 * 1024};
    xmlOutputBuffer *buffer = nullptr;
    bool asciiUnchanged = false;
    bool encoderHolds = false; // the encoder's buffer may hold bytes not yet in the block
    bool failed = false;

    explicit Stream(const QString &path) : file(path) {}
    ~Stream() {
        if (buffer) {
            QuietLibxml quiet;
            xmlOutputBufferClose(buffer);
        }
    }

    bool writeBlock() {
        const qint64 size = static_cast<qint64>(block.size());
        if (failed || !file.isOpen() || file.write(block.data(), size) != size)
            failed = true;
        block.clear();
        return !failed;
    }

    bool put(const char *bytes, size_t length) {
        block.append(std::string_view(bytes, length));
        return block.size() < BlockSize || writeBlock();
    }

    // Where the encoder hands over what it has encoded.
    static int write(void *context, const char *bytes, int length) {
        auto *self = static_cast<Stream *>(context);
        return self->put(bytes, static_cast<size_t>(length)) ? length : -1;
    }

    [[noreturn]] void writeError(const QString &path) {
        const QString reason = DescribeFileError(file);
        file.cancelWriting();
        throw RunError(QStringLiteral("No se puede escribir el archivo «%1»: %2.").arg(shown(path), reason));
    }
};

TimetableOutput::TimetableOutput(XmlDocument &doc, XmlNode group, const QString &path, Writing writing)
    : m_doc(doc), m_group(group), m_path(path) {
    if (writing == Writing::WholeDocument)
        return;

    XmlNode placeholder = m_doc.createElement(PlaceholderName);
    m_group.appendChild(placeholder);
    const std::string frame = m_doc.serialize();
    m_group.removeChild(placeholder);
    // The group is the last element of the document, so the last occurrence is the placeholder
    // whatever the kept comments hold.
    const size_t at = frame.rfind(PlaceholderMarkup);
    if (at == std::string::npos)
        return;
    const std::string encoding = outputEncoding(m_doc);
    xmlCharEncodingHandler *encoder = xmlFindCharEncodingHandler(encoding.c_str());
    if (!encoder)
        return;

    auto stream = std::make_unique<Stream>(m_path);
    stream->asciiUnchanged = passesAsciiUnchanged(encoding);
    stream->tail = frame.substr(at + sizeof(PlaceholderMarkup) - 1);
    // Unbuffered: every block reaches the file at once, so a full disk fails that write
    // (a buffered one would fail only while committing, where it may go unseen).
    if (!stream->file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        xmlCharEncCloseFunc(encoder);
        throw RunError(QStringLiteral("No se puede crear el archivo «%1»: %2.")
                           .arg(shown(m_path), DescribeFileError(stream->file)));
    }
    // Made once the file is open, since closing the buffer writes to it. As in the document's
    // own serializer, a record that is not plain ASCII passes through the encoder, which turns
    // a character the encoding lacks into a character reference.
    stream->buffer = xmlOutputBufferCreateIO(&Stream::write, nullptr, stream.get(), encoder);
    if (!stream->buffer)
        throw std::bad_alloc();
    if (!stream->put(frame.data(), at))
        stream->writeError(m_path);
    m_stream = std::move(stream);
}

TimetableOutput::~TimetableOutput() = default;

TimetableOutput::Writing TimetableOutput::writing() const {
    return m_stream ? Writing::Streamed : Writing::WholeDocument;
}

void TimetableOutput::add(const RecordGroup &teacherRecord) {
    if (!m_stream) {
        appendRecordNodes(m_doc, m_group, teacherRecord);
        return;
    }
    Stream &s = *m_stream;
    QuietLibxml quiet;
    // Written straight into the block; it stays there when it needs no encoding and nothing
    // the encoder holds must come before it.
    const size_t start = s.block.size();
    AppendRecordMarkup(s.block, teacherRecord);
    const std::string_view markup(s.block.data() + start, s.block.size() - start);
    const bool plain = s.asciiUnchanged && isAscii(markup);
    if (plain && !s.encoderHolds) {
        if (s.block.size() >= Stream::BlockSize && !s.writeBlock())
            s.writeError(m_path);
        return;
    }
    s.markup.assign(markup);
    s.block.truncate(start);
    if (plain) {
        s.encoderHolds = false;
        if (xmlOutputBufferFlush(s.buffer) < 0 || !s.put(s.markup.data(), s.markup.size()))
            s.writeError(m_path);
        return;
    }
    s.encoderHolds = true;
    const int written = xmlOutputBufferWrite(s.buffer, static_cast<int>(s.markup.size()), s.markup.data());
    if (written < 0 || s.failed || s.buffer->error)
        s.writeError(m_path);
}

void TimetableOutput::finish() {
    if (!m_stream) {
        m_doc.save(m_path);
        return;
    }
    Stream &s = *m_stream;
    QuietLibxml quiet;
    // Closing flushes what the encoder still holds and releases it.
    const int closed = xmlOutputBufferClose(std::exchange(s.buffer, nullptr));
    if (closed < 0 || s.failed || !s.put(s.tail.data(), s.tail.size()) || !s.writeBlock())
        s.writeError(m_path);
    if (!s.file.commit())
        throw RunError(QStringLiteral("No se puede guardar el archivo «%1»: %2.").arg(shown(m_path), DescribeFileError(s.file)));
    m_stream.reset();
}
