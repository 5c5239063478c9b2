#pragma once
// The order in which network interfaces are listed, so that the first name is a real,
// working adapter: the one a first start should pick.

#include <string>
#include <vector>

namespace plat {

struct LinkInfo {
    int index = 0; // the kernel's interface index
    std::string name;
    bool up = false;      // administratively up
    bool running = false; // operationally up: carrier and link ready
    bool loopback = false;
    bool hasParent = false; // hardware behind it: a parent device (PCI, USB, virtio ...)
};

// Up and running first, then every other non-loopback interface, then loopback; by
// interface index within each group.
void SortForListing(std::vector<LinkInfo> &links);

} // namespace plat
