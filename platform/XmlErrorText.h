#pragma once
// libxml2's errors in the converter's words: what is wrong, in Spanish, with the names the
// error carries (an element, an entity, an encoding). libxml2's own texts are English.

#include <QString>

struct _xmlError;

QString XmlErrorText(const _xmlError &error);
