// Another program that holds a table: opens the file and locks all of it with LockFileEx, as
// a program that keeps a table for itself would, says "bloqueado" on its standard output, and
// keeps the lock until its standard input closes or says something.
//
//   win-lock-holder FILE

#include <windows.h>

#include <cstdio>

int wmain(int argc, wchar_t **argv) {
    if (argc != 2) {
        std::fprintf(stderr, "uso: win-lock-holder ARCHIVO\n");
        return 2;
    }
    HANDLE file = CreateFileW(argv[1], GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        std::fprintf(stderr, "no se puede abrir (error %lu)\n", GetLastError());
        return 1;
    }
    OVERLAPPED whole{};
    if (!LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD, MAXDWORD, &whole)) {
        std::fprintf(stderr, "no se puede bloquear (error %lu)\n", GetLastError());
        return 1;
    }
    std::printf("bloqueado\n");
    std::fflush(stdout);
    std::getchar();
    CloseHandle(file);
    return 0;
}
