#include "help/ChmArchive.h"

#include "platform/Cp1252.h"

#include <QDir>
#include <QFile>
#include <QtEndian>

#include <chm_lib.h>

namespace {
// The internal tables hold ANSI text of the file's language; our files are Windows-1252.
QString ansiString(const QByteArray &bytes, qsizetype offset, qsizetype limit) {
    if (offset < 0 || offset >= bytes.size())
        return QString();
    limit = std::min(limit, bytes.size() - offset);
    const char *start = bytes.constData() + offset;
    const qsizetype length = qstrnlen(start, size_t(limit));
    return QString::fromStdString(Cp1252::toUtf8(std::string_view(start, size_t(length))));
}

quint16 word(const QByteArray &bytes, qsizetype at) { return qFromLittleEndian<quint16>(bytes.constData() + at); }
quint32 dword(const QByteArray &bytes, qsizetype at) { return qFromLittleEndian<quint32>(bytes.constData() + at); }

// Record codes of /#SYSTEM.
enum SystemCode : quint16 { ContentsFileCode = 0, IndexFileCode = 1, DefaultTopicCode = 2, TitleCode = 3 };
} // namespace

QString ChmArchive::EntryName(const QString &path) {
    QString name = path;
    name.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (!name.startsWith(QLatin1Char('/')))
        name.prepend(QLatin1Char('/'));
    return QDir::cleanPath(name);
}

std::unique_ptr<ChmArchive> ChmArchive::Open(const QString &path) {
    if (path.isEmpty() || !QFile::exists(path))
        return nullptr;
    chmFile *file = chm_open(QFile::encodeName(path).constData());
    if (!file)
        return nullptr;
    std::unique_ptr<ChmArchive> archive(new ChmArchive(file, path));
    archive->ReadSystem();
    archive->ReadContextMap();
    return archive;
}

ChmArchive::ChmArchive(chmFile *file, const QString &path) : m_file(file), m_path(path) {}

ChmArchive::~ChmArchive() { chm_close(m_file); }

bool ChmArchive::Contains(const QString &entry) const {
    chmUnitInfo info;
    return chm_resolve_object(m_file, EntryName(entry).toUtf8().constData(), &info) == CHM_RESOLVE_SUCCESS;
}

std::optional<QByteArray> ChmArchive::Read(const QString &entry) const {
    chmUnitInfo info;
    const QByteArray name = entry.startsWith(QLatin1String("/#")) ? entry.toLatin1() : EntryName(entry).toUtf8();
    if (chm_resolve_object(m_file, name.constData(), &info) != CHM_RESOLVE_SUCCESS)
        return std::nullopt;
    // A help file is small; anything claiming more than 64 MB in one entry is damaged.
    if (info.length > 64u * 1024 * 1024)
        return std::nullopt;
    QByteArray bytes(qsizetype(info.length), Qt::Uninitialized);
    LONGUINT64 done = 0;
    while (done < info.length) {
        const LONGINT64 got = chm_retrieve_object(m_file, &info, reinterpret_cast<unsigned char *>(bytes.data()) + done,
                                                  done, LONGINT64(info.length - done));
        if (got <= 0)
            return std::nullopt;
        done += LONGUINT64(got);
    }
    return bytes;
}

QStringList ChmArchive::Entries() const {
    QStringList entries;
    const auto collect = [](chmFile *, chmUnitInfo *info, void *context) -> int {
        static_cast<QStringList *>(context)->append(QString::fromUtf8(info->path));
        return CHM_ENUMERATOR_CONTINUE;
    };
    chm_enumerate(m_file, CHM_ENUMERATE_NORMAL | CHM_ENUMERATE_FILES, collect, &entries);
    return entries;
}

QString ChmArchive::FirstEntryEndingWith(const QString &suffix) const {
    for (const QString &entry : Entries())
        if (entry.endsWith(suffix, Qt::CaseInsensitive))
            return entry;
    return QString();
}

void ChmArchive::ReadSystem() {
    // A version number, then records of a 16-bit code, a 16-bit length and that many bytes.
    const QByteArray system = Read(QStringLiteral("/#SYSTEM")).value_or(QByteArray());
    for (qsizetype at = 4; at + 4 <= system.size();) {
        const quint16 code = word(system, at);
        const quint16 length = word(system, at + 2);
        const qsizetype data = at + 4;
        if (data + length > system.size())
            break;
        const QString text = ansiString(system, data, length);
        switch (code) {
        case ContentsFileCode:
            m_contentsFile = text.isEmpty() ? QString() : EntryName(text);
            break;
        case IndexFileCode:
            m_indexFile = text.isEmpty() ? QString() : EntryName(text);
            break;
        case DefaultTopicCode:
            m_defaultTopic = text.isEmpty() ? QString() : EntryName(text);
            break;
        case TitleCode:
            m_title = text;
            break;
        default:
            break;
        }
        at = data + length;
    }
    if (m_contentsFile.isEmpty() || !Contains(m_contentsFile))
        m_contentsFile = FirstEntryEndingWith(QStringLiteral(".hhc"));
    if (m_indexFile.isEmpty() || !Contains(m_indexFile))
        m_indexFile = FirstEntryEndingWith(QStringLiteral(".hhk"));
    if (m_defaultTopic.isEmpty() || !Contains(m_defaultTopic)) {
        m_defaultTopic = FirstEntryEndingWith(QStringLiteral(".htm"));
        if (m_defaultTopic.isEmpty())
            m_defaultTopic = FirstEntryEndingWith(QStringLiteral(".html"));
    }
}

void ChmArchive::ReadContextMap() {
    // /#IVB: the byte length of the pairs that follow, then pairs of a context number and the
    // offset of the topic's name in /#STRINGS (NUL-terminated strings).
    const QByteArray ivb = Read(QStringLiteral("/#IVB")).value_or(QByteArray());
    const QByteArray strings = Read(QStringLiteral("/#STRINGS")).value_or(QByteArray());
    if (ivb.size() < 4)
        return;
    const qsizetype end = std::min<qsizetype>(ivb.size(), 4 + qsizetype(dword(ivb, 0)));
    for (qsizetype at = 4; at + 8 <= end; at += 8) {
        const QString name = ansiString(strings, qsizetype(dword(ivb, at + 4)), strings.size());
        if (!name.isEmpty() && !m_contexts.contains(dword(ivb, at)))
            m_contexts.insert(dword(ivb, at), name);
    }
}

QString ChmArchive::ContextTopic(quint32 context) const {
    const QString recorded = m_contexts.value(context);
    if (recorded.isEmpty())
        return QString();
    const QString entry = EntryName(recorded);
    return Contains(entry) ? entry : QString();
}
