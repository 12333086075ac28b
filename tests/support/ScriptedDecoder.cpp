#include "ScriptedDecoder.h"

namespace pelto::test {

ScriptedDecoder::~ScriptedDecoder() {
    if (m_events)
        m_events->append(QStringLiteral("free"));
}

void ScriptedDecoder::note(const QString& e) {
    log << e;
    if (m_events)
        m_events->append(e.section(u' ', 0, 0));
}

void ScriptedDecoder::addSong(const QString& path, int totalSec, const QString& title) {
    Song s;
    s.totalSec = totalSec;
    s.tag.Title = title;
    m_songs.insert(path, s);
}

void ScriptedDecoder::advance(int seconds) {
    if (m_state != PlayState::Playing)
        return;
    m_pos += seconds;
    if (m_pos >= m_songs.value(m_open).totalSec) {
        m_pos = m_songs.value(m_open).totalSec;
        m_state = PlayState::Stopped;
    }
}

void ScriptedDecoder::finish() {
    advance(m_songs.value(m_open).totalSec + 1);
}

bool ScriptedDecoder::open(const QString& path) {
    note(QStringLiteral("open ") + path);
    if (!m_songs.contains(path))
        return false;
    m_open = path;
    opened << path;
    m_pos = 0;
    return true;
}

void ScriptedDecoder::play() {
    note(QStringLiteral("play"));
    m_state = PlayState::Playing;
    m_pos = 0;
}

void ScriptedDecoder::stop() {
    note(QStringLiteral("stop"));
    m_state = PlayState::Stopped;
}

void ScriptedDecoder::pause() {
    log << QStringLiteral("pause");
    if (m_state == PlayState::Playing)
        m_state = PlayState::Paused;
}

void ScriptedDecoder::restart() {
    log << QStringLiteral("restart");
    if (m_state == PlayState::Paused)
        m_state = PlayState::Playing;
}

void ScriptedDecoder::seek(int seconds) {
    log << QStringLiteral("seek %1").arg(seconds);
    m_pos = seconds;
}

PlayState ScriptedDecoder::state(int& positionSec) {
    positionSec = m_pos;
    return m_state;
}

FileInfo ScriptedDecoder::fileInfo(const QString& path) {
    FileInfo info;
    info.TotalSec = m_songs.value(path).totalSec;
    info.tag = m_songs.value(path).tag;
    return info;
}

void ScriptedDecoder::close() {
    note(QStringLiteral("close"));
    m_open.clear();
}

void ScriptedDecoder::setVolume(std::uint32_t leftRight) {
    log << QStringLiteral("volume %1").arg(leftRight, 8, 16, QChar(u'0'));
    volume = leftRight;
}

} // namespace pelto::test
