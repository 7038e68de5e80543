#include "ui/Modal.h"

#include "ui/BusyCursor.h"

#include <QDialog>
#include <QEvent>
#include <memory>

namespace {

std::function<int(QDialog*)>& modalHandler() {
    static std::function<int(QDialog*)> handler;
    return handler;
}

// Gives the user the arrow once the dialog is up: what a dialog does before it shows (a print
// preview lays out its pages) is still the command's work.
class ArrowWhenShown : public QObject {
public:
    explicit ArrowWhenShown(QDialog* dialog) : m_dialog(dialog) {
        dialog->installEventFilter(this);
    }
    ~ArrowWhenShown() override { m_dialog->removeEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Show && !m_arrow)
            m_arrow = std::make_unique<UserCursor>();
        return false;
    }

private:
    QDialog* m_dialog;
    std::unique_ptr<UserCursor> m_arrow;
};

}  // namespace

int runModal(QDialog* dialog) {
    if (modalHandler())
        return modalHandler()(dialog);
    const ArrowWhenShown arrow(dialog);
    return dialog->exec();
}

void setModalHandler(std::function<int(QDialog*)> handler) {
    modalHandler() = std::move(handler);
}
