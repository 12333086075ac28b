#include "taginfo/TagValues.h"

namespace pelto {

QString capTagText(QString text) {
    if (text.size() > kMaxTagText) {
        qsizetype keep = kMaxTagText;
        if (text.at(keep - 1).isHighSurrogate())
            --keep;
        text.truncate(keep);
    }
    return text;
}

} // namespace pelto
