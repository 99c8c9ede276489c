#pragma once
// Writes the exported document to its file. The teacher records make up nearly all of it, so
// they are written out one by one as they are finished, never held as a tree: the frame (what
// comes before and after the regular-timetables group) is serialized by the document, the
// records in between as the same serializer writes them (RecordMarkup) and passed through the
// same encoder (a record of plain ASCII, in an encoding that writes ASCII unchanged, goes to
// the file as it is), so the bytes equal those of a document that held every record. An
// encoding in which the frame cannot be split (one not based on ASCII, such as UTF-16) falls
// back to adding every record to the document and saving it whole.
//
// Either way the file goes through a temporary file in the target's folder that replaces the
// target only on finish(), so a failure never leaves a truncated file nor destroys an earlier
// output.

#include "export/TeacherRecords.h"
#include "platform/XmlDocument.h"

#include <QString>
#include <memory>

class TimetableOutput : public TeacherRecordSink {
public:
    enum class Writing { Streamed, WholeDocument };

    // group: the regular-timetables group, already in the document and still empty. In
    // streamed writing the temporary file is created and the frame's head written here.
    TimetableOutput(XmlDocument &doc, XmlNode group, const QString &path, Writing writing = Writing::Streamed);
    ~TimetableOutput() override;

    void add(const RecordGroup &teacherRecord) override;
    // Completes the file and puts it in place of the target. Throws RunError.
    void finish();

    Writing writing() const;

private:
    struct Stream;
    XmlDocument &m_doc;
    XmlNode m_group;
    QString m_path;
    std::unique_ptr<Stream> m_stream; // null when the whole document is saved at the end
};
