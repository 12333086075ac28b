#include "SkinReader.h"

#include "SkinFiles.h"
#include "common/FieldReader.h"
#include "common/Numbers.h"

#include <QBuffer>
#include <QImageReader>

#include <optional>

namespace pelto {

namespace {

// The keys a section understands, as bits.
enum Key : unsigned {
    KeyX = 1u << 0,
    KeyY = 1u << 1,
    KeyW = 1u << 2,
    KeyH = 1u << 3,
    KeyS = 1u << 4,
    KeyFc = 1u << 5,
    KeyBc = 1u << 6,
    KeyPict = 1u << 7,
    KeyMask = 1u << 8,
    KeyTag = 1u << 9,
    KeyText = 1u << 10,
};

constexpr unsigned kPositionKeys = KeyX | KeyY;
constexpr unsigned kAreaKeys = KeyX | KeyY | KeyW | KeyH;
constexpr unsigned kTextAreaKeys = kAreaKeys | KeyS | KeyFc | KeyBc | KeyPict;

struct KeyName {
    const char* name;
    Key key;
};
constexpr KeyName kKeyNames[] = {{"x", KeyX},     {"y", KeyY},       {"w", KeyW},
                                 {"h", KeyH},     {"s", KeyS},       {"fc", KeyFc},
                                 {"bc", KeyBc},   {"pict", KeyPict}, {"mask", KeyMask},
                                 {"tag", KeyTag}, {"text", KeyText}};

struct Section {
    const char* name;
    std::optional<SkinElement> element; // none for [tagscroll]
    // The bitmap loaded at the header when it exists, or by pict / mask when set to 1.
    const char* bitmap;
    bool bitmapAtHeader;
    bool bringsToFront;
    unsigned keys;
};

using E = SkinElement;
const Section kSections[] = {
    {"[main]", E::Main2Skin, "main2.bmp", false, false, KeyMask},
    {"[power]", E::PowerSkin, "power.bmp", true, true, kPositionKeys},
    {"[power2]", E::Power2Skin, "power2.bmp", true, true, kPositionKeys},
    {"[back]", E::BackSkin, "back.bmp", true, true, kPositionKeys},
    {"[back2]", E::Back2Skin, "back2.bmp", true, true, kPositionKeys},
    {"[play]", E::PlaySkin, "play.bmp", true, true, kPositionKeys},
    {"[play2]", E::Play2Skin, "play2.bmp", true, true, kPositionKeys},
    {"[pause]", E::PauseSkin, "pause.bmp", true, true, kPositionKeys},
    {"[pause2]", E::Pause2Skin, "pause2.bmp", true, true, kPositionKeys},
    {"[stop]", E::StopSkin, "stop.bmp", true, true, kPositionKeys},
    {"[stop2]", E::Stop2Skin, "stop2.bmp", true, true, kPositionKeys},
    {"[next]", E::NextSkin, "next.bmp", true, true, kPositionKeys},
    {"[next2]", E::Next2Skin, "next2.bmp", true, true, kPositionKeys},
    {"[open]", E::OpenSkin, "open.bmp", true, true, kPositionKeys},
    {"[open2]", E::Open2Skin, "open2.bmp", true, true, kPositionKeys},
    {"[playlist]", E::PlayListSkin, "playlist.bmp", true, true, kPositionKeys},
    {"[playlist2]", E::PlayList2Skin, "playlist2.bmp", true, true, kPositionKeys},
    {"[timebar]", E::TimeBarSkin, "timebar.bmp", true, true, kPositionKeys},
    {"[timebar_back]", E::TimeBar_BackSkin, "timebar_back.bmp", true, true, kPositionKeys},
    {"[timebar_area]", E::ChangeTime, nullptr, false, true, kAreaKeys},
    {"[taginfo1]", E::TagInfo0, "taginfo1.bmp", false, true, kTextAreaKeys | KeyTag},
    {"[taginfo2]", E::TagInfo1, "taginfo2.bmp", false, true, kTextAreaKeys | KeyTag},
    {"[taginfo3]", E::TagInfo2, "taginfo3.bmp", false, true, kTextAreaKeys | KeyTag},
    {"[tagscroll]", std::nullopt, nullptr, false, false, KeyTag},
    {"[timeinfo1]", E::NowTime, "timeinfo1.bmp", false, true, kTextAreaKeys},
    {"[timeinfo2]", E::TotalTime, "timeinfo2.bmp", false, true, kTextAreaKeys | KeyText},
    {"[volumebar]", E::VolumeBarSkin, "volumebar.bmp", true, true, kPositionKeys},
    {"[volumebar_back]", E::VolumeBar_BackSkin, "volumebar_back.bmp", true, true, kPositionKeys},
    {"[volumebar_area]", E::ChangeVolume, nullptr, false, true, kAreaKeys},
};

const Section* findSection(const QString& lowerName) {
    for (const Section& s : kSections)
        if (lowerName == QLatin1String(s.name))
            return &s;
    return nullptr;
}

std::optional<Key> findKey(const QString& lowerName, unsigned allowed) {
    for (const KeyName& k : kKeyNames)
        if ((allowed & k.key) && lowerName == QLatin1String(k.name))
            return k.key;
    return std::nullopt;
}

// Positions and sizes are kept within what a window can hold; font sizes within what
// a font can be drawn at. Anything else is not a usable value.
constexpr int kMaxCoordinate = 32767;
constexpr int kMaxFontSize = 999;

std::optional<int> readInt(const QString& text, int low, int high) {
    const std::optional<std::int32_t> v = parseInt32(text);
    if (!v || *v < low || *v > high)
        return std::nullopt;
    return *v;
}

// Loads a bitmap of the skin folder into an element, which takes its size when it is a
// bitmap element. Returns false, changing nothing, when the file is missing or does
// not read as a picture.
bool loadPicture(const QString& folder, const QString& name, SkinElementState& element,
                 bool takesPictureSize) {
    const QString path = findSkinFile(folder, name);
    if (path.isEmpty())
        return false;
    std::optional<QByteArray> bytes = readSkinFile(path, kMaxSkinBitmapBytes);
    if (!bytes)
        return false;
    QBuffer buffer(&*bytes);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    const QImage image = reader.read();
    if (image.isNull())
        return false;
    element.picture = image;
    element.pictureFile = path.section(u'/', -1);
    if (takesPictureSize)
        element.geometry.setSize(image.size());
    return true;
}

class ConfigReader {
public:
    ConfigReader(FieldReader& reader, const QString& folder, SkinState& state)
        : m_reader(reader), m_folder(folder), m_state(state) {}

