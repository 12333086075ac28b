// pelto-info config [--screen WxH] [--main-window WxH] FILE: every setting after reading
// FILE as Pelto.cfg over the defaults, with the window places in pixels where the file
// set them (the main window pulled back into a screen of --screen for a window of
// --main-window, a place off every screen moved onto it).
// pelto-info config --save JSON OUT: writes OUT as Pelto writes Pelto.cfg, from an
// object with the same keys; missing keys keep the defaults.
#include "Json.h"
#include "common/Twips.h"
#include "settings/ConfigFile.h"
#include "settings/SettingsFields.h"
#include "settings/WindowPlace.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QStringList>

#include <cmath>
#include <cstdio>
#include <limits>

namespace pelto::info {

namespace {

// The main window's size with the standard skin.
constexpr QSize kMainWindowSize{360, 140};
constexpr QSize kScreenSize{1024, 768};

int configUsage() {
    std::fprintf(stderr, "usage: pelto-info config [--screen WxH] [--main-window WxH] FILE\n"
                         "       pelto-info config --save JSON OUT\n");
    return 2;
}

std::optional<QSize> sizeArgument(const QString& text) {
    static const QRegularExpression pattern(QStringLiteral("^(\\d{1,6})x(\\d{1,6})$"));
    const auto match = pattern.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    return QSize(match.captured(1).toInt(), match.captured(2).toInt());
}

// The keys of the values the file holds in more than one line. A place's key is its
// file key with kPixelsSuffix.
const char kSizeKey[] = "PlayList_Size_px";
const char kColumnsKey[] = "PlayListView_ItemSize";
const char kPixelsSuffix[] = "_px";

QJsonValue pixelsOrNull(std::optional<int> twips) {
    return twips ? QJsonValue(double(*twips) / kTwipsPerPixel) : QJsonValue(QJsonValue::Null);
}

// The window places and the playlist window's size in pixels, the places where they
// put the windows on `screen`.
void insertPlaces(QJsonObject& o, const Settings& s, QSize screen, QSize mainWindow) {
    const ScreenLayout screens = ScreenLayout::single(screen);
    auto place = [&](QSize twipsSize, std::optional<int> left, std::optional<int> top,
                     bool pullBack) -> std::pair<QJsonValue, QJsonValue> {
        const QPoint p = startPlace(QRect(QPoint(0, 0), twipsSize), left, top, pullBack, screens);
        return {pixelsOrNull(left ? std::optional(p.x()) : std::nullopt),
                pixelsOrNull(top ? std::optional(p.y()) : std::nullopt)};
    };
    const auto [mainX, mainY] =
        place(mainWindow * kTwipsPerPixel, s.MainPlayer_X, s.MainPlayer_Y, true);
    const auto [listX, listY] =
        place(s.PlayList_Size.value_or(kPlaylistDesignSize * kTwipsPerPixel), s.PlayList_X,
              s.PlayList_Y, false);
    QJsonValue listSize = QJsonValue::Null;
    if (s.PlayList_Size)
        listSize = QJsonArray{double(s.PlayList_Size->width()) / kTwipsPerPixel,
                              double(s.PlayList_Size->height()) / kTwipsPerPixel};
    o.insert("MainPlayer_X_px", mainX);
    o.insert("MainPlayer_Y_px", mainY);
    o.insert("PlayList_X_px", listX);
    o.insert("PlayList_Y_px", listY);
    o.insert(kSizeKey, listSize);
}

QJsonObject settingsObject(const ConfigValues& v, QSize screen, QSize mainWindow) {
    QJsonObject o;
    insertPlaces(o, v, screen, mainWindow);
    for (const SettingsField& field : settingsFields()) {
        const QLatin1String key(field.key);
        std::visit(
            Overloaded{
                [](const SectionLine&) {},
                [](const PlaceValue&) {},
                [](const SizeHalfValue&) {},
                [&](const TextValue& f) { o.insert(key, v.*f.member); },
                [&]<typename T>(const IntegerValue<T>& f) { o.insert(key, int(v.*f.member)); },
                [&]<typename T>(const SwitchValue<T>& f) { o.insert(key, v.*f.member == f.on); },
                [&](const ColumnWidthValue& f) {
                    if (f.column != 0)
                        return;
                    QJsonArray columns;
                    for (const auto& width : v.*f.member)
                        columns.append(width ? QJsonValue(double(*width))
                                             : QJsonValue(QJsonValue::Null));
                    o.insert(kColumnsKey, columns);
                },
            },
            field.kind);
    }
    return o;
}

// Reads the settings of a config object; a value of the wrong kind, or one that does
// not fit its setting, is reported and makes the whole object wrong.
class SettingsFromJson {
public:
    explicit SettingsFromJson(const QJsonObject& o) : m_o(o) {}
    bool ok = true;

