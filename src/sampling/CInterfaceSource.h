#pragma once
// Which interfaces the sampling thread reads when it does not read the one of [CNTBASE]:
// every physical interface (summed), or the one that carries the default route. It looks
// again only when the routes or links changed, so a quiet cycle costs one non-blocking
// read. Sampling thread only.

#include "Platform.h"

#include <string>
#include <vector>

class CInterfaceSource {
public:
    explicit CInterfaceSource(int source);
    ~CInterfaceSource();
    CInterfaceSource(const CInterfaceSource &) = delete;
    CInterfaceSource &operator=(const CInterfaceSource &) = delete;

    // True when the interfaces differ from those of the last true answer (the first answer
    // always does); `names` then holds the current ones, else it is left alone.
    bool Update(std::vector<std::string> &names);

private:
    bool Lookup(std::vector<std::string> &names) const;

    int m_nSource;
    plat::RouteWatch *m_pWatch;
    bool m_bFirst = true;    // no answer given yet
    bool m_bPending = true;  // look even without a change: the first time, or after a failure
    std::vector<std::string> m_astrLast;
};
