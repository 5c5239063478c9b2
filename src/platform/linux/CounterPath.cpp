#include "CounterPath.h"

namespace plat {
namespace {

constexpr std::uint32_t kNoIndex = 0xFFFFFFFFu;

// "\\machine" at the front of `rest`, if any, is moved into parts.machine.
bool TakeMachine(std::string_view &rest, CounterPathParts &parts)
{
    if (rest.substr(0, 2) != "\\\\")
        return true;
    const auto end = rest.find('\\', 2);
    if (end == std::string_view::npos || end == 2)
        return false;
    parts.machine = rest.substr(2, end - 2);
    rest.remove_prefix(end);
    return true;
}

// `middle` is "object" or "object(instance)" or "object(parent/instance)".
bool SplitObject(std::string_view middle, CounterPathParts &parts)
{
    const auto open = middle.find('(');
    if (open == std::string_view::npos) {
        parts.object = middle;
        return !middle.empty() && middle.find(')') == std::string_view::npos;
    }
    if (open == 0 || middle.back() != ')')
        return false;
    parts.object = middle.substr(0, open);
    std::string_view inner = middle.substr(open + 1, middle.size() - open - 2);
    // Interface names cannot hold '/', so the first one separates a parent.
    if (const auto slash = inner.find('/'); slash != std::string_view::npos) {
        parts.parent = inner.substr(0, slash);
        inner.remove_prefix(slash + 1);
    }
    parts.hasInstance = true;
    parts.instance = inner;
    return true;
}

} // namespace

std::string FormatCounterPath(const CounterPathElements &elements)
{
    std::string path;
    if (elements.machineName && *elements.machineName) {
        if (elements.machineName[0] != '\\')
            path += "\\\\";
        path += elements.machineName;
    }
    path += '\\';
    path += elements.objectName ? elements.objectName : "";
    if (elements.instanceName) {
        path += '(';
        if (elements.parentInstance && *elements.parentInstance)
            path.append(elements.parentInstance).append("/");
        path += elements.instanceName;
        if (elements.instanceIndex != 0 && elements.instanceIndex != kNoIndex)
            path.append("#").append(std::to_string(elements.instanceIndex));
        path += ')';
    }
    path += '\\';
    path += elements.counterName ? elements.counterName : "";
    return path;
}

bool ParseCounterPath(std::string_view path, CounterPathParts &parts)
{
    parts = CounterPathParts();
    std::string_view rest = path;
    if (!TakeMachine(rest, parts) || rest.empty() || rest.front() != '\\')
        return false;
    const auto last = rest.rfind('\\');
    if (last == 0 || last + 1 == rest.size())
        return false;
    parts.counter = rest.substr(last + 1);
    return SplitObject(rest.substr(1, last - 1), parts);
}

} // namespace plat
