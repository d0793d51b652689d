#include "controls/media_icons.h"
#include "controls/player_controls.h"

#include <QToolButton>
#include <QtTest>

using namespace tavrin;

namespace {

QImage imageOf(const QIcon& icon, int size)
{
    return icon.pixmap(QSize(size, size)).toImage().convertToFormat(QImage::Format_ARGB32);
}

// The colours of the fully drawn pixels; none: a blank symbol.
QSet<QRgb> inkOf(const QImage& image)
{
    QSet<QRgb> ink;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) == 255)
                ink.insert(image.pixel(x, y) & RGB_MASK);
    return ink;
}

QToolButton* button(PlayerControls& controls, const QString& name)
{
    for (auto* candidate : controls.findChildren<QToolButton*>())
        if (candidate->accessibleName() == name)
            return candidate;
    return nullptr;
}

} // namespace

class MediaIconsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void eachSymbolIsDrawnInItsColour_data();
    void eachSymbolIsDrawnInItsColour();
    void symbolsDiffer();
    void theBarFollowsItsPaletteAndTheMute();
};

void MediaIconsTest::eachSymbolIsDrawnInItsColour_data()
{
    QTest::addColumn<MediaIcon>("kind");
    QTest::addColumn<int>("size");
    const std::pair<MediaIcon, const char*> kinds[] = {{MediaIcon::Play, "play"},
                                                       {MediaIcon::Pause, "pause"},
                                                       {MediaIcon::Stop, "stop"},
                                                       {MediaIcon::Volume, "volume"},
                                                       {MediaIcon::Muted, "muted"}};
    for (const auto& [kind, name] : kinds)
        for (int size : {16, 32})
            QTest::addRow("%s at %d", name, size) << kind << size;
}

void MediaIconsTest::eachSymbolIsDrawnInItsColour()
{
    QFETCH(MediaIcon, kind);
    QFETCH(int, size);
    const QColor colour(0x20, 0x60, 0xa0);
    const QImage image = imageOf(mediaIcon(kind, colour), size);
    QCOMPARE(image.size(), QSize(size, size));
    QCOMPARE(inkOf(image), QSet<QRgb>{colour.rgb() & RGB_MASK});
    // A symbol, not a filled square: the corners stay clear.
    for (const QPoint corner : {QPoint(0, 0), QPoint(size - 1, 0), QPoint(0, size - 1), QPoint(size - 1, size - 1)})
        QCOMPARE(qAlpha(image.pixel(corner)), 0);
}

void MediaIconsTest::symbolsDiffer()
{
    const MediaIcon kinds[] = {MediaIcon::Play, MediaIcon::Pause, MediaIcon::Stop, MediaIcon::Volume, MediaIcon::Muted};
    for (MediaIcon first : kinds)
        for (MediaIcon second : kinds)
            if (first != second)
                QVERIFY(imageOf(mediaIcon(first, Qt::black), 16) != imageOf(mediaIcon(second, Qt::black), 16));
}

void MediaIconsTest::theBarFollowsItsPaletteAndTheMute()
{
    PlayerControls controls;
    QPalette light = controls.palette();
    light.setColor(QPalette::ButtonText, QColor(0xf0, 0xe0, 0x10));
    controls.setPalette(light);
    QToolButton* play = button(controls, QStringLiteral("播放"));
    QToolButton* mute = button(controls, QStringLiteral("静音"));
    QVERIFY(play && mute);
    QCOMPARE(inkOf(imageOf(play->icon(), 16)), QSet<QRgb>{light.color(QPalette::ButtonText).rgb() & RGB_MASK});

    const QColor ink = light.color(QPalette::ButtonText);
    QCOMPARE(imageOf(mute->icon(), 16), imageOf(mediaIcon(MediaIcon::Volume, ink), 16));
    controls.setMuted(true);
    QCOMPARE(imageOf(mute->icon(), 16), imageOf(mediaIcon(MediaIcon::Muted, ink), 16));
    controls.setMuted(false);
    QCOMPARE(imageOf(mute->icon(), 16), imageOf(mediaIcon(MediaIcon::Volume, ink), 16));
}

QTEST_MAIN(MediaIconsTest)
#include "media_icons_test.moc"
