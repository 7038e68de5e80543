#pragma once

#include <QObject>

class QComboBox;
class QPrintPreviewDialog;
class QPrinter;

// The choice of form in the print preview's tool bar: «Прайс (с ценами)», the default, or
// «Форма ГОСТ 21.110». Choosing one puts its paper in the printer and lays the pages out
// again.
class PrintFormChoice : public QObject {
    Q_OBJECT
public:
    PrintFormChoice(QPrintPreviewDialog& preview, QPrinter& printer);
    bool gost() const;

private:
    QComboBox* m_choice;
};
