#pragma once
// The newest values of one graph series, oldest first. A fixed ring, so appending and
// dropping the oldest value cost the same whatever the length. User-interface thread only.

#include <array>
#include <cstddef>
#include <cstdint>

class CValueHistory {
public:
    // Two pixels per value: 1000 values fill a window 2000 pixels wide.
    static constexpr std::size_t kCapacity = 1000;

    // Appends at the end; when full, the oldest value makes room.
    void Append(std::int32_t value);
    void Clear();

    std::size_t Size() const { return m_nSize; }
    bool Empty() const { return m_nSize == 0; }
    // The k-th newest value (k = 0 is the newest); k must be below Size().
    std::int32_t Newest(std::size_t k = 0) const;

private:
    std::array<std::int32_t, kCapacity> m_aValues{};
    std::size_t m_nNext = 0; // slot of the next value
    std::size_t m_nSize = 0;
};
