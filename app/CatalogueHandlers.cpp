// A new price list, the previous one back, and the projects' prices by the catalogue: the
// window's «Каталог» menu.
#include "app/CatalogueUpdateDialog.h"
#include "app/StoreMaker.h"
#include "app/TForm1.h"
#include "catalogue/CatalogueArchive.h"
#include "catalogue/TypeLists.h"
#include "projects/ProjectSession.h"
#include "projects/gui/RequoteDialog.h"
#include "specification/Reprice.h"
#include "ui/FileDialog.h"
#include "ui/LookupCombo.h"
#include "ui/MessageBox.h"
#include "ui/Modal.h"

void TForm1::updateCatalogueClick() {
    const QString source =
        FileDialog::getOpenFileName(this, QStringLiteral("Новый прайс-лист"),
                                    QStringLiteral("Прайс-листы (*.mdb *.MDB);;Все файлы (*)"));
    if (source.isEmpty())
        return;
    CatalogueUpdateDialog dialog(ADOConn(), source, companionToolPath(), this);
    dialog.start();
    if (runModal(&dialog) != QDialog::Accepted)
        return;
    reloadCatalogue();
    requoteClick();
}

void TForm1::restoreCatalogueClick() {
    const std::vector<catalogueArchive::KeptList> kept = catalogueArchive::keptLists(Q_all);
    if (kept.empty()) {
        MessageBox::information(this, QStringLiteral("Прежнего каталога в базе нет."));
        return;
    }
    const QString now = catalogueArchive::originText(catalogueArchive::currentOrigin(Q_all));
    if (!MessageBox::question(
            this, QStringLiteral("Вернуть прежний каталог (%1) вместо нынешнего (%2)?\nЦены в "
                                 "проектах не изменятся.")
                      .arg(catalogueArchive::originText(kept.front().origin), now)))
        return;
    {
        Database::Transaction transaction(ADOConn());
        catalogueArchive::restoreNewest(ADOConn(), Q_all);
        transaction.commit();
    }
    reloadCatalogue();
    MessageBox::information(this, QStringLiteral("Прежний каталог возвращён. Цены проектов "
                                                 "можно сверить с ним: «Каталог» → «Цены "
                                                 "проектов…»."));
}

void TForm1::requoteClick() {
    RequoteDialog dialog(
        ADOConn(), m_session->project(), [this] { return requoteOpenProject(); }, this);
    dialog.reload();
    runModal(&dialog);
}

RepriceTotals TForm1::requoteOpenProject() {
    // A change like any other: «Нет» on leaving the project brings the old prices back.
    ProjectSession::Requote done = m_session->requote();
    showSpec(std::move(done.view));
    return done.totals;
}

void TForm1::reloadCatalogue() {
    reloadTypeLists();
    m_browser.readAgain(ADOConn());
    chooseCoating(m_browser.coating());
    reloadSpec();
}
