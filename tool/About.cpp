#include "About.h"

#include <QDesktopServices>
#include <QFile>
#include <QMouseEvent>
#include <QPixmap>
#include <QUrl>

#include "JpegImage.h"
#include "ui_About.h"

namespace quorvan {
namespace {

QByteArray ResourceBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

TAboutBoxForm::TAboutBoxForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      ui(std::make_unique<Ui::TAboutBoxForm>()) {
    ui->setupUi(this);
    ui->Image1->setPixmap(QPixmap(QStringLiteral(":/quorvan/quorvan.png")));
    ui->Image2->setPixmap(
        QPixmap::fromImage(DecodeJpeg(ResourceBytes(QStringLiteral(":/quorvan/acerca.jpg")))));
    // The version label takes its clicks too, so they do not reach the white panel below.
    const std::initializer_list<QWidget*> clickable = {
        ui->Panel2, ui->Image1, ui->Label5, ui->Label2, ui->Image2, ui->Label1, ui->LabelVersion};
    for (QWidget* widget : clickable) {
        widget->installEventFilter(this);
    }
}

TAboutBoxForm::~TAboutBoxForm() = default;

void TAboutBoxForm::Image2Click() {
    close();
}

void TAboutBoxForm::Panel2Click() {
    close();
}

void TAboutBoxForm::Label1Click() {
    QDesktopServices::openUrl(QUrl(ui->Label1->text()));
}

bool TAboutBoxForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) {
        return true;
    }
    if (event->type() != QEvent::MouseButtonRelease) {
        return QDialog::eventFilter(watched, event);
    }
    const auto* release = static_cast<QMouseEvent*>(event);
    const auto* widget = static_cast<QWidget*>(watched);
    if (release->button() != Qt::LeftButton ||
        !widget->rect().contains(release->position().toPoint())) {
        return true;
    }
    if (watched == ui->Panel2) {
        Panel2Click();
    } else if (watched == ui->Label1) {
        Label1Click();
    } else if (watched != ui->LabelVersion) {
        Image2Click();
    }
    return true;
}

}  // namespace quorvan
