#include "pedals/pedal_source.h"

#include "pedals/pedal_discovery.h"
#include "pedals/pedal_hotplug.h"
#include "pedals/pedal_input.h"

#include <QFileInfo>
#include <QSocketNotifier>

#include <algorithm>
#include <utility>

namespace tavrin {

namespace {

// The device node a path leads to, kept from when it was opened: once the
// device is unplugged, a link to it leads nowhere.
QString nodeOf(const QString& path)
{
    const QString node = QFileInfo(path).canonicalFilePath();
    return node.isEmpty() ? path : node;
}

} // namespace

struct PedalSource::OpenInput {
    std::unique_ptr<PedalInput> input;
    std::unique_ptr<QSocketNotifier> notifier;
    QString node;
};

PedalSource::PedalSource(QObject* parent)
    : QObject(parent)
{
}

PedalSource::~PedalSource() = default;

void PedalSource::start()
{
    if (started_) {
        return;
    }
    started_ = true;
    hotplug_ = new PedalHotplug(this);
    connect(hotplug_, &PedalHotplug::added, this, &PedalSource::openIfPedal);
    connect(hotplug_, &PedalHotplug::removed, this, &PedalSource::forgetPath);
    openKnownPedals();
    if (!extraDevicePath_.isEmpty()) {
        openDevice(extraDevicePath_);
    }
}

void PedalSource::setExtraDevicePath(const QString& path)
{
    if (path == extraDevicePath_) {
        return;
    }
    const QString previous = std::exchange(extraDevicePath_, path);
    if (!started_) {
        return;
    }
    if (!previous.isEmpty() && !isKnownPedalNode(nodeOf(previous))) {
        forgetPath(previous);
    }
    if (!path.isEmpty()) {
        openDevice(path);
    }
}

void PedalSource::setPedalKeys(const QList<int>& keysFromLeft)
{
    if (keysFromLeft == pedalKeys_)
        return;
    pedalKeys_ = keysFromLeft;
    for (const auto& open : inputs_)
        tell(open->input->usePedalKeys(pedalKeys_));
}

void PedalSource::addEventStream(int fd, const QList<int>& buttonCodes)
{
    adopt(std::make_unique<StreamPedal>(fd, buttonCodes));
}

QStringList PedalSource::devicePaths() const
{
    QStringList paths;
    for (const auto& open : inputs_) {
        paths.append(open->input->path());
    }
    return paths;
}

void PedalSource::openKnownPedals()
{
    for (const QString& node : inputEventNodes()) {
        if (isKnownPedalNode(node)) {
            openDevice(node);
        }
    }
}

void PedalSource::openIfPedal(const QString& eventNode)
{
    if (isKnownPedalNode(eventNode)) {
        openDevice(eventNode);
    } else if (isExtraDevice(eventNode)) {
        openDevice(extraDevicePath_);
    }
}

void PedalSource::openDevice(const QString& path)
{
    if (isOpen(path)) {
        return;
    }
    int error = 0;
    std::unique_ptr<EvdevPedal> device = EvdevPedal::open(path, &error);
    if (!device) {
        if (!toldErrors_.contains(error)) {
            toldErrors_.insert(error);
            Q_EMIT cannotOpen(path, error);
        }
        return;
    }
    adopt(std::move(device));
}

void PedalSource::adopt(std::unique_ptr<PedalInput> input)
{
    PedalInput* raw = input.get();
    if (!pedalKeys_.isEmpty())
        raw->usePedalKeys(pedalKeys_); // nothing is held yet
    auto notifier = std::make_unique<QSocketNotifier>(raw->fd(), QSocketNotifier::Read);
    connect(notifier.get(), &QSocketNotifier::activated, this, [this, raw] { readFrom(raw); });
    const QString node = nodeOf(raw->path());
    inputs_.push_back(std::make_unique<OpenInput>(OpenInput{std::move(input), std::move(notifier), node}));
    Q_EMIT devicesChanged();
    // Events may have come between opening and watching.
    readFrom(raw);
}

void PedalSource::readFrom(PedalInput* input)
{
    const PedalInput::Reading reading = input->readAvailable();
    tell(reading.changes);
    if (reading.gone) {
        forget(input);
    }
}

void PedalSource::forget(PedalInput* input)
{
    const auto open = std::find_if(inputs_.begin(), inputs_.end(),
                                   [input](const auto& candidate) { return candidate->input.get() == input; });
    if (open == inputs_.end()) {
        return;
    }
    std::unique_ptr<OpenInput> gone = std::move(*open);
    inputs_.erase(open);
    // Deleted later: this may run in the notifier's own signal.
    gone->notifier->setEnabled(false);
    gone->notifier.release()->deleteLater();
    tell(gone->input->releaseAll());
    gone.reset();
    Q_EMIT devicesChanged();
}

void PedalSource::forgetPath(const QString& path)
{
    const QString node = nodeOf(path);
    for (const auto& open : inputs_) {
        if (open->node == node || open->input->path() == path) {
            forget(open->input.get());
            return;
        }
    }
}

bool PedalSource::isOpen(const QString& path) const
{
    const QString node = nodeOf(path);
    return std::any_of(inputs_.begin(), inputs_.end(), [&node](const auto& open) { return open->node == node; });
}

bool PedalSource::isExtraDevice(const QString& eventNode) const
{
    return !extraDevicePath_.isEmpty() && nodeOf(extraDevicePath_) == eventNode;
}

void PedalSource::tell(const QList<PedalChange>& changes)
{
    for (const PedalChange& change : changes) {
        if (change.pressed) {
            Q_EMIT pressed(change.button);
        } else {
            Q_EMIT released(change.button);
        }
    }
}

} // namespace tavrin
