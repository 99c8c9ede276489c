#include "help/ChmHelpWindow.h"

#include "help/ChmSitemap.h"
#include "help/HtmlText.h"

#include <QDesktopServices>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBrowser>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
constexpr int LocalRole = Qt::UserRole;
const QString ChmScheme = QStringLiteral("chm");

// A sitemap's Local may be a plain path inside the archive or a full "file.chm::/path" reference.
QString entryOfLocal(const QString &local) {
    const qsizetype separator = local.indexOf(QLatin1String("::"));
    return separator < 0 ? local : local.mid(separator + 2);
}

QUrl topicUrl(const QString &topic) {
    const qsizetype hash = topic.indexOf(QLatin1Char('#'));
    QUrl url;
    url.setScheme(ChmScheme);
    url.setPath(ChmArchive::EntryName(hash < 0 ? topic : topic.left(hash)));
    if (hash >= 0)
        url.setFragment(topic.mid(hash + 1));
    return url;
}

// The topic pane: every resource comes from the archive.
class ChmTopicBrowser final : public QTextBrowser {
public:
    ChmTopicBrowser(std::shared_ptr<const ChmArchive> archive, QWidget *parent)
        : QTextBrowser(parent), m_archive(std::move(archive)) {
        setOpenLinks(false);
    }

    QVariant loadResource(int type, const QUrl &name) override {
        const QUrl url = name.isRelative() ? source().resolved(name) : name;
        if (url.scheme() != ChmScheme)
            return QVariant();
        const std::optional<QByteArray> bytes = m_archive->Read(url.path());
        if (!bytes)
            return QVariant();
        if (type == QTextDocument::HtmlResource || type == QTextDocument::StyleSheetResource)
            return DecodeHtmlText(*bytes);
        return *bytes;
    }

private:
    std::shared_ptr<const ChmArchive> m_archive;
};

void addContents(QTreeWidgetItem *parent, QTreeWidget *tree, const QList<ChmSitemapItem> &items) {
    for (const ChmSitemapItem &item : items) {
        auto *node = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tree);
        node->setText(0, item.name);
        if (!item.locals.isEmpty())
            node->setData(0, LocalRole, item.locals.first());
        addContents(node, tree, item.children);
    }
}

void addIndex(QListWidget *list, const QList<ChmSitemapItem> &items, int depth) {
    for (const ChmSitemapItem &item : items) {
        auto *entry = new QListWidgetItem(QString(depth * 4, QLatin1Char(' ')) + item.name, list);
        if (!item.locals.isEmpty())
            entry->setData(LocalRole, item.locals.first());
        addIndex(list, item.children, depth + 1);
    }
}
} // namespace

