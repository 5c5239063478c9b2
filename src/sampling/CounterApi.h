#pragma once
// The counter operations the sampling thread calls, as plain function pointers: the
// platform's own by default, a test's fakes where a test wants to see or steer them.

#include "Platform.h"

struct CounterApi {
    decltype(&plat::MakeCounterPath) MakeCounterPath = &plat::MakeCounterPath;
    decltype(&plat::OpenQuery) OpenQuery = &plat::OpenQuery;
    decltype(&plat::AddCounter) AddCounter = &plat::AddCounter;
    decltype(&plat::CollectQueryData) CollectQueryData = &plat::CollectQueryData;
    decltype(&plat::GetFormattedCounterValue) GetFormattedCounterValue = &plat::GetFormattedCounterValue;
    decltype(&plat::RemoveCounter) RemoveCounter = &plat::RemoveCounter;
    decltype(&plat::CloseQuery) CloseQuery = &plat::CloseQuery;
};
