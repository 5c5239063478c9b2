#include "CSetBase.h"

int CSetBase::Load(const std::string &)
{
    return 0;
}

int CSetBase::Save(const std::string &)
{
    return 0;
}

void CSetBase::Reset()
{
}
