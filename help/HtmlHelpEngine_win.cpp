#include "help/HtmlHelpEngine.h"

#include <QLibrary>
#include <QWidget>

#include <windows.h>

namespace {
using HtmlHelpEntry = HWND(WINAPI *)(HWND window, LPCSTR file, UINT command, DWORD_PTR data);

// HHCtrl.ocx, loaded at run time so that a system without it still runs the program.
class WindowsHtmlHelp final : public HtmlHelpEngine {
public:
    WindowsHtmlHelp(std::unique_ptr<QLibrary> library, HtmlHelpEntry entry)
        : m_library(std::move(library)), m_entry(entry) {}
    ~WindowsHtmlHelp() override {
        m_entry = nullptr;
        m_library->unload();
    }

    void HtmlHelp(QWidget *window, const QString &file, HtmlHelpCommand command, const HtmlHelpData &data) override {
        const HWND handle = window ? reinterpret_cast<HWND>(window->window()->winId()) : nullptr;
        const QByteArray path = file.toLocal8Bit();
        const QByteArray keyword = data.text.toLocal8Bit();
        const DWORD_PTR value = command == HtmlHelpCommand::DisplayIndex ? reinterpret_cast<DWORD_PTR>(keyword.constData())
                                                                         : DWORD_PTR(data.number);
        m_entry(handle, file.isEmpty() ? nullptr : path.constData(), UINT(command), value);
    }

private:
    std::unique_ptr<QLibrary> m_library;
    HtmlHelpEntry m_entry;
};
} // namespace

std::unique_ptr<HtmlHelpEngine> LoadHtmlHelpEngine() {
    auto library = std::make_unique<QLibrary>(QStringLiteral("HHCtrl.ocx"));
    if (!library->load())
        return nullptr;
    const auto entry = reinterpret_cast<HtmlHelpEntry>(library->resolve("HtmlHelpA"));
    if (!entry) {
        library->unload();
        return nullptr;
    }
    return std::make_unique<WindowsHtmlHelp>(std::move(library), entry);
}
