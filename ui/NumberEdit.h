#pragma once

#include "store/Fixed4.h"

#include <QDoubleSpinBox>

// A number field with a fixed count of decimals that takes a point or a comma as the user
// types it, and reports when it loses the focus.
class NumberEdit : public QDoubleSpinBox {
    Q_OBJECT
public:
    explicit NumberEdit(QWidget* parent = nullptr);

    Fixed4 fixedValue() const;
    void setFixedValue(Fixed4 value);

signals:
    void focusLeft();

protected:
    void focusOutEvent(QFocusEvent* event) override;
    QValidator::State validate(QString& input, int& pos) const override;
    double valueFromText(const QString& text) const override;
};
