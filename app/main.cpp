#include "app/TForm1.h"
#include "store/StoreError.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QTranslator>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Улмар"));
    QApplication::setApplicationDisplayName(QStringLiteral("Улмар"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/ulmar.svg")));
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    // Standard buttons and dialogs speak Russian: "Да", "Нет", "Отмена", the file dialog.
    QTranslator qtTranslations;
    if (qtTranslations.load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                            QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslations);
    QApplication::setFont(QFont(QStringLiteral("MS Sans Serif"), 8));

    std::unique_ptr<TForm1> form;
    try {
        form = std::make_unique<TForm1>();
    } catch (const StoreError& e) {
        QMessageBox::critical(nullptr, QStringLiteral("Улмар"), e.message());
        return 1;
    }
    form->createDialogs();
    form->show();
    return QApplication::exec();
}
