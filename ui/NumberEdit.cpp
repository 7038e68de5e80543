#include "ui/NumberEdit.h"

#include <QLineEdit>
#include <QLocale>

NumberEdit::NumberEdit(QWidget* parent) : QDoubleSpinBox(parent) {
    setButtonSymbols(QAbstractSpinBox::NoButtons);
    setDecimals(2);
    setRange(0, 1e9);
    setKeyboardTracking(false);
    setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
}

Fixed4 NumberEdit::fixedValue() const {
    return Fixed4::fromDouble(value());
}

void NumberEdit::setFixedValue(Fixed4 value) {
    setValue(value.toDouble());
}

void NumberEdit::focusOutEvent(QFocusEvent* event) {
    QDoubleSpinBox::focusOutEvent(event);  // commits the typed text first
    emit focusLeft();
}

QValidator::State NumberEdit::validate(QString& input, int& pos) const {
    QString localized = input;
    const QString point = locale().decimalPoint();
    localized.replace(QLatin1Char('.'), point).replace(QLatin1Char(','), point);
    const QValidator::State state = QDoubleSpinBox::validate(localized, pos);
    if (state != QValidator::Invalid)
        input = localized;
    return state;
}

double NumberEdit::valueFromText(const QString& text) const {
    QString localized = text;
    const QString point = locale().decimalPoint();
    localized.replace(QLatin1Char('.'), point).replace(QLatin1Char(','), point);
    return QDoubleSpinBox::valueFromText(localized);
}
