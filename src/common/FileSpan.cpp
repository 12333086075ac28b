#include "common/FileSpan.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pelto {

FileSpan::~FileSpan() {
    close();
}

bool FileSpan::open(const QString& path) {
    close();
    OpenedFile file = openRegularFile(path);
    if (file.status != FileStatus::Read) {
        m_openOutcome = file;
        return false;
    }
    m_fd = file.fd;
    m_openOutcome = file;
    m_readError = std::make_shared<std::atomic<int>>(0);
    m_fileSize = file.size;
    m_begin = 0;
    m_end = m_fileSize;
    m_pos = 0;
    return true;
}

void FileSpan::close() {
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_openOutcome = {};
    m_readError.reset();
    m_fileSize = m_begin = m_end = m_pos = 0;
    m_bufferFill = 0;
}

std::unique_ptr<FileSpan> FileSpan::duplicate() const {
    if (m_fd < 0)
        return nullptr;
    auto copy = std::make_unique<FileSpan>();
    copy->m_fd = ::fcntl(m_fd, F_DUPFD_CLOEXEC, 0);
    if (copy->m_fd < 0)
        return nullptr;
    copy->m_readError = m_readError;
    copy->m_fileSize = m_fileSize;
    copy->m_end = m_fileSize;
    return copy;
}

void FileSpan::prefetch() const {
    if (m_fd >= 0)
        ::posix_fadvise(m_fd, 0, 0, POSIX_FADV_WILLNEED);
}

void FileSpan::setWindow(std::int64_t begin, std::int64_t end) {
    m_begin = std::clamp<std::int64_t>(begin, 0, m_fileSize);
    m_end = std::clamp<std::int64_t>(end, m_begin, m_fileSize);
    m_pos = 0;
    m_bufferFill = 0;
}

void FileSpan::setReadBuffer(std::int64_t bytes) {
    m_buffer.assign(size_t(std::max<std::int64_t>(bytes, 0)), '\0');
    m_bufferFill = 0;
}

std::int64_t FileSpan::read(void* buffer, std::int64_t count) {
    const std::int64_t wanted = std::min(count, windowSize() - m_pos);
    const auto bufferSize = std::int64_t(m_buffer.size());
    if (wanted <= 0 || wanted >= bufferSize) {
        const std::int64_t n = readAt(m_begin + m_pos, buffer, wanted);
        if (n > 0)
            m_pos += n;
        return n;
    }
    auto* out = static_cast<char*>(buffer);
    std::int64_t done = 0;
    while (done < wanted) {
        const std::int64_t offset = m_pos - m_bufferPos;
        if (offset < 0 || offset >= m_bufferFill) {
            m_bufferPos = m_pos;
            m_bufferFill = readAt(m_begin + m_pos, m_buffer.data(),
                                  std::min(bufferSize, windowSize() - m_pos));
            if (m_bufferFill <= 0) {
                m_bufferFill = 0;
                return done > 0 ? done : (windowSize() > m_pos ? -1 : 0);
            }
            continue;
        }
        const std::int64_t n = std::min(wanted - done, m_bufferFill - offset);
        std::memcpy(out + done, m_buffer.data() + offset, size_t(n));
        done += n;
        m_pos += n;
    }
    return done;
}

std::int64_t FileSpan::seek(std::int64_t offset, int whence) {
    std::int64_t base = 0;
    if (whence == SEEK_CUR)
        base = m_pos;
    else if (whence == SEEK_END)
        base = windowSize();
    else if (whence != SEEK_SET)
        return -1;
    if (offset > windowSize() || offset < -windowSize())
        return -1;
    const std::int64_t target = base + offset;
    if (target < 0 || target > windowSize())
        return -1;
    m_pos = target;
    return m_pos;
}

std::int64_t FileSpan::readAt(std::int64_t fileOffset, void* buffer, std::int64_t count) const {
    if (m_fd < 0 || fileOffset < 0 || count < 0)
        return -1;
    std::int64_t done = 0;
    auto* out = static_cast<char*>(buffer);
    while (done < count) {
        const ssize_t n = ::pread(m_fd, out + done, size_t(count - done), off_t(fileOffset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            int none = 0;
            m_readError->compare_exchange_strong(none, errno);
            return done > 0 ? done : -1;
        }
        if (n == 0)
            break;
        done += n;
    }
    return done;
}

} // namespace pelto
