#include "pedals/pedal_messages.h"

#include <cerrno>
#include <cstring>

namespace tavrin {

QString cannotOpenPedalText(const QString& devicePath, int errnoValue)
{
    switch (errnoValue) {
    case EACCES:
    case EPERM:
        return QStringLiteral("无法读取脚踏板 %1：没有权限。请安装本程序的软件包（其中的 udev 规则 "
                              "70-tavrin-pedals.rules 允许当前登录的用户读取脚踏板），"
                              "或把用户加入 input 组后重新登录。")
            .arg(devicePath);
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return QStringLiteral("无法读取脚踏板 %1：设备不存在。请检查路径，或重新插上脚踏板。").arg(devicePath);
    case ENOTTY:
    case EINVAL:
        return QStringLiteral("无法读取脚踏板 %1：这不是输入设备。请指定 /dev/input/event 开头的设备。")
            .arg(devicePath);
    default:
        return QStringLiteral("无法读取脚踏板 %1：%2")
            .arg(devicePath, QString::fromLocal8Bit(std::strerror(errnoValue)));
    }
}

} // namespace tavrin
