#include "AppIcons.h"

#include <QImage>
#include <QPixmap>

#include <initializer_list>
#include <windows.h>

namespace {

// One image per size, each loaded from its own entry of the icon resource, so no size is
// scaled from another.
QIcon IconResource(int id, std::initializer_list<int> sizes)
{
    QIcon icon;
    for (const int size : sizes) {
        auto *handle = static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id),
                                                       IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
        if (!handle)
            continue;
        icon.addPixmap(QPixmap::fromImage(QImage::fromHICON(handle)));
        ::DestroyIcon(handle);
    }
    return icon;
}

} // namespace

QIcon ProgramIcon()
{
    return IconResource(128, {16, 24, 32, 48, 64, 256});
}

QIcon TrayIcon()
{
    return IconResource(129, {16, 20, 24, 32});
}
