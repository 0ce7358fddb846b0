#include "platform.h"

#include "linux_platform.h"

namespace pelorin {

namespace {
Platform* g_installed = nullptr;
}

Platform& Platform::instance()
{
    if (g_installed) return *g_installed;
    static LinuxPlatform real;
    return real;
}

void Platform::setInstance(Platform* p)
{
    g_installed = p;
}

} // namespace pelorin
