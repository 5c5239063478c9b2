#pragma once
// Base of every settings section: one lock, and Load/Save/Reset against the settings file.
// Getters and setters run on any thread; Load and Save on the user-interface thread.

#include <mutex>
#include <string>

class CSetBase {
public:
    CSetBase() = default;
    CSetBase(const CSetBase &) = delete;
    CSetBase &operator=(const CSetBase &) = delete;
    virtual ~CSetBase() = default;

    virtual int Load(const std::string &path);
    virtual int Save(const std::string &path);
    virtual void Reset();

protected:
    // One locked copy out or in: the getters and setters of every section.
    template <typename T> T Get(const T &member) const
    {
        std::scoped_lock lock(m_lock);
        return member;
    }
    template <typename T> int Set(T &member, const T &value)
    {
        std::scoped_lock lock(m_lock);
        member = value;
        return 1;
    }

    mutable std::mutex m_lock; // held for one copy, or for a whole Load, Save or Reset
};
