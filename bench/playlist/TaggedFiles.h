#pragma once

#include <QString>
#include <QStringList>

// Small MP3 files for the playlist benchmarks: a few frames of silence between an
// ID3v2.3 tag (UTF-16 title "曲 i" and artist "歌手 i % 97") and an ID3v1 tag.

// Writes n such files "00000 song.mp3", "00001 song.mp3", ... into folder and returns
// their paths, last modified an hour ago; empty when one cannot be written.
QStringList makeFiles(const QString& folder, int n);
