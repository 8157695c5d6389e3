#pragma once

#include <cstddef>
#include <memory>

// Growing text that a formatter writes into directly: ask for room, write
// at end(), then move the end. Growing never throws; it reports failure.
class TextBuffer {
public:
    // Room for at least `count` more characters at end(). False, with the
    // text as it was, when memory runs out.
    bool reserve(std::size_t count) { return m_capacity - m_size >= count || grow(count); }

    char* end() { return m_data.get() + m_size; }
    // `end` lies between end() and the room last reserved.
    void setEnd(char* end) { m_size = static_cast<std::size_t>(end - m_data.get()); }

    const char* data() const { return m_data.get(); }
    std::size_t size() const { return m_size; }
    // Keeps the memory for the next text.
    void clear() { m_size = 0; }

private:
    bool grow(std::size_t count);

    std::unique_ptr<char[]> m_data;
    std::size_t m_size = 0;
    std::size_t m_capacity = 0;
};
