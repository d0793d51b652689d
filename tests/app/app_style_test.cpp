#include "app/app_style.h"
#include "desktop/fonts.h"

#include <QApplication>
#include <QFile>
#include <QGroupBox>
#include <QImage>
#include <QMenuBar>
#include <QStyle>
#include <QStyleFactory>
#include <QtTest>

#include <memory>

using namespace tavrin;

namespace {

// Whether any of Qt's image format plugins has been loaded into this process.
bool imagePluginLoaded()
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    if (!maps.open(QIODevice::ReadOnly))
        qFatal("cannot read /proc/self/maps");
    return maps.readAll().contains("/imageformats/");
}

QImage drawn(QWidget& widget)
{
    QImage image(widget.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    widget.render(&image);
    return image;
}

} // namespace

class AppStyleTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void firstSightLoadsNoImagePlugin();
    void groupBoxFrameIsFusionsOwn_data();
    void groupBoxFrameIsFusionsOwn();
    void menuBarOverflowArrowIsTheStylesOwn();

private:
    std::unique_ptr<QStyle> fusion_;
};

void AppStyleTest::initTestCase()
{
    installAppStyle(*qApp);
    fusion_.reset(QStyleFactory::create(QStringLiteral("Fusion")));
    QVERIFY(fusion_);
    QCOMPARE(QApplication::font(), interfaceFont());
}

// Runs first: what the window shows at start (a menu bar, titled group boxes)
// draws without Qt reading a picture through its plugins.
void AppStyleTest::firstSightLoadsNoImagePlugin()
{
    QVERIFY(!imagePluginLoaded());
    QWidget window;
    window.resize(400, 120);
    auto* bar = new QMenuBar(&window);
    bar->addAction(QStringLiteral(" 加载音视频 "));
    auto* box = new QGroupBox(QStringLiteral("暂停播放切换键"), &window);
    box->setGeometry(10, 40, 145, 46);
    drawn(window);
    QVERIFY(!imagePluginLoaded());
}

void AppStyleTest::groupBoxFrameIsFusionsOwn_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("checkable");
    QTest::newRow("titled") << QStringLiteral("用时间定位语音") << false;
    QTest::newRow("untitled") << QString() << false;
    QTest::newRow("checkable, untitled") << QString() << true;
}

void AppStyleTest::groupBoxFrameIsFusionsOwn()
{
    QFETCH(QString, title);
    QFETCH(bool, checkable);
    QGroupBox ours(title);
    QGroupBox fusions(title);
    fusions.setStyle(fusion_.get());
    for (QGroupBox* box : {&ours, &fusions}) {
        box->setCheckable(checkable);
        box->resize(145, 46);
    }
    QCOMPARE(drawn(ours), drawn(fusions));
}

void AppStyleTest::menuBarOverflowArrowIsTheStylesOwn()
{
    for (QStyle::StandardPixmap which :
         {QStyle::SP_ToolBarHorizontalExtensionButton, QStyle::SP_ToolBarVerticalExtensionButton}) {
        const QIcon ours = qApp->style()->standardIcon(which);
        const QIcon fusions = fusion_->standardIcon(which);
        QVERIFY(!ours.isNull());
        QCOMPARE(ours.pixmap(16).toImage(), fusions.pixmap(16).toImage());
    }
}

QTEST_MAIN(AppStyleTest)
#include "app_style_test.moc"
