#include "CInterfaceSource.h"

#include "CSetExtra.h"

CInterfaceSource::CInterfaceSource(int source)
    : m_nSource(source), m_pWatch(plat::OpenRouteWatch())
{
}

CInterfaceSource::~CInterfaceSource()
{
    plat::CloseRouteWatch(m_pWatch);
}

bool CInterfaceSource::Update(std::vector<std::string> &names)
{
    // Drained before the lookup, so that a change during it is seen next time.
    if (!plat::TakeRouteChanges(m_pWatch) && !m_bPending)
        return false;
    std::vector<std::string> current;
    // A failed look keeps what was read (a passing error drops no interface) and looks again.
    m_bPending = !Lookup(current);
    if (m_bPending || (current == m_astrLast && !m_bFirst))
        return false;
    m_bFirst = false;
    m_astrLast = current;
    names = std::move(current);
    return true;
}

bool CInterfaceSource::Lookup(std::vector<std::string> &names) const
{
    if (m_nSource == CSetExtra::kSourcePhysicalSum)
        return plat::GetPhysicalInterfaces(names) != 0;
    std::string name;
    if (plat::GetDefaultRouteInterface(name))
        names.push_back(std::move(name));
    return true; // no default route is an answer too: nothing is read until one comes
}
