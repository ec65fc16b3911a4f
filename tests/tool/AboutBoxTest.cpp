// The about box: its look, and which clicks close it.

#include <QDesktopServices>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include "About.h"

namespace {

// Stands in for the shell: records the addresses it is asked to open.
class UrlRecorder : public QObject {
    Q_OBJECT

public:
    QList<QUrl> opened;

public slots:
    void Open(const QUrl& url) { opened << url; }
};

void Click(quorvan::TAboutBoxForm& box, const char* name, QPoint at = {}) {
    auto* widget = box.findChild<QWidget*>(QString::fromLatin1(name));
    QVERIFY(widget != nullptr);
    QTest::mouseClick(widget, Qt::LeftButton, {}, at.isNull() ? widget->rect().center() : at);
}

}  // namespace

class AboutBoxTest : public QObject {
    Q_OBJECT

private slots:
    void looksAsABorderlessTopmostBox() {
        quorvan::TAboutBoxForm box;
        box.show();
        QCOMPARE(box.size(), QSize(317, 222));
        QVERIFY(box.windowFlags().testFlag(Qt::FramelessWindowHint));
        QVERIFY(box.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        const QPixmap picture = box.findChild<QLabel*>("Image2")->pixmap();
        QCOMPARE(picture.size(), QSize(306, 108));
        QCOMPARE(box.findChild<QLabel*>("Image1")->pixmap().size(), QSize(32, 32));
        QCOMPARE(box.findChild<QLabel*>("LabelVersion")->text(), QString("Version 1.2"));
    }

    void closesOnThePictureTheTitlesAndTheWhiteArea_data() {
        QTest::addColumn<QString>("control");
        for (const char* name : {"Image2", "Image1", "Label5", "Label2", "Panel2"}) {
            QTest::newRow(name) << QString::fromLatin1(name);
        }
    }
    void closesOnThePictureTheTitlesAndTheWhiteArea() {
        QFETCH(QString, control);
        quorvan::TAboutBoxForm box;
        box.show();
        const QPoint at = control == "Panel2" ? QPoint(150, 200) : QPoint();
        Click(box, control.toLatin1().constData(), at);
        QVERIFY(!box.isVisible());
        box.show();  // the same object serves again
        QVERIFY(box.isVisible());
    }

    void staysOpenOnTheVersionLabelAndTheBlackFrame() {
        quorvan::TAboutBoxForm box;
        box.show();
        Click(box, "LabelVersion");
        QVERIFY(box.isVisible());
        Click(box, "Panel1", QPoint(2, 2));
        QVERIFY(box.isVisible());
    }

    void theLinkOpensItsAddressAndLeavesTheBoxOpen() {
        UrlRecorder shell;
        QDesktopServices::setUrlHandler("https", &shell, "Open");
        quorvan::TAboutBoxForm box;
        box.show();
        Click(box, "Label1");
        QDesktopServices::unsetUrlHandler("https");
        QCOMPARE(shell.opened, QList<QUrl>{QUrl(box.findChild<QLabel*>("Label1")->text())});
        QVERIFY(shell.opened.first().host().endsWith("example.org"));
        QVERIFY(box.isVisible());
    }

    void aModalShowingEndsWithAClick() {
        quorvan::TAboutBoxForm box;
        QTimer::singleShot(0, &box, [&box] { Click(box, "Image2"); });
        box.exec();  // returns only when the click closed the box
        QVERIFY(!box.isVisible());
    }
};

QTEST_MAIN(AboutBoxTest)
#include "AboutBoxTest.moc"
