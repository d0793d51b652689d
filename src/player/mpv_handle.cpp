#include "player/mpv_handle.h"

#include "files/path_bytes.h"
#include "player/player_error.h"

#include <vector>

namespace tavrin {

namespace {

// libmpv wants its arguments as a list ending in a null pointer.
std::vector<const char*> argumentList(std::initializer_list<const char*> args)
{
    std::vector<const char*> list(args);
    list.push_back(nullptr);
    return list;
}

int64_t playlistEntryOf(const mpv_node& result)
{
    if (result.format != MPV_FORMAT_NODE_MAP)
        return -1;
    int64_t entry = -1;
    const mpv_node_list* map = result.u.list;
    for (int i = 0; i < map->num; ++i) {
        if (qstrcmp(map->keys[i], "playlist_entry_id") == 0 && map->values[i].format == MPV_FORMAT_INT64)
            entry = map->values[i].u.int64;
    }
    return entry;
}

} // namespace

MpvHandle::MpvHandle()
    : api_(loadLibMpv())
    , handle_(api_.create())
{
    if (!handle_)
        throw PlayerError("播放器无法启动：libmpv 创建失败");
}

MpvHandle::~MpvHandle()
{
    api_.setWakeupCallback(handle_, nullptr, nullptr);
    api_.terminateDestroy(handle_);
}

void MpvHandle::setOption(const char* name, const char* value)
{
    throwOnError(name, api_.setOptionString(handle_, name, value));
}

void MpvHandle::initialize()
{
    if (faults_ && faults_->initializeFails)
        throwOnError("initialize", MPV_ERROR_INVALID_PARAMETER);
    throwOnError("initialize", api_.initialize(handle_));
}

void MpvHandle::observe(uint64_t id, const char* name, mpv_format format)
{
    api_.observeProperty(handle_, id, name, format);
}

void MpvHandle::setWakeupCallback(void (*wakeup)(void*), void* context)
{
    api_.setWakeupCallback(handle_, wakeup, context);
}

const mpv_event& MpvHandle::nextEvent()
{
    return *api_.waitEvent(handle_, 0);
}

void MpvHandle::command(std::initializer_list<const char*> args)
{
    std::vector<const char*> list = argumentList(args);
    throwOnError(list.front(), api_.command(handle_, list.data()));
}

void MpvHandle::commandIgnoringFailure(std::initializer_list<const char*> args)
{
    std::vector<const char*> list = argumentList(args);
    api_.command(handle_, list.data());
}

void MpvHandle::commandAsync(uint64_t reply, std::initializer_list<const char*> args)
{
    std::vector<const char*> list = argumentList(args);
    throwOnError(list.front(), api_.commandAsync(handle_, reply, list.data()));
}

int64_t MpvHandle::loadFile(const QString& path, double start)
{
    // libmpv opens the bytes it is given, as fopen() does: a name that is not UTF-8 keeps its own.
    const QByteArray file = encodePath(path);
    const QByteArray startOption = "start=" + QByteArray::number(start, 'f', 6);
    std::vector<const char*> list = argumentList({"loadfile", file.constData(), "replace", startOption.constData()});
    if (faults_ && faults_->loadFileFails)
        throwOnError("loadfile", MPV_ERROR_COMMAND);
    mpv_node result;
    throwOnError("loadfile", api_.commandRet(handle_, list.data(), &result));
    const int64_t entry = playlistEntryOf(result);
    api_.freeNodeContents(&result);
    return entry;
}

void MpvHandle::setFlag(const char* name, bool value)
{
    int flag = value ? 1 : 0;
    throwOnError(name, api_.setProperty(handle_, name, MPV_FORMAT_FLAG, &flag));
}

void MpvHandle::setFlagIgnoringFailure(const char* name, bool value)
{
    int flag = value ? 1 : 0;
    api_.setProperty(handle_, name, MPV_FORMAT_FLAG, &flag);
}

void MpvHandle::setDouble(const char* name, double value)
{
    throwOnError(name, api_.setProperty(handle_, name, MPV_FORMAT_DOUBLE, &value));
}

std::optional<double> MpvHandle::getDouble(const char* name) const
{
    double value = 0.0;
    if (api_.getProperty(handle_, name, MPV_FORMAT_DOUBLE, &value) < 0)
        return std::nullopt;
    return value;
}

bool MpvHandle::getFlag(const char* name) const
{
    int flag = 0;
    api_.getProperty(handle_, name, MPV_FORMAT_FLAG, &flag);
    return flag != 0;
}

std::optional<int64_t> MpvHandle::getInt(const char* name) const
{
    int64_t value = 0;
    if (api_.getProperty(handle_, name, MPV_FORMAT_INT64, &value) < 0)
        return std::nullopt;
    return value;
}

std::optional<QByteArray> MpvHandle::getString(const char* name) const
{
    char* value = nullptr;
    if (api_.getProperty(handle_, name, MPV_FORMAT_STRING, &value) < 0 || !value)
        return std::nullopt;
    QByteArray text(value);
    api_.free(value);
    return text;
}

void MpvHandle::setString(const char* name, const char* value)
{
    const char* text = value;
    throwOnError(name, api_.setProperty(handle_, name, MPV_FORMAT_STRING, &text));
}

bool MpvHandle::hasString(const char* name) const
{
    char* value = nullptr;
    if (api_.getProperty(handle_, name, MPV_FORMAT_STRING, &value) < 0 || !value)
        return false;
    api_.free(value);
    return true;
}

QString MpvHandle::errorText(int error) const
{
    return QString::fromUtf8(api_.errorString(error));
}

void MpvHandle::throwOnError(const char* what, int error) const
{
    if (error < 0)
        throw PlayerError(
            QStringLiteral("播放器操作失败：%1（%2）").arg(QString::fromUtf8(what), errorText(error)).toStdString());
}

} // namespace tavrin
