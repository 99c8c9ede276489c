#include "platform/IniFile.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <optional>

namespace {

// Blanks around names and values as the profile functions skip them.
QByteArray trimmed(QByteArray text) {
    return text.trimmed();
}

bool sameName(const QByteArray &a, const QByteArray &b) {
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

struct Line {
    qsizetype start = 0;
    qsizetype length = 0;    // without the line end
    qsizetype endLength = 0; // 0 for a last line without line end, 1 for LF, 2 for CRLF
    qsizetype next() const { return start + length + endLength; }
};

QList<Line> splitLines(const QByteArray &content) {
    QList<Line> lines;
    qsizetype pos = 0;
    while (pos < content.size()) {
        const qsizetype lf = content.indexOf('\n', pos);
        Line line;
        line.start = pos;
        if (lf < 0) {
            line.length = content.size() - pos;
        } else {
            const bool crlf = lf > pos && content[lf - 1] == '\r';
            line.length = lf - pos - (crlf ? 1 : 0);
            line.endLength = crlf ? 2 : 1;
        }
        lines.append(line);
        pos = line.next();
    }
    return lines;
}

QByteArray lineEndOf(const QByteArray &content) {
    const qsizetype lf = content.indexOf('\n');
    if (lf > 0 && content[lf - 1] == '\r')
        return "\r\n";
    return lf >= 0 ? QByteArray("\n") : QByteArray("\r\n");
}

// The section name of a "[name]" line, or nothing when the line is no section header.
std::optional<QByteArray> sectionName(const QByteArray &text) {
    const QByteArray t = trimmed(text);
    if (!t.startsWith('['))
        return std::nullopt;
    const qsizetype close = t.indexOf(']');
    return trimmed(close < 0 ? t.mid(1) : t.mid(1, close - 1));
}

QString reasonOf(QFileDevice::FileError error) {
    switch (error) {
    case QFileDevice::PermissionsError:
        return QStringLiteral("permiso denegado");
    case QFileDevice::ReadError:
        return QStringLiteral("no se puede leer");
    case QFileDevice::WriteError:
    case QFileDevice::ResourceError:
        return QStringLiteral("no se puede escribir");
    default:
        return QStringLiteral("no se puede abrir ni crear");
    }
}

} // namespace

namespace IniFile {

QByteArray withValue(const QByteArray &content, const QByteArray &section, const QByteArray &key,
                     const QByteArray &value) {
    static const QByteArray Bom("\xEF\xBB\xBF");
    const QByteArray eol = lineEndOf(content);
    const QByteArray entry = key + '=' + value;

    const QList<Line> lines = splitLines(content);
    bool inSection = false;
    qsizetype insertAt = -1;      // just after the last non-blank line of the section
    bool insertNeedsEol = false;  // that line is the file's last and has no line end
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const Line &line = lines[i];
        QByteArray text = content.mid(line.start, line.length);
        if (i == 0 && text.startsWith(Bom))
            text = text.mid(Bom.size());

        if (const auto name = sectionName(text)) {
            if (inSection)
                break; // the next section: the key was not there
            inSection = sameName(*name, section);
            if (inSection) {
                insertAt = line.next();
                insertNeedsEol = line.endLength == 0;
            }
            continue;
        }
        if (!inSection)
            continue;
        const qsizetype eq = text.indexOf('=');
        if (eq >= 0 && sameName(trimmed(text.left(eq)), key)) {
            // Keep the key as the file spells it; only the value after it changes.
            const qsizetype keyEnd = line.start + (line.length - text.size()) + eq;
            QByteArray result = content.left(keyEnd);
            while (result.endsWith(' ') || result.endsWith('\t'))
                result.chop(1);
            return result + '=' + value + content.mid(line.start + line.length);
        }
        if (!trimmed(text).isEmpty()) {
            insertAt = line.next();
            insertNeedsEol = line.endLength == 0;
        }
    }

    if (insertAt >= 0)
        return content.left(insertAt) + (insertNeedsEol ? eol : QByteArray()) + entry + eol + content.mid(insertAt);

    QByteArray result = content;
    if (!result.isEmpty() && !result.endsWith('\n'))
        result += eol;
    return result + '[' + section + ']' + eol + entry + eol;
}

QString writeValue(const QString &path, const QByteArray &section, const QByteArray &key, const QByteArray &value) {
    const QString shown = QDir::toNativeSeparators(path);
    auto failure = [&](QFileDevice::FileError error) {
        return QStringLiteral("No se puede guardar el resultado en \"%1\": %2.").arg(shown, reasonOf(error));
    };

    QByteArray content;
    QFile existing(path);
    if (existing.exists()) {
        if (!existing.open(QIODevice::ReadOnly))
            return failure(existing.error());
        content = existing.readAll();
        if (existing.error() != QFileDevice::NoError)
            return failure(existing.error());
        // Closed before the new file takes its place: Windows renames nothing over an open file.
        existing.close();
    }

    QSaveFile file(path);
    // A folder the user may not create files in, holding a file they may write, still works.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        return failure(file.error());
    const QByteArray updated = withValue(content, section, key, value);
    if (file.write(updated) != updated.size() || !file.commit())
        return failure(file.error() == QFileDevice::NoError ? QFileDevice::WriteError : file.error());
    return {};
}

} // namespace IniFile
