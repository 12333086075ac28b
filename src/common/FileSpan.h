#pragma once

#include "common/FileRead.h"

#include <QString>

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

namespace pelto {

// A read-only window [begin, end) onto a file, read with positioned reads so that
// several readers never disturb each other's position. Everything outside the window
// is invisible: reads stop at its end, seeks are clamped to it. Used to hand a
// decoder exactly the part of a file that holds audio.
class FileSpan {
public:
    FileSpan() = default;
    ~FileSpan();
    FileSpan(const FileSpan&) = delete;
    FileSpan& operator=(const FileSpan&) = delete;

    // Opens the whole file; false when it cannot be opened for reading or is not a
    // regular file (openOutcome() says why). The open never waits on what is there.
    bool open(const QString& path);
    const ReadOutcome& openOutcome() const { return m_openOutcome; }
    void close();
    // A second span over the same file, with its own position and the whole file as
    // its window; null when the file cannot be shared.
    std::unique_ptr<FileSpan> duplicate() const;
    bool isOpen() const { return m_fd >= 0; }

    // Asks the system to read the whole file into its cache in the background, so
    // that later reads (on the audio thread) do not wait for the disk.
    void prefetch() const;

    // The size of the whole file.
    std::int64_t fileSize() const { return m_fileSize; }
    // Narrows the window to [begin, end) of the file, clamped to the file; the
    // position goes to the window's start.
    void setWindow(std::int64_t begin, std::int64_t end);
    std::int64_t windowBegin() const { return m_begin; }
    std::int64_t windowSize() const { return m_end - m_begin; }

    // Serves read() from a buffer of this many bytes filled by one system call, for
    // a reader that takes a file in many small pieces (a decoder reading frame
    // headers and bodies). Off by default.
    void setReadBuffer(std::int64_t bytes);

    // Reads from the current position within the window; the count read, 0 at the
    // window's end, -1 on an error.
    std::int64_t read(void* buffer, std::int64_t count);
    // Moves the position (like lseek, relative to the window); the new position, or
    // -1 when it would leave the window.
    std::int64_t seek(std::int64_t offset, int whence);
    // Reads at an absolute file offset, outside the window's position; the count
    // read or -1.
    std::int64_t readAt(std::int64_t fileOffset, void* buffer, std::int64_t count) const;

    // The first error number a read of this file met, in this span or any duplicate of
    // it; 0 while every read went well. The record outlives the span, so whoever gave
    // the span to a reader can still tell a failed read from a wrong format.
    using ReadErrorRecord = std::shared_ptr<std::atomic<int>>;
    ReadErrorRecord readErrorRecord() const { return m_readError; }

private:
    int m_fd = -1;
    ReadOutcome m_openOutcome;
    ReadErrorRecord m_readError;
    std::int64_t m_fileSize = 0;
    std::int64_t m_begin = 0;
    std::int64_t m_end = 0;
    std::int64_t m_pos = 0; // relative to m_begin
    std::vector<char> m_buffer;
    std::int64_t m_bufferPos = 0; // window position of m_buffer[0]
    std::int64_t m_bufferFill = 0;
};

} // namespace pelto
