#pragma once

#include "player/libmpv_loader.h"
#include "player/player_faults.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <initializer_list>
#include <optional>

namespace tavrin {

// One libmpv instance and the calls the player makes on it, in the player's
// terms: a call that fails throws PlayerError (player_error.h) naming what
// failed, unless its name says the failure is ignored.
class MpvHandle {
public:
    // Loads libmpv and creates an instance, not yet initialized; throws when either fails.
    MpvHandle();
    // No wakeup comes after it; the instance and its threads are gone.
    ~MpvHandle();
    MpvHandle(const MpvHandle&) = delete;
    MpvHandle& operator=(const MpvHandle&) = delete;

    void setOption(const char* name, const char* value);
    void initialize();

    // Changes of the property come as MPV_EVENT_PROPERTY_CHANGE events carrying `id`.
    void observe(uint64_t id, const char* name, mpv_format format);
    // `wakeup` is called on one of libmpv's threads whenever an event is queued.
    void setWakeupCallback(void (*wakeup)(void*), void* context);
    // The next queued event without waiting; MPV_EVENT_NONE when there is none.
    const mpv_event& nextEvent();

    void command(std::initializer_list<const char*> args);
    void commandIgnoringFailure(std::initializer_list<const char*> args);
    // Queues the command; its outcome comes as MPV_EVENT_COMMAND_REPLY carrying
    // `reply`, after every event libmpv queued before it took the command.
    void commandAsync(uint64_t reply, std::initializer_list<const char*> args);
    // Replaces the playlist with `path`, to start at `start` seconds, and
    // returns the playlist entry libmpv gave it (-1 should it give none).
    int64_t loadFile(const QString& path, double start);

    void setFlag(const char* name, bool value);
    void setFlagIgnoringFailure(const char* name, bool value);
    void setDouble(const char* name, double value);
    // Reads answer "nothing" (false) for a property that has no value now, as
    // the position or duration while no file is open.
    std::optional<double> getDouble(const char* name) const;
    bool getFlag(const char* name) const;
    bool hasString(const char* name) const;
    std::optional<int64_t> getInt(const char* name) const;
    std::optional<QByteArray> getString(const char* name) const;
    void setString(const char* name, const char* value);
    // The instance itself, for libmpv's render API.
    mpv_handle* handle() const { return handle_; }
    const LibMpv& api() const { return api_; }

    QString errorText(int error) const;

    // Calls that fail on purpose (tests only); none: libmpv's own results.
    void setFaults(const PlayerFaults* faults) { faults_ = faults; }

private:
    void throwOnError(const char* what, int error) const;

    const LibMpv& api_;
    mpv_handle* handle_;
    const PlayerFaults* faults_ = nullptr;
};

} // namespace tavrin
