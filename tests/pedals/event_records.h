#pragma once

#include <QByteArray>

#include <linux/input.h>

#include <cstring>
#include <initializer_list>

namespace tavrin::test {

// Input events in the kernel's binary layout, as a device or a pipe gives them.
struct EventRecord {
    int type;
    int code;
    int value;
};

inline QByteArray eventRecords(std::initializer_list<EventRecord> events)
{
    QByteArray bytes;
    for (const EventRecord& record : events) {
        input_event event{};
        event.type = static_cast<__u16>(record.type);
        event.code = static_cast<__u16>(record.code);
        event.value = record.value;
        bytes.append(reinterpret_cast<const char*>(&event), sizeof event);
    }
    return bytes;
}

inline EventRecord key(int code, int value)
{
    return {EV_KEY, code, value};
}

inline EventRecord report()
{
    return {EV_SYN, SYN_REPORT, 0};
}

inline EventRecord dropped()
{
    return {EV_SYN, SYN_DROPPED, 0};
}

} // namespace tavrin::test
