// pelto-info skin DIR: the main window's look after applying the skin folder DIR to a
// fresh window with no song open.
#include "Json.h"
#include "skin/SkinFiles.h"
#include "skin/SkinReader.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QStringList>

#include <cstdio>

namespace pelto::info {

namespace {

QJsonArray orderNames(const QVector<SkinElement>& order) {
    QJsonArray names;
    for (SkinElement e : order)
        names.append(skinElementName(e));
    return names;
}

QJsonObject elementObject(const SkinState& state, SkinElement e) {
    const SkinElementState& element = state[e];
    QJsonObject o{{"x", element.geometry.x()},
                  {"y", element.geometry.y()},
                  {"w", element.geometry.width()},
                  {"h", element.geometry.height()},
                  {"picture", element.pictureFile.isEmpty() ? QJsonValue(QJsonValue::Null)
                                                            : QJsonValue(element.pictureFile)}};
    if (isTextArea(e)) {
        const SkinTextStyle& style = state.style(e);
        o.insert("fontSize", style.fontSize);
        o.insert("foreColor", style.foreColor);
        o.insert("backColor", style.backColor);
    }
    return o;
}

} // namespace

int runSkinCommand(const QStringList& args) {
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: pelto-info skin DIR\n");
        return 2;
    }
    const QString folder = args.first();
    const SkinState fresh = initialSkinState();
    // A folder without a definition file leaves the fresh window as it is.
    const SkinState state = hasSkinConfig(folder) ? readSkin(folder, fresh) : fresh;

    QJsonObject elements;
    for (int i = 0; i < kSkinElementCount; ++i)
        elements.insert(skinElementName(SkinElement(i)), elementObject(state, SkinElement(i)));
    QJsonArray tags;
    for (const QString& tag : state.SkinTagInfo)
        tags.append(tag);
    const QSize size = state.windowSize();
    printObject(QJsonObject{{"window", QJsonArray{size.width(), size.height()}},
                            {"elements", elements},
                            {"surfaceOrder", orderNames(state.surfaceOrder)},
                            {"textOrder", orderNames(state.textOrder)},
                            {"SkinTagInfo", tags},
                            {"SkinTagScroll", state.SkinTagScroll},
                            {"TotalTimePrefix", state.TotalTimePrefix}});
    return 0;
}

} // namespace pelto::info
