#include "CIniSection.h"

#include <algorithm>
#include <string_view>

namespace {

// The store matches keys without regard to ASCII case.
bool SameKey(std::string_view a, std::string_view b)
{
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [&lower](char x, char y) { return lower(x) == lower(y); });
}

} // namespace

CIniSection::CIniSection(const char *section, const std::string &path)
    : m_pszSection(section), m_strPath(path), m_batch(path)
{
}

int CIniSection::GetInt(const char *key, int def)
{
    CommitIfPending(key);
    return plat::GetPrivateProfileInt(m_pszSection, key, def, m_strPath);
}

std::string CIniSection::GetString(const char *key, const char *def, std::size_t size)
{
    CommitIfPending(key);
    return plat::GetPrivateProfileString(m_pszSection, key, def, size, m_strPath);
}

void CIniSection::Put(const char *key, std::string value)
{
    if (key)
        m_pending.push_back({key, std::move(value)});
}

int CIniSection::Commit()
{
    if (m_pending.empty())
        return 1;
    const int written = plat::WritePrivateProfileKeys(m_pszSection, m_pending, m_strPath);
    m_pending.clear();
    return written;
}

// A read of a key that waits to be written must see it written.
void CIniSection::CommitIfPending(const char *key)
{
    if (key && std::any_of(m_pending.begin(), m_pending.end(),
                           [key](const plat::ProfileKey &pending) { return SameKey(pending.key, key); }))
        Commit();
}
