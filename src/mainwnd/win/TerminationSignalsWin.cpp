// Windows ends a session through the toolkit's own messages (commitDataRequest), not signals.

#include "TerminationSignals.h"

TerminationSignals::TerminationSignals(QObject *parent)
    : QObject(parent)
{
}

TerminationSignals::~TerminationSignals() = default;
