#include "app/FirstStart.h"
#include "app/StartFailure.h"
#include "app/TForm1.h"
#include "store/Database.h"
#include "store/StoreChoice.h"
#include "store/StoreError.h"
#include "store/StoreLock.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPainter>
#include <QTranslator>

namespace {

// The task bar icon: three trays of falling length and a red riser, as on the desktop entry.
QIcon appIcon() {
    QPixmap pixmap(64, 64);
    pixmap.fill(Qt::white);
    QPainter painter(&pixmap);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 84, 166));
    painter.drawRect(6, 14, 52, 10);
    painter.drawRect(6, 30, 40, 10);
    painter.drawRect(6, 46, 28, 10);
    painter.setBrush(QColor(208, 0, 0));
    painter.drawRect(50, 30, 8, 26);
    return QIcon(pixmap);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Улмар"));
    // No display name: the platform would add " — Улмар" to every dialog's caption.
    QApplication::setWindowIcon(appIcon());
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    // Standard buttons and dialogs speak Russian: "Да", "Нет", "Отмена", the file dialog.
    QTranslator qtTranslations;
    if (qtTranslations.load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                            QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslations);
    QApplication::setFont(QFont(QStringLiteral("MS Sans Serif"), 8));

    QStringList args = QApplication::arguments().mid(1);
    QString badArguments;
    if (!takeStoreOption(args, badArguments)) {
        QMessageBox::critical(nullptr, QStringLiteral("Улмар"), badArguments);
        return 2;
    }
    const QString store = chosenStore();
    const bool server = Database::isServerAddress(store);
    // Started where there is no store yet, as on a first start from the menu: the user makes
    // one or leaves.
    if (!server && !ensureStore(store))
        return 0;
    std::unique_ptr<StoreLock> lock;
    std::unique_ptr<TForm1> form;
    QString failure;
    bool notACatalogue = false;
    // A window whose lists or specification could not be read would only fail again at every
    // click: start-up ends with the reason instead.
    try {
        // One window per store file: two would each undo or delete the other's saved lines. On a
        // server each designer has a working specification of their own and each window holds
        // the project it has open, so any number of windows work at once.
        if (!server)
            lock = std::make_unique<StoreLock>(store);
        form = std::make_unique<TForm1>();
        form->createDialogs();
        form->start();
    } catch (const StoreError& e) {
        failure = e.message();
        notACatalogue = dynamic_cast<const NotACatalogue*>(&e) != nullptr;
    } catch (const std::exception& e) {
        failure = QString::fromUtf8(e.what());
    }
    if (!failure.isEmpty()) {
        form.reset();
        QMessageBox::critical(nullptr, QStringLiteral("Улмар"),
                              server ? failure : startFailureText(store, failure, notACatalogue));
        return 1;
    }
    return QApplication::exec();
}
