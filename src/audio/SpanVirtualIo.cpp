#include "audio/SpanVirtualIo.h"

#include "common/FileSpan.h"

#include <algorithm>

namespace pelto {

namespace {

sf_count_t spanLength(void* span) {
    return static_cast<FileSpan*>(span)->windowSize();
}

sf_count_t spanSeek(sf_count_t offset, int whence, void* span) {
    return static_cast<FileSpan*>(span)->seek(offset, whence);
}

sf_count_t spanRead(void* buffer, sf_count_t count, void* span) {
    return std::max<sf_count_t>(0, static_cast<FileSpan*>(span)->read(buffer, count));
}

sf_count_t spanWrite(const void*, sf_count_t, void*) {
    return 0;
}

sf_count_t spanTell(void* span) {
    return static_cast<FileSpan*>(span)->seek(0, SEEK_CUR);
}

} // namespace

SF_VIRTUAL_IO* spanVirtualIo() {
    static SF_VIRTUAL_IO io = {spanLength, spanSeek, spanRead, spanWrite, spanTell};
    return &io;
}

} // namespace pelto
