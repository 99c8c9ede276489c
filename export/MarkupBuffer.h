#pragma once
// The bytes of the result on their way to the file. Markup is written in many pieces of a
// few bytes each; here a literal piece is copied by a few inline stores, where a
// std::string append would call out for every one.

#include <cstring>
#include <memory>
#include <string_view>

class MarkupBuffer {
public:
    explicit MarkupBuffer(size_t capacity = 4096) : m_bytes(new char[capacity]), m_capacity(capacity) {}

    const char *data() const { return m_bytes.get(); }
    size_t size() const { return m_size; }
    void clear() { m_size = 0; }
    // Keeps the first bytes only (size at most the current one).
    void truncate(size_t size) { m_size = size; }

    void append(std::string_view bytes) {
        if (bytes.empty()) // also keeps a null pointer away from memcpy
            return;
        reserveMore(bytes.size());
        std::memcpy(m_bytes.get() + m_size, bytes.data(), bytes.size());
        m_size += bytes.size();
    }
    template <size_t N> void literal(const char (&text)[N]) {
        reserveMore(N - 1);
        std::memcpy(m_bytes.get() + m_size, text, N - 1);
        m_size += N - 1;
    }
    void push(char c) {
        reserveMore(1);
        m_bytes[m_size++] = c;
    }

private:
    void reserveMore(size_t more) {
        if (m_size + more <= m_capacity)
            return;
        size_t capacity = 2 * m_capacity;
        while (capacity < m_size + more)
            capacity *= 2;
        std::unique_ptr<char[]> bytes(new char[capacity]);
        std::memcpy(bytes.get(), m_bytes.get(), m_size);
        m_bytes = std::move(bytes);
        m_capacity = capacity;
    }

    std::unique_ptr<char[]> m_bytes;
    size_t m_capacity;
    size_t m_size = 0;
};
