#include "help/WinHelpViewer.h"

std::shared_ptr<IWinHelpTester> WinHelpTester;

namespace {
bool isWinHelpFile(const QString &file) { return file.endsWith(QLatin1String(".hlp"), Qt::CaseInsensitive); }
} // namespace

QString TWinHelpViewer::HelpFile() const {
    QString file = m_manager ? m_manager->GetHelpFile() : QString();
    if (file.isEmpty())
        file = ApplicationHelpFile();
    if (file.isEmpty() && WinHelpTester)
        file = WinHelpTester->GetDefaultHelpFile();
    return file;
}

int TWinHelpViewer::UnderstandsKeyword(const QString &keyword) {
    if (WinHelpTester)
        return WinHelpTester->CanShowALink(keyword, HelpFile()) ? 1 : 0;
    return isWinHelpFile(HelpFile()) ? 1 : 0;
}

QStringList TWinHelpViewer::GetHelpStrings(const QString &keyword) {
    if (WinHelpTester)
        return WinHelpTester->GetHelpStrings(keyword);
    return {ViewerName + QStringLiteral(": ") + keyword};
}

bool TWinHelpViewer::UnderstandsTopic(const QString &topic) {
    if (WinHelpTester)
        return WinHelpTester->CanShowTopic(topic, HelpFile());
    return isWinHelpFile(HelpFile());
}

bool TWinHelpViewer::UnderstandsContext(int context, const QString &helpFile) {
    if (WinHelpTester)
        return WinHelpTester->CanShowContext(context, helpFile);
    return isWinHelpFile(helpFile);
}

void RegisterWinHelpViewer(HelpSystem &system) {
    auto viewer = std::make_shared<TWinHelpViewer>();
    viewer->SetManager(system.RegisterViewer(viewer));
}
