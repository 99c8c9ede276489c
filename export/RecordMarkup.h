#pragma once
// The markup of a body record, in UTF-8, exactly as the document's serializer writes the same
// elements without indenting: attributes in their order, an element without content closed
// as <name/>, text and attribute values escaped as libxml2 escapes them when the output names
// its encoding. The encoding itself (character references for what it lacks) is applied
// afterwards, by the output's encoder.

#include "export/MarkupBuffer.h"
#include "export/TeacherRecords.h"

// Appends the markup of the group and everything in it.
void AppendRecordMarkup(MarkupBuffer &out, const RecordGroup &group);
