// Name, photo, matching cover and piece count of the item the user is looking at.
#include "app/TForm1.h"
#include "catalogue/CatalogueColumns.h"
#include "catalogue/CatalogueSql.h"
#include "store/Jpeg.h"
#include "ui/DataGrid.h"
#include "ui/NumberEdit.h"
#include "ui/PhotoBox.h"

#include <QLineEdit>
#include <QPlainTextEdit>

using catalogue::TreeColumn;

void TForm1::DBGridEh1ChangeNode() {
    if (!Q_tovar.isOpen() || Q_tovar.recordCount() == 0)
        return;
    m_browser.setManualBranch(false);  // moving in the tree brings the branch list back to the tray
    nametovarm->setPlainText(Q_tovar.field(columnName(TreeColumn::Name)).toText());
    m_browser.setTreeRow(Q_tovar.recNo());
    ShowPieceCount();
    ShowCoverName();
    FillBranchAuto();
    // The tree shows the photo of the base item code, whatever the coating.
    if (const auto code = catalogue::wholeNumber(Q_tovar.field(columnName(TreeColumn::BaseCode))))
        LoadPhoto(catalogue::photoSql(*code));
    else
        imgG->clear();
}

void TForm1::dlinausExit() {
    if (Q_tovar.isOpen())
        ShowPieceCount();
}

void TForm1::DBGridEh3CellClick() {
    ShowItemDetails(DBGridEh3);
}
void TForm1::DBGridEh3KeyUp() {
    ShowItemDetails(DBGridEh3);
}
void TForm1::DBGridEh4CellClick() {
    ShowItemDetails(DBGridEh4);
}
void TForm1::DBGridEh4KeyUp() {
    ShowItemDetails(DBGridEh4);
}
void TForm1::DBGridEh2CellClick() {
    ShowItemDetails(DBGridEh2);
}
void TForm1::DBGridEh2KeyUp() {
    ShowItemDetails(DBGridEh2);
}

void TForm1::ShowItemDetails(DataGrid* grid) {
    if (grid == DBGridEh4)
        m_browser.setAccessoryRow(Q_tovar2.recNo());
    const Query* rows = grid->query();
    if (!rows || !rows->isOpen() || rows->recordCount() == 0)
        return;
    // A specification line keeps the item code of the coating it was added in.
    const bool line = grid == DBGridEh2;
    nametovarm->setPlainText(rows->field(line ? u"tname" : u"Название").toText());
    const auto code = catalogue::wholeNumber(rows->field(line ? u"TMC2" : u"tt"));
    if (!code) {
        imgG->clear();
        return;
    }
    // Some fastening items are photographed per mounting method; the others have one photo.
    if (grid == DBGridEh4) {
        LoadPhoto(catalogue::photoSql(*code, m_browser.mounting()));
        if (Q_foto.recordCount() > 0)
            return;
    }
    LoadPhoto(catalogue::photoSql(*code));
}

void TForm1::ShowCoverName() {
    namekr->clear();
    const std::int64_t cover = Q_tovar.isOpen() && Q_tovar.recNo() >= 1
                                   ? Q_tovar.field(columnName(TreeColumn::CoverCode)).toInt()
                                   : 0;
    if (cover <= 0)
        return;
    Q_all.open(catalogue::coverNameSql(m_browser.coating(), cover));
    if (Q_all.recordCount() > 0) {
        namekr->setText(Q_all.field(u"namk").toText());
        // From the start: the cover's article comes first.
        namekr->setCursorPosition(0);
    }
}

void TForm1::ShowPieceCount() {
    const Fixed4 stockLength = Q_tovar.isOpen() && Q_tovar.recNo() >= 1
                                   ? Q_tovar.field(columnName(TreeColumn::Length)).toFixed()
                                   : Fixed4();
    kolshtuk->setFixedValue(
        Fixed4::fromInt(catalogue::pieceCount(dlinaus->fixedValue(), stockLength)));
}

void TForm1::LoadPhoto(const QString& sql) {
    // Cleared first: no photo of the previous item survives a failed or empty lookup.
    imgG->clear();
    Q_foto.open(sql);
    if (Q_foto.recordCount() == 0)
        return;
    const QByteArray data = Q_foto.field(u"Фото").toBlob();
    if (data.isEmpty())
        return;
    const qreal ratio = imgG->devicePixelRatioF();
    if (const auto picture =
            decodeJpeg(data, int(imgG->width() * ratio), int(imgG->height() * ratio)))
        imgG->setPicture(*picture);
}
