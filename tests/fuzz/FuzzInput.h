#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

// The fuzzer's bytes taken from the front as the parameters of one case;
// once they run out every value is 0, so any input is a valid case.
class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size)
        : m_data(data)
        , m_size(size)
    {
    }

    std::uint8_t byte() { return m_position < m_size ? m_data[m_position++] : 0; }

    // A value from `min` to `max`, both included.
    int inRange(int min, int max)
    {
        const unsigned span = static_cast<unsigned>(max - min) + 1;
        return min + static_cast<int>(byte() % span);
    }

    template <typename Value> Value bits()
    {
        unsigned char raw[sizeof(Value)] = {};
        for (unsigned char& b : raw)
            b = byte();
        Value value;
        std::memcpy(&value, raw, sizeof value);
        return value;
    }

    std::string rest()
    {
        const std::size_t from = m_position < m_size ? m_position : m_size;
        m_position = m_size;
        return std::string(reinterpret_cast<const char*>(m_data + from), m_size - from);
    }

    // The remaining bytes as floats, a partial last one dropped.
    std::vector<float> restAsFloats()
    {
        const std::string bytes = rest();
        std::vector<float> values(bytes.size() / sizeof(float));
        if (!values.empty())
            std::memcpy(values.data(), bytes.data(), values.size() * sizeof(float));
        return values;
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_position = 0;
};
