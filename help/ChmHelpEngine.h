#pragma once
// The HTML Help engine where there is no HHCtrl.ocx: reads the compiled help file with chmlib and
// shows it in one help window with a contents tree, an index and a topic pane. The window
// belongs to the window of the request, so it stays usable over a modal dialog and goes when its
// owner goes. Commands, on "help file" or "help file::/topic":
//   0  show the topic (the file's default topic when none is given)
//   1  show the contents tree, and the default topic if no page is shown yet
//   2  show the index with the keyword's entry selected, and that entry's topic
//  15  show the topic that the file's context map gives the number; nothing when it gives none
//  18  close the help window
// A file that cannot be read as a compiled help file shows nothing, without a message.

#include "help/HtmlHelpEngine.h"

#include <QPointer>

class ChmHelpWindow;

class ChmHelpEngine final : public HtmlHelpEngine {
public:
    ChmHelpEngine();
    ~ChmHelpEngine() override;
    ChmHelpEngine(const ChmHelpEngine &) = delete;
    ChmHelpEngine &operator=(const ChmHelpEngine &) = delete;

    void HtmlHelp(QWidget *window, const QString &file, HtmlHelpCommand command, const HtmlHelpData &data) override;

    // The open help window; null when none is open.
    ChmHelpWindow *Window() const;

private:
    ChmHelpWindow *WindowFor(const QString &path, QWidget *owner, bool &created);
    void CloseWindow();

    QPointer<ChmHelpWindow> m_window;
};
