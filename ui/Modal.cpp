#include "ui/Modal.h"

#include <QDialog>

namespace {
std::function<int(QDialog*)>& modalHandler() {
    static std::function<int(QDialog*)> handler;
    return handler;
}
}  // namespace

int runModal(QDialog* dialog) {
    if (modalHandler())
        return modalHandler()(dialog);
    return dialog->exec();
}

void setModalHandler(std::function<int(QDialog*)> handler) {
    modalHandler() = std::move(handler);
}
