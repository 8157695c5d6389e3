#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

// A file read front to back through one fixed buffer, allocated once when
// the stream is made. Bytes [cursor(), limit()) are in memory; nothing that
// grows with the file is ever allocated. PADDING NUL bytes always follow
// limit(), so that scanners may look a few bytes ahead, and stop at a byte
// that belongs to no number, without checking the limit on every byte.
class ByteStream {
public:
    static constexpr std::size_t DEFAULT_CAPACITY = std::size_t(1) << 20;
    static constexpr std::size_t PADDING = 16;

    explicit ByteStream(std::size_t capacity = DEFAULT_CAPACITY);
    // Bytes [begin, end) already in memory, as a drained stream. The caller
    // keeps them alive and provides PADDING NUL bytes after end.
    ByteStream(const char* begin, const char* end);
    ~ByteStream();
    ByteStream(const ByteStream&) = delete;
    ByteStream& operator=(const ByteStream&) = delete;

    // False when the file cannot be opened or the buffer was not allocated.
    // A read error later on ends the data, as it ends a C stream.
    bool open(const std::string& fileName);

    // Goes on reading at byte `offset` of the open file; false when the
    // file cannot seek there.
    bool seek(std::uint64_t offset);

    // The file's size when it was opened (0 when it is no regular file).
    std::uint64_t size() const { return m_size; }
    // For positioned reads beside the stream (-1 when none is open); they
    // leave the stream's own position alone.
    int descriptor() const { return m_fd; }

    const char* cursor() const { return m_pos; }
    const char* limit() const { return m_end; }
    void moveTo(const char* position) { m_pos = position; }

    // Bytes of the file before cursor().
    std::uint64_t offset() const
    {
        return m_discarded + static_cast<std::uint64_t>(m_pos - m_start);
    }

    // True once the file has no bytes beyond limit().
    bool drained() const { return m_drained; }

    // Asked before every read from the file, and while a FIFO or terminal
    // keeps its bytes back: false ends the data there, as the end of the
    // file would, so that no loop over the stream (a header of one endless
    // token, a FIFO that sends nothing) outlasts a request to stop.
    void setStopCheck(std::function<bool()> goOn) { m_goOn = std::move(goOn); }

    // Brings at least `wanted` bytes after the cursor into memory when the
    // file (and the capacity) has them; returns how many are there.
    std::size_t ensure(std::size_t wanted)
    {
        const auto available = static_cast<std::size_t>(m_end - m_pos);
        if (available >= wanted || m_drained)
            return available;
        return refill(wanted);
    }

    // The next byte (0..255), or -1 at the end of the data.
    int peek()
    {
        if (m_pos == m_end && ensure(1) == 0)
            return -1;
        return static_cast<unsigned char>(*m_pos);
    }
    void advance() { ++m_pos; }

private:
    std::size_t refill(std::size_t wanted);
    // Whether to read on: the stop check's answer, after waiting for bytes
    // where the file may keep them back.
    bool readable() const;
    static constexpr int WAIT_SLICE_MS = 100;

    std::unique_ptr<char[]> m_buffer;
    const char* m_start = nullptr;
    std::size_t m_capacity = 0;
    std::uint64_t m_discarded = 0;
    std::uint64_t m_size = 0;
    const char* m_pos = nullptr;
    const char* m_end = nullptr;
    int m_fd = -1;
    bool m_drained = true;
    bool m_regular = false;
    std::function<bool()> m_goOn;
};
