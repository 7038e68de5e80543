#include "ui/FileDialog.h"

#include "ui/BusyCursor.h"

#include <QFileDialog>

QString FileDialog::getSaveFileName(QWidget* parent, const QString& suggested,
                                    const QString& filter, const QString& defaultSuffix) {
    s_suggested = suggested;
    if (s_next) {
        const QString path = *s_next;
        s_next.reset();
        return path;
    }
    const UserCursor arrow;
    QFileDialog dialog(parent, QString(), suggested, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(defaultSuffix);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.selectFile(suggested);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().first();
}

void FileDialog::setNextFileName(const QString& path) {
    s_next = path;
}
