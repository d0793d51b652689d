#include "pedals/pedal_source.h"

#include <QSignalSpy>
#include <QtTest>

#include <libevdev/libevdev-uinput.h>
#include <libevdev/libevdev.h>

#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <sys/ioctl.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using tavrin::PedalButton;
using tavrin::PedalSource;

namespace {

constexpr int kFoundWithinMs = 5000; // a pedal plugged in is to work within a second

// A pedal made through /dev/uinput, with the USB ID given: a real evdev device
// to the kernel, to libevdev and to udev. Unplugged when destroyed.
class VirtualPedal {
public:
    VirtualPedal(std::uint16_t vendor, std::uint16_t product)
    {
        libevdev* device = libevdev_new();
        libevdev_set_name(device, "tavrin test pedal");
        libevdev_set_id_bustype(device, BUS_USB);
        libevdev_set_id_vendor(device, vendor);
        libevdev_set_id_product(device, product);
        libevdev_enable_event_type(device, EV_KEY);
        for (int code : {BTN_0, BTN_1, BTN_2}) {
            libevdev_enable_event_code(device, EV_KEY, code, nullptr);
        }
        const int rc = libevdev_uinput_create_from_device(device, LIBEVDEV_UINPUT_OPEN_MANAGED, &uinput_);
        libevdev_free(device);
        if (rc != 0) {
            qFatal("cannot make a uinput device: %s", strerror(-rc));
        }
    }
    ~VirtualPedal() { libevdev_uinput_destroy(uinput_); }

    QString node() const { return QString::fromLocal8Bit(libevdev_uinput_get_devnode(uinput_)); }

    void key(int code, int value) const
    {
        libevdev_uinput_write_event(uinput_, EV_KEY, code, value);
        libevdev_uinput_write_event(uinput_, EV_SYN, SYN_REPORT, 0);
    }

private:
    libevdev_uinput* uinput_ = nullptr;
};

// Whether another reader can take the device for itself, as a second program
// (or the X server) would: it cannot while the source holds its grab.
int secondGrabError(const QString& node)
{
    const int fd = ::open(QFile::encodeName(node).constData(), O_RDONLY | O_NONBLOCK);
    if (fd < 0) {
        return errno;
    }
    const int error = ::ioctl(fd, EVIOCGRAB, 1) == 0 ? 0 : errno;
    ::close(fd); // closing ends a grab it got
    return error;
}

class SignalLog {
public:
    explicit SignalLog(PedalSource& source)
    {
        static const QStringList names{u"left"_s, u"middle"_s, u"right"_s};
        QObject::connect(&source, &PedalSource::pressed,
                         [this](PedalButton b) { entries.append(u"pressed "_s + names[int(b)]); });
        QObject::connect(&source, &PedalSource::released,
                         [this](PedalButton b) { entries.append(u"released "_s + names[int(b)]); });
    }
    QStringList entries;
};

} // namespace

class PedalUinputTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void findsAndGrabsAKnownPedal();
    void leavesOtherDevicesAlone();
    void readsTheDeviceNamed();
    void followsAPedalPluggedInAndPulledOut();
};

void PedalUinputTest::initTestCase()
{
    if (::access("/dev/uinput", W_OK) != 0) {
        const int error = errno;
        QSKIP(qPrintable(u"/dev/uinput is missing or not writable (%1): no virtual pedal can be made "
                         "(the kernel needs the uinput module, and the test the right to write it)"_s.arg(
                             QString::fromLocal8Bit(strerror(error)))));
    }
}

void PedalUinputTest::findsAndGrabsAKnownPedal()
{
    VirtualPedal pedal(0x05f3, 0x00ff);
    QCOMPARE(secondGrabError(pedal.node()), 0);
    {
        PedalSource source;
        SignalLog log(source);
        source.start();
        QVERIFY2(source.devicePaths().contains(pedal.node()), qPrintable(source.devicePaths().join(u' ')));
        QCOMPARE(secondGrabError(pedal.node()), EBUSY);

        pedal.key(BTN_2, 1);
        pedal.key(BTN_2, 0);
        pedal.key(BTN_0, 1);
        QTRY_COMPARE_WITH_TIMEOUT(log.entries,
                                  (QStringList{u"pressed right"_s, u"released right"_s, u"pressed left"_s}), 10000);
    }
    // The grab ends with the source.
    QCOMPARE(secondGrabError(pedal.node()), 0);
}

void PedalUinputTest::leavesOtherDevicesAlone()
{
    VirtualPedal keyboard(0x046d, 0xc31c);
    PedalSource source;
    source.start();
    QVERIFY(!source.devicePaths().contains(keyboard.node()));
    QCOMPARE(secondGrabError(keyboard.node()), 0);
}

void PedalUinputTest::readsTheDeviceNamed()
{
    VirtualPedal unknown(0x1234, 0x5678);
    PedalSource source;
    SignalLog log(source);
    source.setExtraDevicePath(unknown.node());
    source.start();
    QVERIFY(source.devicePaths().contains(unknown.node()));
    QCOMPARE(secondGrabError(unknown.node()), EBUSY);
    unknown.key(BTN_1, 1);
    QTRY_COMPARE_WITH_TIMEOUT(log.entries, QStringList{u"pressed middle"_s}, 10000);
}

void PedalUinputTest::followsAPedalPluggedInAndPulledOut()
{
    PedalSource source;
    SignalLog log(source);
    QSignalSpy devicesChanged(&source, &PedalSource::devicesChanged);
    source.start();
    const int changesBefore = devicesChanged.size();

    auto pedal = std::make_unique<VirtualPedal>(0x0911, 0x1844);
    const QString node = pedal->node();
    QTRY_VERIFY_WITH_TIMEOUT(source.devicePaths().contains(node), kFoundWithinMs);
    QCOMPARE(devicesChanged.size(), changesBefore + 1);
    pedal->key(BTN_1, 1);
    QTRY_COMPARE_WITH_TIMEOUT(log.entries, QStringList{u"pressed middle"_s}, 10000);

    // Pulled out with the pedal held: released, so that playback stops.
    pedal.reset();
    QTRY_VERIFY_WITH_TIMEOUT(!source.devicePaths().contains(node), kFoundWithinMs);
    QCOMPARE(devicesChanged.size(), changesBefore + 2);
    QCOMPARE(log.entries, (QStringList{u"pressed middle"_s, u"released middle"_s}));
}

QTEST_GUILESS_MAIN(PedalUinputTest)
#include "pedal_uinput_test.moc"
