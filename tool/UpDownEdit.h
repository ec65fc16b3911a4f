#pragma once
// An edit with up-down arrows: the arrows step its number within a range, while the field
// itself takes any text, so the checks of the exchange editor see what was typed.

#include <QAbstractSpinBox>
#include <QString>

namespace quorvan {

class UpDownEdit : public QAbstractSpinBox {
    Q_OBJECT
    Q_PROPERTY(int minimum READ minimum WRITE setMinimum)
    Q_PROPERTY(int maximum READ maximum WRITE setMaximum)
    Q_PROPERTY(QString text READ text WRITE setText NOTIFY textChanged)

public:
    explicit UpDownEdit(QWidget* parent = nullptr);

    QString text() const;
    void setText(const QString& text);
    int minimum() const { return minimum_; }
    void setMinimum(int minimum) { minimum_ = minimum; }
    int maximum() const { return maximum_; }
    void setMaximum(int maximum) { maximum_ = maximum; }

    // From the field's number (or the minimum when it holds none), kept within the range.
    void stepBy(int steps) override;

signals:
    void textChanged(const QString& text);
    // A mouse button went up over the arrows, whether or not the number changed.
    void arrowsReleased();

protected:
    StepEnabled stepEnabled() const override;
    QValidator::State validate(QString& input, int& pos) const override;
    void fixup(QString& input) const override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int minimum_ = 0;
    int maximum_ = 100;
};

}  // namespace quorvan
