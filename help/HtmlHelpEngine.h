#pragma once
// The HTML Help engine that shows compiled help files (.chm): one entry taking a window, a file
// or "file::/topic" path, a command and its data, its result ignored. On Windows it is the entry
// HtmlHelpA of HHCtrl.ocx; elsewhere our own engine on chmlib with a Qt help window.

#include <QString>
#include <QtGlobal>

#include <memory>

class QWidget;

enum class HtmlHelpCommand : int {
    DisplayTopic = 0,  // file is "help file::/topic"; data 0
    DisplayToc = 1,    // data 0
    DisplayIndex = 2,  // data is the keyword text
    HelpContext = 15,  // data is the context number
    CloseAll = 18,     // no window, no file, data 0
};

struct HtmlHelpData {
    qintptr number = 0;
    QString text; // the keyword of DisplayIndex
};

class HtmlHelpEngine {
public:
    virtual ~HtmlHelpEngine() = default;
    virtual void HtmlHelp(QWidget *window, const QString &file, HtmlHelpCommand command, const HtmlHelpData &data) = 0;
};

// The engine of this system, or null when it is missing (no HHCtrl.ocx or no HtmlHelpA in it on
// Windows). A missing engine is not an error: help shows nothing.
std::unique_ptr<HtmlHelpEngine> LoadHtmlHelpEngine();
