#pragma once

#include "audio/ID3TagInfo.h"

#include <QString>

namespace pelto {

// The ID3v1 tag and the length in whole seconds (the true duration rounded down) of
// any file, open in the player or not. A file that cannot be read gives empty fields
// and length 0; a file without an ID3v1 tag gives empty fields, and so do FLAC, Ogg
// Vorbis and Opus files, which carry none. Safe to call from
// several threads at once: every call works on its own file handle and decoder.
FileInfo readFileInfo(const QString& path);

} // namespace pelto
