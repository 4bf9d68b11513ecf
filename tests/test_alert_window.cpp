// The alert window: its hand-over of place, size and colour with the main window, the close
// request, and its colour picker.
#include "app/toolkit/application.h"
#include "windows_fixture.h"

namespace {

void Deactivate(QWidget* window) {
    QEvent deactivate(QEvent::WindowDeactivate);
    QApplication::sendEvent(window, &deactivate);
}

} // namespace

class TestAlertWindow : public QObject {
    Q_OBJECT

    TApplication application;
    std::unique_ptr<WindowsFixture> fixture;

private slots:
    void init() {
        fixture = std::make_unique<WindowsFixture>();
        fixture->OpenMainWindows();
    }
    void cleanup() { fixture.reset(); }

    void firstShowingUsesTheStoredLook() {
        QCOMPARE(QRect(Alert->GetLeft(), Alert->GetTop(), Alert->GetWidth(), Alert->GetHeight()),
                 QRect(100, 100, 600, 500));
        QCOMPARE(Alert->CloseButton->GetColor(), TAlphaColor(0x00FFFF00));
        QCOMPARE(Alert->ColorPanel1->GetColor(), claYellow);
    }

    void activationTakesAndDeactivationHandsBack() {
        shared.alertLeft = 150;
        shared.alertColor = -256;
        Alert->FormActivate(nullptr);
        QCOMPARE(Alert->GetLeft(), 150);
        QCOMPARE(Alert->CloseButton->GetColor(), claYellow);
        Alert->SetTop(220);
        Alert->SetWidth(480);
        Alert->CloseButton->SetColor(0x80102030);
        Deactivate(Alert);
        QCOMPARE(QRect(shared.alertLeft, shared.alertTop, shared.alertWidth, shared.alertHeight),
                 QRect(150, 220, 480, 500));
        // The colour is handed back zero-extended, as a 32-bit colour.
        QCOMPARE(shared.alertColor, std::int64_t(0x80102030));
    }

    void clickAnywhereOutsideThePickerRequestsClose() {
        Alert->SetVisible(true);
        QVERIFY(QTest::qWaitForWindowExposed(Alert));
        Alert->ColorPanel1->setVisible(true);
        const QPoint onLabel = Alert->Label1->geometry().topLeft() + QPoint(5, 30);
        QTest::mouseClick(Alert->windowHandle(), Qt::LeftButton, {}, onLabel);
        QVERIFY(shared.alertCloseRequest);
        QVERIFY(Alert->ColorPanel1->isHidden());
    }

    void clickInsideThePickerIsThePickersOwn() {
        Alert->SetVisible(true);
        QVERIFY(QTest::qWaitForWindowExposed(Alert));
        Alert->ColorPanel1->setVisible(true);
        const QPoint inPicker = Alert->ColorPanel1->geometry().center();
        QTest::mouseClick(Alert->windowHandle(), Qt::LeftButton, {}, inPicker);
        QVERIFY(!shared.alertCloseRequest);
        QVERIFY(!Alert->ColorPanel1->isHidden());
    }

    void wheelShowsAndHidesThePicker() {
        Wheel(Alert->CloseButton);
        QVERIFY(!Alert->ColorPanel1->isHidden());
        Wheel(Alert->CloseButton);
        QVERIFY(!Alert->ColorPanel1->isHidden());
        Wheel(Alert->ColorPanel1);
        QVERIFY(Alert->ColorPanel1->isHidden());
    }

    void colourIsTakenWhenTheOperatorLetsGo() {
        Alert->ColorPanel1->setVisible(true);
        const TAlphaColor before = Alert->CloseButton->GetColor();
        QTest::mousePress(Alert->ColorPanel1, Qt::LeftButton, {}, QPoint(10, 10));
        QTest::mouseMove(Alert->ColorPanel1, QPoint(60, 40));
        QCOMPARE(Alert->CloseButton->GetColor(), before);
        QTest::mouseRelease(Alert->ColorPanel1, Qt::LeftButton, {}, QPoint(60, 40));
        QCOMPARE(Alert->CloseButton->GetColor(), Alert->ColorPanel1->GetColor());
    }

    // Closing from the title bar must not leave the main window believing the alert is still
    // up: that would silence every later mark in Manual mode.
    void titleBarCloseIsACloseRequest() {
        timerState.autoMode = false;
        Form1->DisplayAlertButtonClick(nullptr);
        QVERIFY(Alert->GetVisible());
        Alert->Close();
        QVERIFY(!Alert->GetVisible());
        QVERIFY(shared.alertCloseRequest);
        Form1->MilliTimerTimer(nullptr);
        QVERIFY(!timerState.alertShowing && !timerState.alertFromButton);
        Form1->DisplayAlertButtonClick(nullptr);
        QVERIFY(Alert->GetVisible());
    }
};

QTEST_MAIN(TestAlertWindow)
#include "test_alert_window.moc"
