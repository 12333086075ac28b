#pragma once

#include "common/FileRead.h"
#include "settings/Settings.h"

#include <QByteArray>
#include <QString>

#include <cstdint>

namespace pelto {

class FieldReader;

// Pelto.cfg: the settings and the window places, read once at start and written whole
// once at exit.
//
// The file is a sequence of fields (FieldReader): a key, then its value. Window places
// are stored in pixels. The first line "[Pelto SaveData Type 2]" says so; a file whose
// line "[Pelto SaveData Type 1]" comes before its places holds them in twips, and a
// file without either line is read as pixels. Keys that are not known, section lines
// and empty lines are passed over field by field. A value that does not read as what
// its key needs (a number, a number that fits the setting, a playlist window size
// below 32768 twips) leaves that setting as it was.

// The file in a program folder (which ends in "/").
QString configFilePath(const QString& programFolder);

// The largest file read: the 29 lines take a few hundred bytes, and no value of
// them comes near this.
constexpr std::int64_t kMaxConfigFileBytes = 64 * 1024;

// LoadConfig: reads the file over `settings`; the current playlist row goes to
// `playListTrNum`. A missing file, or one that cannot be read (refused: not a
// regular file, unreadable, larger than the bound), changes nothing.
ReadOutcome LoadConfig(const QString& path, Settings& settings, int& playListTrNum);
void LoadConfig(FieldReader& reader, Settings& settings, int& playListTrNum);

// The 29 lines SaveConfig writes, UTF-8 with CR LF line ends. Places, sizes and
// column widths go out as single-precision numbers in their shortest form ("120",
// "87.5"); places the settings leave unset go out as the windows are laid out.
QByteArray configText(const Settings& settings, int playListTrNum);

// SaveConfig: replaces the file with configText(), whole or not at all. A failed write
// leaves the old file, says so in one line on stderr and gives false.
bool SaveConfig(const QString& path, const Settings& settings, int playListTrNum);

} // namespace pelto