    // Every field of the file by its key; the values of more than one line once, by
    // their first line.
    void read(ConfigValues& v) {
        for (const SettingsField& field : settingsFields()) {
            const char* key = field.key;
            std::visit(
                Overloaded{
                    [](const SectionLine&) {},
                    [&](const TextValue& f) { text(key, v.*f.member); },
                    [&]<typename T>(const IntegerValue<T>& f) { number(key, v.*f.member); },
                    [&]<typename T>(const SwitchValue<T>& f) { flag(key, v.*f.member, f.on); },
                    [&](const PlaceValue& f) {
                        place(QByteArray(key) + kPixelsSuffix, v.*f.member);
                    },
                    [&](const SizeHalfValue& f) {
                        if (f.half == 0)
                            size(kSizeKey, v.*f.member);
                    },
                    [&](const ColumnWidthValue& f) {
                        if (f.column == 0)
                            columns(kColumnsKey, v.*f.member);
                    },
                },
                field.kind);
        }
    }

private:
    void text(QByteArrayView key, QString& target) {
        if (const QJsonValue v = given(key); !v.isUndefined())
            v.isString() ? void(target = v.toString()) : fail(key);
    }
    template <typename T> void number(QByteArrayView key, T& target) {
        if (const QJsonValue v = given(key); !v.isUndefined()) {
            const double d = v.toDouble();
            if (!v.isDouble() || d != std::floor(d) || d < std::numeric_limits<T>::min() ||
                d > std::numeric_limits<T>::max())
                return fail(key);
            target = T(d);
        }
    }
    template <typename T> void flag(QByteArrayView key, T& target, T on) {
        if (const QJsonValue v = given(key); !v.isUndefined())
            v.isBool() ? void(target = v.toBool() ? on : T(0)) : fail(key);
    }
    // A place in pixels; null or missing: unset.
    void place(QByteArrayView key, std::optional<int>& target) {
        if (const QJsonValue v = given(key); !v.isUndefined())
            target = twips(v, key);
    }
    void size(QByteArrayView key, std::optional<QSize>& target) {
        const QJsonValue v = given(key);
        if (v.isUndefined())
            return;
        const QJsonArray wh = v.toArray();
        const auto w = twips(wh.at(0), key), h = twips(wh.at(1), key);
        if (wh.size() == 2 && w && h)
            target = QSize(*w, *h);
        else
            fail(key);
    }
    void columns(QByteArrayView key, std::array<std::optional<float>, 4>& target) {
        const QJsonValue v = given(key);
        if (v.isUndefined())
            return;
        const QJsonArray widths = v.toArray();
        if (widths.size() != qsizetype(target.size()))
            return fail(key);
        for (size_t i = 0; i < target.size(); ++i) {
            const QJsonValue width = widths[qsizetype(i)];
            if (width.isNull())
                continue;
            if (!width.isDouble() || std::abs(width.toDouble()) > std::numeric_limits<float>::max())
                return fail(key);
            target[i] = float(width.toDouble());
        }
    }

    // A key that is missing or null is undefined.
    QJsonValue given(QByteArrayView key) const {
        const QJsonValue v = m_o.value(QLatin1String(key));
        return v.isNull() ? QJsonValue(QJsonValue::Undefined) : v;
    }
    std::optional<int> twips(const QJsonValue& v, QByteArrayView key) {
        const double t = std::round(v.toDouble(std::nan("")) * kTwipsPerPixel);
        if (!(std::abs(t) <= std::numeric_limits<int>::max())) {
            fail(key);
            return std::nullopt;
        }
        return int(t);
    }
    void fail(QByteArrayView key) {
        std::fprintf(stderr, "pelto-info config: the value of %.*s does not fit\n", int(key.size()),
                     key.data());
        ok = false;
    }

    QJsonObject m_o;
};

int saveConfig(const QString& json, const QString& out) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(json.toUtf8(), &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject()) {
        std::fprintf(stderr, "pelto-info config: --save is not a JSON object: %s\n",
                     qPrintable(error.errorString()));
        return 2;
    }
    ConfigValues v;
    SettingsFromJson in(doc.object());
    in.read(v);
    if (!in.ok)
        return 2;
    return SaveConfig(out, v, v.PlayListTrNum) ? 0 : 1;
}

} // namespace

int runConfigCommand(const QStringList& args) {
    if (args.size() == 3 && args[0] == QLatin1String("--save"))
        return saveConfig(args[1], args[2]);
    QSize screen = kScreenSize, mainWindow = kMainWindowSize;
    QStringList rest = args;
    while (rest.size() >= 2 && rest[0].startsWith(QLatin1String("--"))) {
        const auto size = sizeArgument(rest[1]);
        if (!size)
            return configUsage();
        if (rest[0] == QLatin1String("--screen"))
            screen = *size;
        else if (rest[0] == QLatin1String("--main-window"))
            mainWindow = *size;
        else
            return configUsage();
        rest = rest.mid(2);
    }
    if (rest.size() != 1)
        return configUsage();
    ConfigValues values;
    LoadConfig(rest[0], values, values.PlayListTrNum);
    printObject(settingsObject(values, screen, mainWindow));
    return 0;
}

} // namespace pelto::info
