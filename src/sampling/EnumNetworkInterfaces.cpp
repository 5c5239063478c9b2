#include "EnumNetworkInterfaces.h"

#include <cstring>

namespace {

// Walks the zero-terminated names up to the empty one. The buffer's last byte is a zero
// the platform never writes, so no name can run past the end.
int AppendNames(const std::vector<char> &instances, std::vector<std::string> &list)
{
    std::size_t at = 0;
    while (at < instances.size() && instances[at] != '\0') {
        const std::size_t length = std::strlen(instances.data() + at);
        list.emplace_back(instances.data() + at, length);
        at += length + 1;
    }
    return static_cast<int>(list.size());
}

} // namespace

int EnumNetworkInterfaces(std::vector<std::string> &list)
{
    return EnumNetworkInterfaces(list, &plat::EnumObjectItems);
}

int EnumNetworkInterfaces(std::vector<std::string> &list, EnumObjectItemsFn enumObjectItems)
{
    list.clear();
    std::uint32_t counterLength = 0;
    std::uint32_t instanceLength = 0;
    enumObjectItems(nullptr, nullptr, plat::kNetworkInterfaceObject, nullptr, &counterLength, nullptr, &instanceLength,
                    plat::PERF_DETAIL_WIZARD, 0);
    if (counterLength < 1 || instanceLength < 1)
        return 0;
    std::vector<char> counters(std::size_t(counterLength) + 1, '\0');
    std::vector<char> instances(std::size_t(instanceLength) + 1, '\0');
    if (enumObjectItems(nullptr, nullptr, plat::kNetworkInterfaceObject, counters.data(), &counterLength, instances.data(),
                        &instanceLength, plat::PERF_DETAIL_WIZARD, 0) != plat::PDH_OK)
        return 0;
    return AppendNames(instances, list);
}

int ChooseFirstInterface(CSetSystem &settings, const std::string &iniPath)
{
    std::vector<std::string> interfaces;
    if (!settings.m_CntBase.GetInsName().empty() || EnumNetworkInterfaces(interfaces) < 1)
        return 0;
    settings.m_CntBase.SetInsName(interfaces.front().c_str());
    settings.m_CntBase.SetInsIndex(-1);
    settings.m_CntBase.SetType(0);
    const plat::ProfileBatch batch(iniPath); // the sections below in one write
    for (std::size_t i = 0; i < settings.m_CntData.size(); ++i) {
        settings.m_CntData[i].SetEnable(i < 2 ? 1 : 0);
        settings.m_CntData[i].Save(iniPath);
    }
    settings.m_CntBase.Save(iniPath);
    return 1;
}
