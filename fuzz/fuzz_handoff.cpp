// The hand-off a running copy receives from a later launch: bytes of a framed
// message, arriving in pieces, and the command line or the remote command taken from
// its payload.

#include "app/HandOffWire.h"
#include "app/LaunchArguments.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    // The first byte picks the size of the pieces the rest arrives in.
    const qsizetype piece = qsizetype(data[0] % 16) + 1;
    const QByteArrayView bytes(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));

    using pelto::wire::FrameReader;
    FrameReader inPieces, whole;
    for (qsizetype at = 0; at < bytes.size(); at += piece)
        inPieces.feed(bytes.sliced(at, qMin(piece, bytes.size() - at)));
    whole.feed(bytes);
    if (inPieces.status() != whole.status() || inPieces.payload() != whole.payload())
        std::abort();
    if (whole.status() == FrameReader::Status::Complete) {
        if (qsizetype(pelto::wire::payloadSize(bytes.first(4).toByteArray())) !=
                whole.payload().size() ||
            whole.payload().size() > qsizetype(pelto::wire::maxPayload))
            std::abort();
        if (pelto::commandLineFromPayload(whole.payload()).contains(QChar(0)))
            std::abort();
        // A remote command's name holds no NUL and makes the payload again; its payload
        // is no command line.
        const QByteArray name = pelto::wire::commandName(whole.payload());
        if (!name.isEmpty() &&
            (name.contains('\0') || pelto::wire::commandPayload(name) != whole.payload() ||
             !pelto::commandLineFromPayload(whole.payload()).isEmpty()))
            std::abort();
    }
    return 0;
}
