#pragma once
// Read access to a compiled HTML help file (.chm) through chmlib: its entries, and what an HTML
// Help engine takes from the file's own tables, which chmlib leaves to its callers: /#SYSTEM
// (title, default topic, contents and index files) and /#IVB with /#STRINGS (the map from context
// numbers to topics). No widgets here. Entry names are paths inside the archive, "/intro.htm".

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

struct chmFile;

class ChmArchive {
public:
    // Null when the file does not exist or is not a compiled help file.
    static std::unique_ptr<ChmArchive> Open(const QString &path);
    ~ChmArchive();
    ChmArchive(const ChmArchive &) = delete;
    ChmArchive &operator=(const ChmArchive &) = delete;

    const QString &Path() const { return m_path; }
    // Entry names compare without regard to case, as the HTML Help engine compares them.
    bool Contains(const QString &entry) const;
    std::optional<QByteArray> Read(const QString &entry) const;
    // The ordinary entries (not the internal /#... and ::DataSpace ones), folders excluded.
    QStringList Entries() const;

    const QString &Title() const { return m_title; }
    // Entry names; the contents and index files fall back on the first .hhc / .hhk entry.
    const QString &DefaultTopic() const { return m_defaultTopic; }
    const QString &ContentsFile() const { return m_contentsFile; }
    const QString &IndexFile() const { return m_indexFile; }

    // Context numbers and the topic names recorded for them, as written in the file.
    const QMap<quint32, QString> &ContextMap() const { return m_contexts; }
    // The entry that a context number opens, empty when the number is not mapped or its topic
    // is missing. The recorded name is a path inside the archive, as Windows' HTML Help reads it:
    // a name that is not an entry (such as the absolute path the page had on the machine that
    // compiled the file) opens nothing there, and nothing here either.
    QString ContextTopic(quint32 context) const;

    // "/dir/page.htm" for "dir\page.htm", "./dir/page.htm", "/dir/x/../page.htm".
    static QString EntryName(const QString &path);

private:
    explicit ChmArchive(chmFile *file, const QString &path);
    void ReadSystem();
    void ReadContextMap();
    QString FirstEntryEndingWith(const QString &suffix) const;

    chmFile *m_file;
    QString m_path;
    QString m_title;
    QString m_defaultTopic;
    QString m_contentsFile;
    QString m_indexFile;
    QMap<quint32, QString> m_contexts;
};
