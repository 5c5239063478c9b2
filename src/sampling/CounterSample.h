#pragma once
// One counter value on its way from the sampling thread to the graph's feeder: 16 bytes,
// copied by value through the sample queue.

#include "Platform.h"

#include <cstdint>
#include <cstring>

struct CounterSample {
    std::int32_t m_nIndex = 0;                    // counter definition 0..9
    std::uint32_t m_nFormat = plat::PDH_FMT_LONG; // the PDH format the value was fetched with
    unsigned char m_abValue[8] = {};              // long: first four bytes; double, 64-bit: all

    CounterSample() = default;
    CounterSample(const CounterSample &other) { CopyFrom(other); }
    CounterSample &operator=(const CounterSample &other)
    {
        if (this != &other)
            CopyFrom(other);
        return *this;
    }

    // What a counter that cannot be read shows: a long 0.
    static CounterSample Zero(int index)
    {
        CounterSample sample;
        sample.m_nIndex = index;
        return sample;
    }

    // A sample of `format` with the value from the matching member of `value`; any other
    // format gets the value 0.
    static CounterSample Make(int index, std::uint32_t format, const plat::FmtCounterValue &value)
    {
        CounterSample sample;
        sample.m_nIndex = index;
        sample.m_nFormat = format;
        if (format == plat::PDH_FMT_LONG)
            std::memcpy(sample.m_abValue, &value.longValue, sizeof value.longValue);
        else if (format == plat::PDH_FMT_DOUBLE)
            std::memcpy(sample.m_abValue, &value.doubleValue, sizeof value.doubleValue);
        else if (format == plat::PDH_FMT_LARGE)
            std::memcpy(sample.m_abValue, &value.largeValue, sizeof value.largeValue);
        return sample;
    }

    std::int32_t LongValue() const { return Read<std::int32_t>(); }
    double DoubleValue() const { return Read<double>(); }
    std::int64_t LargeValue() const { return Read<std::int64_t>(); }

private:
    // Only the bytes the format defines travel; the rest of the value reads 0, so a long
    // sample keeps its upper four bytes at 0 even when assigned over a 64-bit one.
    void CopyFrom(const CounterSample &other)
    {
        m_nIndex = other.m_nIndex;
        m_nFormat = other.m_nFormat;
        std::memset(m_abValue, 0, sizeof m_abValue);
        std::memcpy(m_abValue, other.m_abValue, ValueBytes(other.m_nFormat));
    }
    static std::size_t ValueBytes(std::uint32_t format)
    {
        if (format == plat::PDH_FMT_LONG)
            return 4;
        return format == plat::PDH_FMT_DOUBLE || format == plat::PDH_FMT_LARGE ? 8 : 0;
    }
    template <typename T> T Read() const
    {
        T value;
        std::memcpy(&value, m_abValue, sizeof value);
        return value;
    }
};

static_assert(sizeof(CounterSample) == 16, "a sample is 16 bytes: index, format, 8-byte value");
