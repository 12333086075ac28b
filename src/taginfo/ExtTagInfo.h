#pragma once

#include <QString>

namespace pelto {

// The extended fields of a song, from its ID3v2 tag or from the SIF information
// (LIST/INFO) of a RIFF-wrapped MPEG file. Texts are stored untrimmed.
struct ExtTagInfo {
    QString Title;
    QString Artist;
    QString Album;
    QString Comment;
    QString Genre;
    QString Date;
    QString Track;
};

// Reads the extended fields of a file into the record: 1 when all seven were read and
// stored, 0 otherwise (not MPEG audio, no ID3v2 tag and no SIF information, or any
// failure). Fields it did not reach keep their earlier text. Never throws; safe to
// call from several threads at once for different files.
int ReadExtTag(ExtTagInfo& record, const QString& path);

} // namespace pelto
