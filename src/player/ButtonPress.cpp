#include "player/ButtonPress.h"

#include <array>
#include <utility>

namespace pelto {

namespace {

struct ButtonImages {
    SkinElement normal;
    SkinElement pressed;
};

constexpr std::array<ButtonImages, 8> kMainButtons = {{
    {SkinElement::BackSkin, SkinElement::Back2Skin},
    {SkinElement::PlaySkin, SkinElement::Play2Skin},
    {SkinElement::PauseSkin, SkinElement::Pause2Skin},
    {SkinElement::StopSkin, SkinElement::Stop2Skin},
    {SkinElement::NextSkin, SkinElement::Next2Skin},
    {SkinElement::OpenSkin, SkinElement::Open2Skin},
    {SkinElement::PowerSkin, SkinElement::Power2Skin},
    {SkinElement::PlayListSkin, SkinElement::PlayList2Skin},
}};

bool isMainButton(int code) {
    return code >= BackButton && code <= PlaylistButton;
}

} // namespace

std::optional<SkinElement> pressedImageOf(int code) {
    if (!isMainButton(code))
        return std::nullopt;
    return kMainButtons[size_t(code)].pressed;
}

std::optional<int> buttonCodeOf(SkinElement normalImage) {
    for (size_t i = 0; i < kMainButtons.size(); ++i) {
        if (kMainButtons[i].normal == normalImage)
            return int(i);
    }
    return std::nullopt;
}

ButtonPress::ButtonPress(QObject* parent) : QObject(parent) {
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &ButtonPress::tick);
}

void ButtonPress::press(int code, std::function<void()> action) {
    start(code, kButtonPressMs, std::move(action));
}

void ButtonPress::pause(int ms, std::function<void()> then) {
    start(PlainPause, ms, std::move(then));
}

void ButtonPress::start(int code, int ms, std::function<void()> then) {
    m_pressedButton = code;
    m_pending.push_back({code, std::move(then)});
    // A second press while one is showing restarts the moment; the tick then ends
    // both, and their actions run in the order the buttons were used.
    m_timer.start(ms);
    emit showPressed(code);
}

void ButtonPress::tick() {
    m_timer.stop();
    m_pressedButton = NoButton;
    std::vector<Pending> due;
    due.swap(m_pending);
    for (const Pending& p : due)
        emit endPressed(p.code);
    // An action may start a new moment (a dialog's pause); that one waits for its
    // own tick.
    for (Pending& p : due) {
        if (p.then)
            p.then();
    }
}

} // namespace pelto
