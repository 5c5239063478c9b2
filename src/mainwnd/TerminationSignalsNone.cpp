// Platforms without POSIX signals end a session through the toolkit's own messages.

#include "TerminationSignals.h"

TerminationSignals::TerminationSignals(QObject *parent)
    : QObject(parent)
{
}

TerminationSignals::~TerminationSignals() = default;

void TerminationSignals::OnReadable()
{
}
