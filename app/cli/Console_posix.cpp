#include "app/cli/Console.h"

void UseUtf8Console() {}
