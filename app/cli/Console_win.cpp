#include "app/cli/Console.h"

#include <windows.h>

void UseUtf8Console() { SetConsoleOutputCP(CP_UTF8); }
