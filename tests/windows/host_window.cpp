// A host of our own, as the timetabler is: it opens a window and starts the converter inside it
// with a direction word and the window's handle in hexadecimal, then checks from outside what
// the converter does, through the Win32 API only.
//
//   win-host-window CONVERTER.exe
//
// The converter's folder must be writable (Zetarium.ini goes there) and ZTEMP should name an
// empty work folder, so that the file dialog's cancel finds no file. Prints one line per check
// and "N passed, M failed"; the exit status is 1 when a check failed.

#include <windows.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace {
int passed = 0;
int failed = 0;

void check(bool ok, const char *what) {
    std::printf("%s: %s\n", ok ? "ok" : "FALLO", what);
    std::fflush(stdout);
    ++(ok ? passed : failed);
}

// Lets both windows live while waiting for `done`, up to `ms`.
bool waitFor(const std::function<bool()> &done, DWORD ms) {
    const ULONGLONG end = GetTickCount64() + ms;
    while (GetTickCount64() < end) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (done())
            return true;
        Sleep(50);
    }
    return done();
}

std::wstring titleOf(HWND window) {
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return text;
}

// The visible top-level windows of process `pid` whose title contains `title`.
HWND topLevelWindow(DWORD pid, const std::wstring &title) {
    struct Search {
        DWORD pid;
        std::wstring title;
        HWND found;
    } search{pid, title, nullptr};
    EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            auto *s = reinterpret_cast<Search *>(param);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == s->pid && IsWindowVisible(window) && titleOf(window).find(s->title) != std::wstring::npos) {
                s->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// What a failed check saw: the visible top-level windows of `pid`, with their titles.
void describeWindows(DWORD pid) {
    EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == DWORD(param) && IsWindowVisible(window)) {
                RECT r{};
                GetWindowRect(window, &r);
                std::printf("  ventana %p estilo %08lx (%ld,%ld)-(%ld,%ld) «%ls»\n", static_cast<void *>(window),
                            static_cast<unsigned long>(GetWindowLongPtrW(window, GWL_STYLE)), r.left, r.top, r.right,
                            r.bottom, titleOf(window).c_str());
            }
            return TRUE;
        },
        LPARAM(pid));
    std::fflush(stdout);
}

// Closes the window of `pid` titled `title` once it shows, as its close box would.
bool closeWhenShown(DWORD pid, const std::wstring &title) {
    HWND window = nullptr;
    if (!waitFor([&] { return (window = topLevelWindow(pid, title)) != nullptr; }, 30000)) {
        describeWindows(pid);
        return false;
    }
    PostMessageW(window, WM_CLOSE, 0, 0);
    // Gone before the next window is looked for, so that one close is never taken for two.
    return waitFor([&] { return !IsWindow(window) || !IsWindowVisible(window); }, 10000);
}

LRESULT CALLBACK hostProc(HWND window, UINT message, WPARAM w, LPARAM l) {
    return DefWindowProcW(window, message, w, l);
}

HWND makeHost() {
    static bool registered = false;
    if (!registered) {
        WNDCLASSW kind{};
        kind.lpfnWndProc = hostProc;
        kind.hInstance = GetModuleHandleW(nullptr);
        kind.lpszClassName = L"AnfitrionPrueba";
        kind.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        RegisterClassW(&kind);
        registered = true;
    }
    HWND host = CreateWindowExW(0, L"AnfitrionPrueba", L"Anfitrión de prueba", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                40, 40, 820, 460, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    UpdateWindow(host);
    return host;
}

struct Converter {
    PROCESS_INFORMATION process{};
    bool started = false;

    Converter(const std::wstring &exe, const std::wstring &word, const std::wstring &handle) {
        std::wstring line = L"\"" + exe + L"\" " + word + L" " + handle;
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        started = CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                 &process);
    }
    ~Converter() {
        if (!started)
            return;
        if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT)
            TerminateProcess(process.hProcess, 99);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    DWORD pid() const { return process.dwProcessId; }
    bool ended(DWORD ms) {
        return waitFor([&] { return WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0; }, ms);
    }
};

std::wstring hex(HWND window) {
    wchar_t text[32];
    std::swprintf(text, 32, L"%llX", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window)));
    return text;
}

std::wstring folderOf(const std::wstring &path) { return path.substr(0, path.find_last_of(L"\\/") + 1); }

