#include "help/NelHtmlHelp.h"

#include "platform/NativePaths.h"

#include <QCoreApplication>

TNelHtmlHelpViewer *HelpViewer = nullptr;

namespace {
QString trimmedOfControls(const QString &text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin).unicode() <= 32)
        ++begin;
    while (end > begin && text.at(end - 1).unicode() <= 32)
        --end;
    return text.mid(begin, end - begin);
}
} // namespace

TNelHtmlHelpViewer::Environment TNelHtmlHelpViewer::DefaultEnvironment() {
    return {&ApplicationHelpFile, [] {
                return QCoreApplication::instance() ? QCoreApplication::applicationFilePath() : QString();
            }};
}

TNelHtmlHelpViewer::TNelHtmlHelpViewer(std::unique_ptr<HtmlHelpEngine> engine, Environment environment)
    : m_viewerName(ViewerName), m_engine(std::move(engine)), m_defaultTopicExtension(QStringLiteral(".htm")),
      m_environment(std::move(environment)) {}

TNelHtmlHelpViewer::~TNelHtmlHelpViewer() {
    if (HelpViewer == this)
        HelpViewer = nullptr;
    m_engine.reset(); // unloads the engine's library
}

QString TNelHtmlHelpViewer::HelpFile() const {
    QString file = m_manager ? m_manager->GetHelpFile() : QString();
    if (file.isEmpty() && m_environment.applicationHelpFile)
        file = m_environment.applicationHelpFile();
    if (!file.isEmpty() && FolderPartLength(file) == 0 && m_environment.executableFile) {
        const QString executable = m_environment.executableFile();
        file.prepend(executable.left(FolderPartLength(executable)));
    }
    return file;
}

bool TNelHtmlHelpViewer::IsChm(const QString &fileName) {
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    return dot >= 0 && QStringView(fileName).mid(dot).compare(QLatin1String(".chm"), Qt::CaseInsensitive) == 0;
}

QString TNelHtmlHelpViewer::TopicPath(const QString &topic) const {
    const qsizetype dot = topic.lastIndexOf(QLatin1Char('.'));
    const qsizetype separator = std::max({topic.lastIndexOf(QLatin1Char('\\')), topic.lastIndexOf(QLatin1Char(':')),
                                          topic.lastIndexOf(QLatin1Char('/'))});
    const QString extension = dot > separator ? topic.mid(dot).toLower() : QString();
    QString path = topic;
    if (extension != QLatin1String(".htm") && extension != QLatin1String(".html"))
        path += m_defaultTopicExtension;
    return HelpFile() + QStringLiteral("::/") + path;
}

QString TNelHtmlHelpViewer::KeywordOf(const QString &helpString) {
    const qsizetype colon = helpString.indexOf(QLatin1Char(':'));
    return trimmedOfControls(colon < 0 ? helpString : helpString.mid(colon + 1));
}

void TNelHtmlHelpViewer::CallHtmlHelp(const QString &file, HtmlHelpCommand command, const HtmlHelpData &data) {
    if (!m_engine)
        return;
    if (command == HtmlHelpCommand::CloseAll)
        m_engine->HtmlHelp(nullptr, QString(), command, data);
    else
        m_engine->HtmlHelp(m_manager ? m_manager->GetHandle() : nullptr, file, command, data);
}

int TNelHtmlHelpViewer::UnderstandsKeyword(const QString &) { return IsChm(HelpFile()) ? 1 : 0; }

QStringList TNelHtmlHelpViewer::GetHelpStrings(const QString &keyword) {
    return {QStringLiteral("%1: %2").arg(m_viewerName, keyword)};
}

void TNelHtmlHelpViewer::ShowTableOfContents() {
    const QString file = HelpFile();
    if (IsChm(file))
        CallHtmlHelp(file, HtmlHelpCommand::DisplayToc, {});
}

void TNelHtmlHelpViewer::ShowHelp(const QString &helpString) {
    const QString file = HelpFile();
    if (IsChm(file))
        CallHtmlHelp(file, HtmlHelpCommand::DisplayIndex, {0, KeywordOf(helpString)});
}

void TNelHtmlHelpViewer::SoftShutDown() { CallHtmlHelp(QString(), HtmlHelpCommand::CloseAll, {}); }

void TNelHtmlHelpViewer::ShutDown() {
    SoftShutDown();
    m_manager.reset();
}

bool TNelHtmlHelpViewer::UnderstandsTopic(const QString &) { return IsChm(HelpFile()); }

void TNelHtmlHelpViewer::DisplayTopic(const QString &topic) {
    if (IsChm(HelpFile()))
        CallHtmlHelp(TopicPath(topic), HtmlHelpCommand::DisplayTopic, {});
}

bool TNelHtmlHelpViewer::UnderstandsContext(int, const QString &helpFile) { return IsChm(helpFile); }

void TNelHtmlHelpViewer::DisplayHelpByContext(int context, const QString &) {
    const QString file = HelpFile();
    if (IsChm(file))
        CallHtmlHelp(file, HtmlHelpCommand::HelpContext, {context, QString()});
}

int TNelHtmlHelpViewer::SelectKeyword(const QStringList &entries) {
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const QString &entry = entries.at(i);
        const qsizetype colon = entry.indexOf(QLatin1Char(':'));
        if ((colon < 0 ? entry : entry.left(colon)) == m_viewerName)
            return int(i);
    }
    return 0;
}

int TNelHtmlHelpViewer::TableOfContents(const QStringList &viewerNames) {
    return int(viewerNames.indexOf(m_viewerName));
}

void StartNelHtmlHelp(HelpSystem &system, std::unique_ptr<HtmlHelpEngine> engine) {
    auto viewer = std::make_shared<TNelHtmlHelpViewer>(std::move(engine));
    HelpViewer = viewer.get();
    viewer->SetManager(system.RegisterViewer(viewer));
    system.AssignHelpSelector(viewer);
    WinHelpTester = std::make_shared<TNelWinHelpTester>();
}

void EndNelHtmlHelp(HelpSystem &system) {
    if (HelpViewer && HelpViewer->Manager()) {
        const std::shared_ptr<IHelpManager> manager = HelpViewer->Manager();
        manager->Release(HelpViewer->ViewerId());
        if (HelpViewer)
            HelpViewer->SetManager(nullptr);
    }
    // The help system still holds the viewer as its selector; letting go of that last reference
    // destroys the viewer and its engine now, while the application object still exists.
    if (HelpViewer && system.HelpSelector().get() == static_cast<IHelpSelector *>(HelpViewer))
        system.AssignHelpSelector(nullptr);
}
