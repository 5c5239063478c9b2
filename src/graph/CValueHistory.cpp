#include "CValueHistory.h"

void CValueHistory::Append(std::int32_t value)
{
    m_aValues[m_nNext] = value;
    m_nNext = (m_nNext + 1) % kCapacity;
    if (m_nSize < kCapacity)
        ++m_nSize;
}

void CValueHistory::Clear()
{
    m_nNext = 0;
    m_nSize = 0;
}

std::int32_t CValueHistory::Newest(std::size_t k) const
{
    return m_aValues[(m_nNext + kCapacity - 1 - k % kCapacity) % kCapacity];
}
