// A line of 99 999 999,9999 × 99 999 999,9999 is worth more than an amount can hold. Every
// reckoning of it (the printed document, the spreadsheet, repricing, the price-list report, the
// footer) refuses in the same sentence instead of showing a number wrapped round 2^64.
#include "export/PrintContent.h"
#include "export/Spreadsheet.h"
#include "specification/Reprice.h"
#include "store/Database.h"
#include "store/Fixed4.h"
#include "store/Query.h"
#include "tests/TestSupport.h"
#include "ui/DataGrid.h"
#include "ui/MessageBox.h"

#include <gtest/gtest.h>
#include <QDate>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <functional>

namespace {

const QStringList kCatalogue = {
    "insert into EXPORT_PODVID (Ключ, Название) values (1, 'Лотки')",
    "insert into EXPORT_TMC (Ключ, Название, Номер, Вид, Подвид, ЕИ, t2k, p2) values "
    "(101, 'Лоток 100х50', 'ЛНК-100', 64, 1, 'м.п.', 1012, 99999999.9999)",
};
const QString kHugeLine = QStringLiteral(
    "insert into buy (project, TMC, Pokr, TMC2, price, kol, kolm, izm, vid) values "
    "(0, 101, 2, 1012, 99999999.9998, 99999999.9999, 1, 'м.п.', -1)");

}  // namespace

TEST(AmountRange, EveryReckoningOfAHugeLineRefusesInOneSentence) {
    TempStore store(kCatalogue + QStringList{kHugeLine});
    auto db = Database::open(store.path());
    Query q(*db, QStringLiteral("Q_all"));
    const struct {
        const char* caller;
        std::function<void()> reckon;
    } cases[] = {
        {"print", [&] { loadPrintDocument(q, 0, QDate(2024, 5, 1)); }},
        {"export",
         [&] {
             openExportRows(q, 0);
             buildSpreadsheet(q);
         }},
        {"reprice", [&] { repriceTotals(readRepriceLines(q, 0)); }},
        {"report", [&] { repriceReport(repriceTitle(0, ""), readRepriceLines(q, 0)); }},
    };
    for (const auto& c : cases) {
        try {
            c.reckon();
            ADD_FAILURE() << c.caller << " reckoned it";
        } catch (const StoreError& e) {
            EXPECT_EQ(e.message(), Fixed4::tooLargeMessage()) << c.caller;
        }
        q.close();
    }

    // The tool: the sentence, exit 1, nothing written and no price changed.
    QFile::copy(store.path(), store.dir() + "/list.mdb");
    const QString said = Fixed4::tooLargeMessage();
    for (const QStringList& args :
         {QStringList{"pdf", "s.pdf"}, QStringList{"export", "s.xml"}, QStringList{"reprice"},
          QStringList{"update-catalogue", "list.mdb", "--dry-run"}}) {
        const ToolRun run = runTool(args);
        EXPECT_EQ(run.exitCode, 1) << args.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains(said)) << describe(run);
    }
    EXPECT_FALSE(QFile::exists("s.pdf"));
    EXPECT_FALSE(QFile::exists("s.xml"));
    EXPECT_EQ(store.scalar("select price from buy"), "99999999.9998");
}

TEST(AmountRange, TheWindowSaysItForTheFooterAndThePrint) {
    TempStore store(kCatalogue);
    auto form = openMainWindow();
    store.run({kHugeLine});
    MessageBox::clearShown();
    click(form.get(), "BitBtn3");  // the specification read again
    click(form.get(), "BitBtn10");
    EXPECT_EQ(MessageBox::shown(),
              QStringList({Fixed4::tooLargeMessage(), Fixed4::tooLargeMessage()}));
    EXPECT_EQ(form->DBGridEh2->footer()->text(), "0");  // what it showed before
}