std::string readAll(const std::wstring &path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

HWND childOf(HWND host) { return FindWindowExW(host, nullptr, nullptr, nullptr); }

// "exportar" in a real window, the file choice cancelled: the converter lives as a borderless
// child, hands -1 back and ends.
void cancelledChoice(const std::wstring &exe, const std::wstring &ini) {
    DeleteFileW(ini.c_str());
    HWND host = makeHost();
    Converter converter(exe, L"exportar", hex(host));
    check(converter.started, "el conversor arranca");
    HWND child = nullptr;
    check(waitFor([&] { return (child = childOf(host)) != nullptr; }, 30000),
          "una ventana hija aparece dentro del anfitrión");
    if (child) {
        DWORD owner = 0;
        GetWindowThreadProcessId(child, &owner);
        // The window gets its parent first and its child style just after.
        LONG_PTR style = 0;
        waitFor([&] { return ((style = GetWindowLongPtrW(child, GWL_STYLE)) & WS_CHILD) != 0; }, 5000);
        check(owner == converter.pid(), "la ventana hija es del conversor");
        check(GetAncestor(child, GA_PARENT) == host, "su padre es la ventana del anfitrión");
        if ((style & WS_CHILD) == 0 || (style & (WS_CAPTION | WS_THICKFRAME | WS_POPUP)) != 0)
            std::printf("  estilo %08lx\n", static_cast<unsigned long>(style));
        check((style & WS_CHILD) != 0, "es una ventana hija (WS_CHILD)");
        check((style & (WS_CAPTION | WS_THICKFRAME | WS_POPUP)) == 0, "no tiene marco ni título");
    }
    check(closeWhenShown(converter.pid(), L"Archivo XML"), "se cancela la elección del archivo");
    check(closeWhenShown(converter.pid(), L"TransVelkorSeneca"), "se cierra el aviso «No existe archivo»");
    if (!converter.ended(20000))
        describeWindows(converter.pid());
    check(converter.ended(0), "el conversor termina");
    check(readAll(ini) == "[Transformadores]\r\nTransformado=-1\r\n", "Zetarium.ini dice Transformado=-1, como en Linux");
    DestroyWindow(host);
}

// Inside the host with a word that runs nothing, the converter is shown there: it fills the
// host's window and follows its size; closing it ends the program, which hands 0 back.
void shownInside(const std::wstring &exe, const std::wstring &ini) {
    DeleteFileW(ini.c_str());
    HWND host = makeHost();
    Converter converter(exe, L"ninguna", hex(host));
    HWND child = nullptr;
    check(waitFor([&] { return (child = childOf(host)) != nullptr && IsWindowVisible(child); }, 30000),
          "con una palabra desconocida, el conversor se muestra dentro del anfitrión");
    const auto fills = [&] {
        RECT inside{}, own{};
        GetClientRect(host, &inside);
        GetWindowRect(child, &own);
        return own.right - own.left == inside.right && own.bottom - own.top == inside.bottom;
    };
    if (child) {
        check(waitFor(fills, 5000), "ocupa todo el interior del anfitrión");
        MoveWindow(host, 40, 40, 900, 560, TRUE);
        check(waitFor(fills, 5000), "sigue el tamaño del anfitrión");
        PostMessageW(child, WM_CLOSE, 0, 0);
    }
    check(converter.ended(20000), "al cerrarlo, el conversor termina");
    check(readAll(ini) == "[Transformadores]\r\nTransformado=0\r\n", "Zetarium.ini dice Transformado=0, como en Linux");
    DestroyWindow(host);
}

// The host's window destroyed while the converter waits in its file dialog: it ends by itself
// and hands 0 back.
void hostWindowGone(const std::wstring &exe, const std::wstring &ini) {
    DeleteFileW(ini.c_str());
    HWND host = makeHost();
    Converter converter(exe, L"exportar", hex(host));
    check(waitFor([&] { return childOf(host) != nullptr; }, 30000), "el conversor entra en el anfitrión");
    check(waitFor([&] { return topLevelWindow(converter.pid(), L"Archivo XML") != nullptr; }, 30000),
          "el conversor espera la elección del archivo");
    DestroyWindow(host);
    check(converter.ended(20000), "al desaparecer el anfitrión, el conversor termina");
    check(readAll(ini) == "[Transformadores]\r\nTransformado=0\r\n", "Zetarium.ini dice Transformado=0, como en Linux");
}

// A handle that names no window: a message says so and the converter runs on its own, writing
// no result for a host.
void notAWindow(const std::wstring &exe, const std::wstring &ini) {
    DeleteFileW(ini.c_str());
    Converter converter(exe, L"exportar", L"1F");
    check(closeWhenShown(converter.pid(), L"TransVelkorSeneca"), "un aviso dice que la ventana 1F no existe");
    check(closeWhenShown(converter.pid(), L"Archivo XML"), "la importación sigue y se cancela la elección");
    check(closeWhenShown(converter.pid(), L"TransVelkorSeneca"), "se cierra el aviso «No existe archivo»");
    HWND main = nullptr;
    check(waitFor([&] { return (main = topLevelWindow(converter.pid(), L"Exportar e importar datos")) != nullptr; },
                  20000),
          "la ventana principal queda abierta por su cuenta");
    if (!main)
        describeWindows(converter.pid());
    if (main)
        check((GetWindowLongPtrW(main, GWL_STYLE) & WS_CAPTION) != 0, "con su título y su marco");
    if (main)
        PostMessageW(main, WM_CLOSE, 0, 0);
    check(converter.ended(20000), "al cerrarla, el conversor termina");
    check(GetFileAttributesW(ini.c_str()) == INVALID_FILE_ATTRIBUTES, "no escribe Zetarium.ini");
}
} // namespace

int wmain(int argc, wchar_t **argv) {
    if (argc != 2) {
        std::fprintf(stderr, "uso: win-host-window CONVERSOR.exe\n");
        return 2;
    }
    const std::wstring exe = argv[1];
    const std::wstring ini = folderOf(exe) + L"Zetarium.ini";
    cancelledChoice(exe, ini);
    shownInside(exe, ini);
    hostWindowGone(exe, ini);
    notAWindow(exe, ini);
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