    void run() {
        std::optional<QString> pending; // a field that ended the previous section
        while (pending || !m_reader.atEnd()) {
            const QString field = pending ? *pending : m_reader.readField();
            pending.reset();
            const Section* section = findSection(field.toLower());
            if (!section)
                continue;
            enter(*section);
            while (!m_reader.atEnd()) {
                const QString key = m_reader.readField();
                if (const std::optional<Key> k = findKey(key.toLower(), section->keys)) {
                    apply(*section, *k);
                } else if (key.startsWith(u'[')) {
                    pending = key;
                    break;
                }
            }
        }
    }

private:
    void enter(const Section& s) {
        if (s.element && s.bitmapAtHeader)
            loadPicture(m_folder, QLatin1String(s.bitmap), m_state[*s.element], true);
        if (s.element && s.bringsToFront)
            bringToFront(m_state, *s.element);
    }

    void apply(const Section& s, Key key) {
        if (key == KeyTag || key == KeyText) {
            const std::optional<QString> value = m_reader.readLineValue();
            if (!value)
                return;
            if (key == KeyText)
                m_state.TotalTimePrefix = *value;
            else if (s.element)
                m_state.SkinTagInfo[size_t(tagInfoIndex(*s.element))] = *value;
            else
                m_state.SkinTagScroll = *value;
            return;
        }
        const QString value = m_reader.readField();
        if (!s.element)
            return;
        SkinElementState& e = m_state[*s.element];
        switch (key) {
        case KeyX:
            if (auto v = readInt(value, -kMaxCoordinate, kMaxCoordinate))
                e.geometry.moveLeft(*v);
            break;
        case KeyY:
            if (auto v = readInt(value, -kMaxCoordinate, kMaxCoordinate))
                e.geometry.moveTop(*v);
            break;
        case KeyW:
            if (auto v = readInt(value, 0, kMaxCoordinate))
                e.geometry.setWidth(*v);
            break;
        case KeyH:
            if (auto v = readInt(value, 0, kMaxCoordinate))
                e.geometry.setHeight(*v);
            break;
        case KeyS:
            if (auto v = readInt(value, 1, kMaxFontSize))
                m_state.style(*s.element).fontSize = *v;
            break;
        case KeyFc:
            if (auto v = readInt(value, 0, 0xFFFFFF))
                m_state.style(*s.element).foreColor = *v;
            break;
        case KeyBc:
            if (auto v = readInt(value, 0, 0xFFFFFF))
                m_state.style(*s.element).backColor = *v;
            break;
        case KeyPict:
            // A text area keeps the size the skin gave it; the picture lies under the text.
            if (parseInt32(value) == 1)
                loadPicture(m_folder, QLatin1String(s.bitmap), e, false);
            break;
        case KeyMask:
            if (parseInt32(value) == 1)
                loadPicture(m_folder, QLatin1String(s.bitmap), e, true);
            break;
        default:
            break;
        }
    }

