#pragma once
// The help window of our HTML Help engine: the contents tree and the index of a compiled help
// file on the left, the topic pane on the right. Topics are addressed by entry name inside the
// archive ("/cursos.htm", optionally with "#anchor"); pages, style sheets and images are read
// from the archive, pages decoded by the charset they declare.

#include "help/ChmArchive.h"

#include <QWidget>

#include <memory>

class QLineEdit;
class QListWidget;
class QTabWidget;
class QTextBrowser;
class QTreeWidget;
class QUrl;

class ChmHelpWindow final : public QWidget {
    Q_OBJECT
public:
    explicit ChmHelpWindow(std::shared_ptr<ChmArchive> archive, QWidget *parent = nullptr);
    ~ChmHelpWindow() override;

    const ChmArchive &Archive() const { return *m_archive; }

    // False, and nothing changes, when the archive has no such entry.
    bool ShowTopic(const QString &topic);
    void ShowContents();
    // Selects the first index entry that begins with the keyword (letter case aside) and shows its topic.
    void ShowIndex(const QString &keyword);
    // The entry of the page shown, without anchor; empty before the first page.
    QString CurrentTopic() const;

    QTreeWidget *ContentsTree() const { return m_contents; }
    QListWidget *IndexList() const { return m_index; }
    QLineEdit *IndexKeyword() const { return m_keyword; }
    QTextBrowser *TopicPane() const { return m_topic; }

private:
    void FollowLink(const QUrl &link);
    void SelectIndexEntry(const QString &keyword);
    void ShowLocal(const QString &local);

    std::shared_ptr<ChmArchive> m_archive;
    QTabWidget *m_tabs = nullptr;
    QTreeWidget *m_contents = nullptr;
    QLineEdit *m_keyword = nullptr;
    QListWidget *m_index = nullptr;
    QTextBrowser *m_topic = nullptr;
};
