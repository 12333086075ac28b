#pragma once

#include <QString>

namespace pelto {

// The extended fields of a song, from its ID3v2 tag, from the SIF information
// (LIST/INFO) of a RIFF-wrapped MPEG file, or from the Vorbis comment of a FLAC, Ogg
// Vorbis or Opus file (a FLAC without one: its ID3v2 tag). Texts are stored untrimmed.
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
// stored, 0 otherwise (not MPEG audio, FLAC, Ogg Vorbis or Opus; no tag of those
// TagSource reads, a Vorbis comment with none of the seven fields counting as none; or
// any failure). Fields it did not reach keep their earlier text. Never throws; safe to
// call from several threads at once for different files.
int ReadExtTag(ExtTagInfo& record, const QString& path);

} // namespace pelto
