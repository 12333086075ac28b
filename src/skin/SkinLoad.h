#pragma once

#include "skin/SkinState.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace pelto {

// When a skin is applied: at start (a configured skin without a definition file falls
// back to the standard skin in the same start, so the window is never left blank) or
// by a later choice (which changes nothing on screen when the chosen folder has none).
enum class SkinLoadTime { AtStart, Later };

struct SkinLoadResult {
    // The new look; nullopt when the window is to stay exactly as it was.
    std::optional<SkinState> state;
    // The current skin name after the load: the requested one, or "standard" when the
    // requested folder had no _skin.cfg.
    QString skinName;
    // The folder that was applied (empty when none was).
    QString skinFolder;
};

// Finds the folder of skinName in the skin roots and, when it holds a _skin.cfg, reads
// it over previous.
SkinLoadResult loadSkinState(const QStringList& skinRoots, const QString& skinName,
                             const SkinState& previous, SkinLoadTime when);

} // namespace pelto
