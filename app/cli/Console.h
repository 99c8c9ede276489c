#pragma once
// The terminal the command-line tool writes to.

// Makes the terminal show the tool's UTF-8 output as text: Windows' console shows bytes in its
// own code page unless told otherwise; other systems' terminals take UTF-8 already.
void UseUtf8Console();
