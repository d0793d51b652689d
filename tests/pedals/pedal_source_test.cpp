#include "event_records.h"
#include "support/temp_folder.h"

#include "pedals/pedal_source.h"

#include <QSignalSpy>
#include <QtTest>

#include <cerrno>
#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace tavrin::test;
using tavrin::PedalButton;
using tavrin::PedalSource;

namespace {

const QList<int> kButtons{BTN_0, BTN_1, BTN_2};

// Every press and release a source tells, in the order told.
class SignalLog {
public:
    explicit SignalLog(PedalSource& source)
    {
        static const QStringList names{u"left"_s, u"middle"_s, u"right"_s};
        QObject::connect(&source, &PedalSource::pressed,
                         [this](PedalButton button) { entries.append(u"pressed "_s + names[int(button)]); });
        QObject::connect(&source, &PedalSource::released,
                         [this](PedalButton button) { entries.append(u"released "_s + names[int(button)]); });
    }
    QStringList entries;
};

struct Pipe {
    Pipe()
    {
        if (::pipe(ends) != 0) {
            qFatal("no pipe");
        }
    }
    ~Pipe() { closeWriteEnd(); }
    int readEnd() const { return ends[0]; }
    void write(const QByteArray& bytes) const
    {
        QCOMPARE(::write(ends[1], bytes.constData(), bytes.size()), bytes.size());
    }
    void closeWriteEnd()
    {
        if (ends[1] >= 0) {
            ::close(ends[1]);
            ends[1] = -1;
        }
    }
    int ends[2];
};

} // namespace

class PedalSourceTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void streamEventsComeOutInOrder();
    void endOfStreamReleasesWhatIsHeld();
    void cannotOpenIsToldOncePerReason();
};

void PedalSourceTest::streamEventsComeOutInOrder()
{
    PedalSource source;
    SignalLog log(source);
    QSignalSpy devicesChanged(&source, &PedalSource::devicesChanged);
    Pipe pipe;
    source.addEventStream(pipe.readEnd(), kButtons);
    QCOMPARE(devicesChanged.size(), 1);
    QCOMPARE(source.devicePaths().size(), 1);

    pipe.write(eventRecords({key(BTN_0, 1), report(), key(BTN_2, 1), report(), key(BTN_0, 2), report()}));
    QTRY_COMPARE_WITH_TIMEOUT(log.entries, (QStringList{u"pressed left"_s, u"pressed right"_s}), 10000);
    pipe.write(eventRecords({key(BTN_0, 0), report(), key(BTN_1, 1), key(BTN_2, 0), key(BTN_1, 0), report()}));
    QTRY_COMPARE_WITH_TIMEOUT(log.entries,
                              (QStringList{u"pressed left"_s, u"pressed right"_s, u"released left"_s,
                                           u"pressed middle"_s, u"released right"_s, u"released middle"_s}),
                              10000);
    QCOMPARE(devicesChanged.size(), 1);
}

void PedalSourceTest::endOfStreamReleasesWhatIsHeld()
{
    PedalSource source;
    SignalLog log(source);
    QSignalSpy devicesChanged(&source, &PedalSource::devicesChanged);
    Pipe pipe;
    source.addEventStream(pipe.readEnd(), kButtons);
    pipe.write(eventRecords({key(BTN_1, 1), report()}));
    QTRY_COMPARE_WITH_TIMEOUT(log.entries, QStringList{u"pressed middle"_s}, 10000);

    pipe.closeWriteEnd();
    QTRY_COMPARE_WITH_TIMEOUT(devicesChanged.size(), 2, 10000);
    QCOMPARE(log.entries, (QStringList{u"pressed middle"_s, u"released middle"_s}));
    QVERIFY(source.devicePaths().isEmpty());
}

void PedalSourceTest::cannotOpenIsToldOncePerReason()
{
    TempFolder folder;
    PedalSource source;
    QSignalSpy cannotOpen(&source, &PedalSource::cannotOpen);
    const QString missing = folder.filePath(u"event-gone"_s);
    source.setExtraDevicePath(missing);
    QCOMPARE(cannotOpen.size(), 0); // not before starting
    source.start();
    QCOMPARE(cannotOpen.size(), 1);
    QCOMPARE(cannotOpen[0], (QVariantList{missing, ENOENT}));

    source.setExtraDevicePath(folder.filePath(u"event-also-gone"_s));
    QCOMPARE(cannotOpen.size(), 1);

    // A plain file opens, but it is no input device.
    const QString plain = folder.write(u"plain"_s, "not a device");
    source.setExtraDevicePath(plain);
    QCOMPARE(cannotOpen.size(), 2);
    QCOMPARE(cannotOpen[1], (QVariantList{plain, ENOTTY}));
    source.setExtraDevicePath(folder.write(u"another"_s, "nor this"));
    QCOMPARE(cannotOpen.size(), 2);
    QVERIFY(!source.devicePaths().contains(plain));
}

QTEST_GUILESS_MAIN(PedalSourceTest)
#include "pedal_source_test.moc"