ChmHelpWindow::ChmHelpWindow(std::shared_ptr<ChmArchive> archive, QWidget *parent)
    : QWidget(parent, Qt::Window), m_archive(std::move(archive)) {
    setWindowTitle(m_archive->Title().isEmpty() ? QStringLiteral("Ayuda") : m_archive->Title());
    resize(900, 620);

    m_topic = new ChmTopicBrowser(m_archive, this);

    m_contents = new QTreeWidget(this);
    m_contents->setHeaderHidden(true);
    if (const auto hhc = m_archive->Read(m_archive->ContentsFile()); hhc && !m_archive->ContentsFile().isEmpty())
        addContents(nullptr, m_contents, ParseSitemap(*hhc));
    m_contents->expandToDepth(0);

    auto *indexPage = new QWidget(this);
    auto *indexLayout = new QVBoxLayout(indexPage);
    indexLayout->setContentsMargins(4, 4, 4, 4);
    indexLayout->addWidget(new QLabel(QStringLiteral("Escriba la palabra clave que busca:"), indexPage));
    m_keyword = new QLineEdit(indexPage);
    indexLayout->addWidget(m_keyword);
    m_index = new QListWidget(indexPage);
    indexLayout->addWidget(m_index);
    if (const auto hhk = m_archive->Read(m_archive->IndexFile()); hhk && !m_archive->IndexFile().isEmpty())
        addIndex(m_index, ParseSitemap(*hhk), 0);

    m_tabs = new QTabWidget(this);
    m_tabs->addTab(m_contents, QStringLiteral("Contenido"));
    m_tabs->addTab(indexPage, QStringLiteral("Índice"));

    auto *toolBar = new QToolBar(this);
    QAction *back = toolBar->addAction(QStringLiteral("Atrás"), m_topic, &QTextBrowser::backward);
    QAction *forward = toolBar->addAction(QStringLiteral("Adelante"), m_topic, &QTextBrowser::forward);
    toolBar->addAction(QStringLiteral("Inicio"), this, [this] { ShowTopic(m_archive->DefaultTopic()); });
    back->setEnabled(false);
    forward->setEnabled(false);
    connect(m_topic, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
    connect(m_topic, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);

    auto *splitter = new QSplitter(this);
    splitter->addWidget(m_tabs);
    splitter->addWidget(m_topic);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({260, 640});

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(toolBar);
    layout->addWidget(splitter);

    connect(m_topic, &QTextBrowser::anchorClicked, this, &ChmHelpWindow::FollowLink);
    connect(m_contents, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem *item) { ShowLocal(item->data(0, LocalRole).toString()); });
    connect(m_contents, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem *item) { ShowLocal(item->data(0, LocalRole).toString()); });
    connect(m_keyword, &QLineEdit::textEdited, this, &ChmHelpWindow::SelectIndexEntry);
    connect(m_keyword, &QLineEdit::returnPressed, this, [this] {
        if (QListWidgetItem *item = m_index->currentItem())
            ShowLocal(item->data(LocalRole).toString());
    });
    connect(m_index, &QListWidget::itemActivated, this,
            [this](QListWidgetItem *item) { ShowLocal(item->data(LocalRole).toString()); });
}

ChmHelpWindow::~ChmHelpWindow() = default;

bool ChmHelpWindow::ShowTopic(const QString &topic) {
    const QUrl url = topicUrl(topic);
    if (topic.isEmpty() || !m_archive->Contains(url.path()))
        return false;
    m_topic->setSource(url);
    return true;
}

void ChmHelpWindow::ShowLocal(const QString &local) {
    if (!local.isEmpty())
        ShowTopic(entryOfLocal(local));
}

QString ChmHelpWindow::CurrentTopic() const {
    const QUrl source = m_topic->source();
    return source.scheme() == ChmScheme ? source.path() : QString();
}

void ChmHelpWindow::ShowContents() { m_tabs->setCurrentIndex(0); }

void ChmHelpWindow::ShowIndex(const QString &keyword) {
    m_tabs->setCurrentIndex(1);
    m_keyword->setText(keyword);
    SelectIndexEntry(keyword);
    if (QListWidgetItem *item = m_index->currentItem(); item && !keyword.isEmpty())
        ShowLocal(item->data(LocalRole).toString());
}

void ChmHelpWindow::SelectIndexEntry(const QString &keyword) {
    const QString wanted = keyword.trimmed();
    if (wanted.isEmpty())
        return;
    for (int row = 0; row < m_index->count(); ++row) {
        QListWidgetItem *item = m_index->item(row);
        if (item->text().trimmed().startsWith(wanted, Qt::CaseInsensitive)) {
            m_index->setCurrentItem(item);
            m_index->scrollToItem(item, QAbstractItemView::PositionAtTop);
            return;
        }
    }
}

void ChmHelpWindow::FollowLink(const QUrl &link) {
    const QUrl url = link.isRelative() ? m_topic->source().resolved(link) : link;
    if (url.scheme() == ChmScheme) {
        if (url.path() == m_topic->source().path() && url.hasFragment())
            m_topic->scrollToAnchor(url.fragment());
        else
            ShowTopic(url.path() + (url.hasFragment() ? QLatin1Char('#') + url.fragment() : QString()));
    } else {
        QDesktopServices::openUrl(url);
    }
}
