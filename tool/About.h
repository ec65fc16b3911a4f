#pragma once
// The about box: the tool's name, version and picture with a link to the maker's web
// address. One object serves as the splash screen at start and as the "?" box.

#include <QDialog>
#include <memory>

namespace Ui {
class TAboutBoxForm;
}

namespace quorvan {

class TAboutBoxForm : public QDialog {
    Q_OBJECT

public:
    explicit TAboutBoxForm(QWidget* parent = nullptr);
    ~TAboutBoxForm() override;

    // Close the box: a click on any white area, the icon, the titles or the picture.
    void Image2Click();
    void Panel2Click();
    // Open the web address of the link label; the box stays open.
    void Label1Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::unique_ptr<Ui::TAboutBoxForm> ui;
};

}  // namespace quorvan
