#include "CProcessEnd.h"

#include "TerminationSignals.h"

#include <cstdlib>
#include <utility>

namespace {

CProcessEnd *g_pArmed = nullptr; // the one whose exiting() an exit() still emits

} // namespace

CProcessEnd::CProcessEnd(QObject *parent) : QObject(parent)
{
    auto *requests = new TerminationSignals(this);
    connect(requests, &TerminationSignals::terminationRequested, this, &CProcessEnd::endRequested);
    static const int registered = std::atexit(OnExit);
    (void)registered;
    g_pArmed = this;
}

CProcessEnd::~CProcessEnd()
{
    Disarm();
}

void CProcessEnd::Disarm()
{
    if (g_pArmed == this)
        g_pArmed = nullptr;
}

void CProcessEnd::OnExit()
{
    if (CProcessEnd *armed = std::exchange(g_pArmed, nullptr))
        emit armed->exiting();
}
