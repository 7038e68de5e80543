#include "ui/FileDialog.h"

#include "ui/BusyCursor.h"

#include <QDir>
#include <QFileDialog>

QString FileDialog::getSaveFileName(QWidget* parent, const QString& suggested,
                                    const QString& filter, const QString& defaultSuffix) {
    int chosen = 0;
    return getSaveFileName(parent, suggested, QStringList{filter}, defaultSuffix, chosen);
}

QString FileDialog::getSaveFileName(QWidget* parent, const QString& suggested,
                                    const QStringList& filters, const QString& defaultSuffix,
                                    int& chosen) {
    chosen = 0;
    s_suggested = suggested;
    if (s_next) {
        const QString path = *s_next;
        chosen = s_nextFilter;
        s_next.reset();
        s_nextFilter = 0;
        return path;
    }
    const UserCursor arrow;
    QFileDialog dialog(parent, QString(), suggested);
    dialog.setNameFilters(filters);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(defaultSuffix);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.selectFile(suggested);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    chosen = std::max(0, int(filters.indexOf(dialog.selectedNameFilter())));
    return dialog.selectedFiles().first();
}

QString FileDialog::getOpenFileName(QWidget* parent, const QString& caption,
                                    const QString& filter) {
    if (s_next) {
        const QString path = *s_next;
        s_next.reset();
        s_nextFilter = 0;
        return path;
    }
    const UserCursor arrow;
    return QFileDialog::getOpenFileName(parent, caption, QDir::homePath(), filter);
}

void FileDialog::setNextFileName(const QString& path, int filter) {
    s_next = path;
    s_nextFilter = filter;
}
