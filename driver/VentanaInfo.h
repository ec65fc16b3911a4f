#pragma once
// The diagnostic window: for one port, the queued writes of all ports, the port's read
// requests and its cached blocks with their bytes, the blocks refreshed every half second.
// It reads the driver's lists only through copies made under SeccionCritica, and fills
// its grids after letting go of the lock; it changes nothing in the driver.

#include <QDialog>
#include <QTimer>
#include <cstdint>
#include <memory>

namespace Ui {
class TFVentanaInfo;
}

namespace baslink {

class TFVentanaInfo : public QDialog {
public:
    explicit TFVentanaInfo(QWidget* parent = nullptr);
    ~TFVentanaInfo() override;

    uint8_t Puerto = 0;  // the port shown; set before the window is shown

    // Each time the window becomes active: the caption and all three grids.
    void FormActivate();
    // Every 500 ms: the date label and the cached bytes of the blocks; closes the window
    // once the library is stopping, as the lists are about to go.
    void Timer1Timer();
    // A click on the top strip closes the window.
    void Panel1Click();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::unique_ptr<Ui::TFVentanaInfo> ui;
    QTimer Timer1;
};

// Shows the window for `port` modally and returns once it is closed. With no QApplication
// on the calling thread, or on a thread inside a bus exchange (the window would hold up the
// worker for as long as it is open), it shows a message instead.
void MostrarVentanaInfo(uint8_t port);

}  // namespace baslink
