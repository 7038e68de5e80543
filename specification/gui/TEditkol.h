#pragma once

#include "store/Fixed4.h"

#include <QDialog>

class ElidedLabel;
class NumberEdit;
class QLabel;
class QPushButton;
class ProjectStore;

// The quantity dialog of a specification line: the user sets the project quantity, the order
// quantity follows from the product's stock length. It writes nothing: when it is accepted,
// the caller stores orderQuantity() and projectQuantity().
class TEditkol : public QDialog {
    Q_OBJECT
public:
    TEditkol(ProjectStore& store, QWidget* parent);

    // Shows a line of that product before the dialog opens.
    void fill(std::int64_t product, const QString& productName, Fixed4 kol, Fixed4 kolm);
    Fixed4 orderQuantity() const;
    Fixed4 projectQuantity() const;

    // Leaving the project quantity, and the two buttons.
    void koltovmExit();
    void BitBtn3Click();
    void BitBtn4Click();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    ElidedLabel* Label2;  // the product's name
    QLabel* Label1;
    NumberEdit* koltov;
    QLabel* Label3;
    NumberEdit* koltovm;
    QPushButton* BitBtn3;
    QPushButton* BitBtn4;

    // Refuses a project quantity that is not positive, with the program's message.
    bool acceptable(Fixed4 projectQuantity);

    ProjectStore& m_store;
    std::int64_t m_product = 0;
    Fixed4 m_orderFor;  // the project quantity that koltov was derived from
    bool m_focusMovedAway = false;
};
