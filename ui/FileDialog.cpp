#include "ui/FileDialog.h"

#include <QDir>
#include <QFileDialog>

QString FileDialog::getSaveFileName(QWidget* parent, const QString& suggested,
                                    const QString& filter, const QString& defaultSuffix) {
    if (s_next) {
        const QString path = *s_next;
        s_next.reset();
        return path;
    }
    QFileDialog dialog(parent, QString(), suggested, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(defaultSuffix);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.selectFile(suggested);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().first();
}

QString FileDialog::getOpenFileName(QWidget* parent, const QString& caption,
                                    const QString& filter) {
    if (s_next) {
        const QString path = *s_next;
        s_next.reset();
        return path;
    }
    return QFileDialog::getOpenFileName(parent, caption, QDir::homePath(), filter);
}

void FileDialog::setNextFileName(const QString& path) {
    s_next = path;
}
