#pragma once
// Windows-1252 for libxml2 where libxml2 has no converter for it (built without iconv, as on
// Windows): Séneca documents may declare it, and reading or saving them must not fail there.

// Registers our Windows-1252 table with libxml2 unless libxml2 already converts the encoding.
void RegisterCp1252WithLibxml();
