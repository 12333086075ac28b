#pragma once

#include <QStringList>

namespace pelto {

// The face the windows' Japanese texts ask for: "ＭＳ Ｐゴシック" by name, then the
// installed Japanese Gothic face that stands in for it where that face is missing.
inline QStringList gothicFamilies() {
    return {QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAexGothic")};
}

} // namespace pelto
