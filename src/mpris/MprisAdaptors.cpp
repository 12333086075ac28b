#include "mpris/MprisAdaptors.h"

#include "mpris/MprisService.h"

namespace pelto {

MprisRootAdaptor::MprisRootAdaptor(MprisService* service)
    : QDBusAbstractAdaptor(service), m_service(*service) {}

QStringList MprisRootAdaptor::supportedMimeTypes() const {
    return {QStringLiteral("audio/mpeg"),      QStringLiteral("audio/x-wav"),
            QStringLiteral("audio/x-mpegurl"), QStringLiteral("audio/flac"),
            QStringLiteral("audio/ogg"),       QStringLiteral("audio/x-vorbis+ogg"),
            QStringLiteral("audio/opus"),      QStringLiteral("audio/x-scpls")};
}

void MprisRootAdaptor::Raise() {
    m_service.Raise();
}

void MprisRootAdaptor::Quit() {
    m_service.Quit();
}

MprisPlayerAdaptor::MprisPlayerAdaptor(MprisService* service)
    : QDBusAbstractAdaptor(service), m_service(*service) {
    connect(service, &MprisService::seeked, this, &MprisPlayerAdaptor::Seeked);
}

QString MprisPlayerAdaptor::playbackStatus() const {
    return m_service.playbackStatus();
}

QString MprisPlayerAdaptor::loopStatus() const {
    return m_service.loopStatus();
}

void MprisPlayerAdaptor::setLoopStatus(const QString& status) {
    m_service.setLoopStatus(status);
}

QVariantMap MprisPlayerAdaptor::metadata() const {
    return m_service.metadata();
}

double MprisPlayerAdaptor::volume() const {
    return m_service.volume();
}

void MprisPlayerAdaptor::setVolume(double level) {
    m_service.setVolume(level);
}

qlonglong MprisPlayerAdaptor::position() const {
    return m_service.position();
}

bool MprisPlayerAdaptor::canGoNext() const {
    return m_service.canGoNext();
}

bool MprisPlayerAdaptor::canGoPrevious() const {
    return m_service.canGoPrevious();
}

bool MprisPlayerAdaptor::canPlay() const {
    return m_service.canPlay();
}

bool MprisPlayerAdaptor::canSeek() const {
    return m_service.canSeek();
}

void MprisPlayerAdaptor::Next() {
    m_service.Next();
}

void MprisPlayerAdaptor::Previous() {
    m_service.Previous();
}

void MprisPlayerAdaptor::Pause() {
    m_service.Pause();
}

void MprisPlayerAdaptor::PlayPause() {
    m_service.PlayPause();
}

void MprisPlayerAdaptor::Stop() {
    m_service.Stop();
}

void MprisPlayerAdaptor::Play() {
    m_service.Play();
}

void MprisPlayerAdaptor::Seek(qlonglong Offset) {
    m_service.Seek(Offset);
}

void MprisPlayerAdaptor::SetPosition(const QDBusObjectPath& TrackId, qlonglong Position) {
    m_service.SetPosition(TrackId, Position);
}

void MprisPlayerAdaptor::OpenUri(const QString& Uri) {
    m_service.OpenUri(Uri);
}

} // namespace pelto