    FieldReader& m_reader;
    const QString& m_folder;
    SkinState& m_state;
};

} // namespace

SkinState initialSkinState() {
    SkinState s;
    s[SkinElement::MainSkin].geometry = QRect(0, 0, 6, 6);
    for (int i = 0; i < kSkinElementCount; ++i) {
        const auto e = SkinElement(i);
        if (isTextArea(e))
            s.textOrder.append(e);
        else if (e != SkinElement::Main2Skin) // the mask holder is never shown
            s.surfaceOrder.append(e);
    }
    return s;
}

SkinState resetSkinState(const SkinState& previous) {
    SkinState s = previous;
    for (int i = 0; i < kSkinElementCount; ++i) {
        const auto e = SkinElement(i);
        if (e == SkinElement::MainSkin || e == SkinElement::Main2Skin)
            continue;
        SkinElementState& element = s[e];
        element.geometry = QRect(-10, -10, 1, 1);
        if (isTextArea(e) || isHitArea(e)) {
            element.picture = QImage();
            element.pictureFile.clear();
        }
    }
    s.SkinTagInfo = {};
    s.SkinTagScroll.clear();
    s.TotalTimePrefix.clear();
    return s;
}

void bringToFront(SkinState& state, SkinElement element) {
    QVector<SkinElement>& order = isTextArea(element) ? state.textOrder : state.surfaceOrder;
    order.removeAll(element);
    order.append(element);
}

void applySkinConfig(FieldReader& reader, const QString& skinFolder, SkinState& state) {
    ConfigReader(reader, skinFolder, state).run();
}

SkinState readSkin(const QString& skinFolder, const SkinState& previous) {
    SkinState state = resetSkinState(previous);
    SkinElementState& main = state[SkinElement::MainSkin];
    loadPicture(skinFolder, QStringLiteral("main.bmp"), main, true);
    main.geometry.moveTopLeft(QPoint(0, 0));
    bringToFront(state, SkinElement::MainSkin);

    const QString cfg = findSkinFile(skinFolder, QStringLiteral("_skin.cfg"));
    if (std::optional<QByteArray> bytes = readSkinFile(cfg, kMaxSkinTextBytes)) {
        FieldReader reader(std::move(*bytes));
        applySkinConfig(reader, skinFolder, state);
    }
    return state;
}

} // namespace pelto
