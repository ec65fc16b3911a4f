#include "UpDownEdit.h"

#include <QLineEdit>
#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionSpinBox>
#include <algorithm>

#include "AnsiText.h"
#include "IntegerText.h"

namespace quorvan {

UpDownEdit::UpDownEdit(QWidget* parent) : QAbstractSpinBox(parent) {
    connect(lineEdit(), &QLineEdit::textChanged, this, &UpDownEdit::textChanged);
}

QString UpDownEdit::text() const {
    return lineEdit()->text();
}

void UpDownEdit::setText(const QString& text) {
    lineEdit()->setText(text);
}

void UpDownEdit::stepBy(int steps) {
    const auto value = TextToInteger(ToAnsi(text()));
    const qint64 start = std::clamp<qint64>(value.value_or(minimum_), minimum_, maximum_);
    setText(QString::number(std::clamp<qint64>(start + steps, minimum_, maximum_)));
}

QAbstractSpinBox::StepEnabled UpDownEdit::stepEnabled() const {
    return StepUpEnabled | StepDownEnabled;
}

QValidator::State UpDownEdit::validate(QString&, int&) const {
    return QValidator::Acceptable;
}

void UpDownEdit::fixup(QString&) const {}

void UpDownEdit::mouseReleaseEvent(QMouseEvent* event) {
    QStyleOptionSpinBox option;
    initStyleOption(&option);
    const QStyle::SubControl control = style()->hitTestComplexControl(
        QStyle::CC_SpinBox, &option, event->position().toPoint(), this);
    QAbstractSpinBox::mouseReleaseEvent(event);
    if (control == QStyle::SC_SpinBoxUp || control == QStyle::SC_SpinBoxDown) {
        emit arrowsReleased();
    }
}

}  // namespace quorvan
