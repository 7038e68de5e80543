#include "export/PrintContent.h"
#include "store/Database.h"
#include "store/Query.h"
#include "tests/TestSupport.h"
#include "ui/DataGrid.h"
#include "ui/GridModel.h"
#include "ui/MessageBox.h"
#include "ui/Modal.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

namespace {

const QStringList catalogue = {
    "insert into EXPORT_PODVID (Ключ, Название) values (1, 'Лотки'), (2, 'Крышки'), "
    "(3, 'Кронштейны и консоли'), (4, 'Метизы'), (5, 'Элементы ответвления трассы')",
    "insert into EXPORT_TMC (Ключ, Название, Номер, Вид, Подвид, ЕИ) values "
    "(101, 'Лоток неперфорированный 100х50', 'ЛНК-100', 64, 1, 'м.п.'), "
    "(103, 'Тройник горизонтальный 100х50', 'ТГ-100', 64, 5, 'шт.'), "
    "(104, 'Скоба крепёжная', 'СК-1', 72, 3, 'шт.'), "
    "(106, 'Хомут', 'Х-6', 72, 99, 'шт.')",
};

QString line(int project, int product, int coating, const char* price, const char* kol,
             const char* unit, int subtype) {
    return QStringLiteral(
               "insert into buy (project, TMC, Pokr, TMC2, price, kol, kolm, izm, vid) values "
               "(%1, %2, %3, %4, %5, %6, %6, '%7', %8)")
        .arg(project)
        .arg(product)
        .arg(coating)
        .arg(product * 10 + coating)
        .arg(QLatin1String(price), QLatin1String(kol), QString::fromUtf8(unit))
        .arg(-subtype);
}

// Added out of the subtypes' order; the clamp's subtype 99 is not in the catalogue.
const QStringList workingLines = {
    line(0, 103, 3, "12.5", "3", "шт.", 5),   line(0, 101, 2, "412.5", "2", "м.п.", 1),
    line(0, 104, 1, "0.125", "10", "шт.", 3), line(0, 101, 4, "1234.5", "7.5", "м.п.", 1),
    line(0, 106, 5, "10", "1", "шт.", 99),    line(7, 104, 2, "1", "1", "шт.", 3),
};

// The PDF's pages as text, one entry a page, whitespace runs made single blanks.
struct Pdf {
    QStringList pages;
    QString info;
    QString fonts;
};

QString runPoppler(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    p.waitForFinished(-1);
    return QString::fromUtf8(p.readAllStandardOutput());
}

Pdf readPdf(const QString& path) {
    Pdf pdf;
    pdf.info = runPoppler("pdfinfo", {path});
    pdf.fonts = runPoppler("pdffonts", {path});
    const QRegularExpressionMatch pages =
        QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(pdf.info);
    for (int page = 1; page <= pages.captured(1).toInt(); ++page)
        pdf.pages << runPoppler("pdftotext", {"-f", QString::number(page), "-l",
                                              QString::number(page), path, "-"})
                         .simplified();
    return pdf;
}

ToolRun runPdf(const QStringList& args) {
    return runTool(QStringList{"pdf"} + args);
}

QString today() {
    return QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy"));
}

}  // namespace

TEST(PrintNumbers, RussianDecimalCommaAndDigitGroups) {
    const QString nbsp(QChar(0x00A0));
    const struct {
        Fixed4 value;
        const char* quantity;
        const char* money;
    } cases[] = {
        {Fixed4(), "0", "0,00"},
        {Fixed4::fromInt(3), "3", "3,00"},
        {Fixed4::fromRaw(75000), "7,5", "7,50"},
        {Fixed4::fromRaw(1250), "0,125", "0,125"},
        {Fixed4::fromInt(999), "999", "999,00"},
        {Fixed4::fromInt(1000), "1_000", "1_000,00"},
        {Fixed4::fromRaw(12345000), "1_234,5", "1_234,50"},
        {Fixed4::fromRaw(12345678901), "1_234_567,8901", "1_234_567,8901"},
        {Fixed4::fromInt(100000), "100_000", "100_000,00"},
        {Fixed4::fromRaw(-12345000), "-1_234,5", "-1_234,50"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(russianQuantity(c.value), QString::fromUtf8(c.quantity).replace('_', nbsp))
            << c.value.toString().toStdString();
        EXPECT_EQ(russianMoney(c.value), QString::fromUtf8(c.money).replace('_', nbsp))
            << c.value.toString().toStdString();
    }
}

TEST(PrintDocumentContent, LinesGroupedBySubtypeNumberedThroughAndSummedExactly) {
    TempStore store(catalogue + workingLines);
    auto db = Database::open(QStringLiteral("base.mdb"));
    Query scratch(*db, QStringLiteral("Q_all"));
    const PrintDocument doc = loadPrintDocument(scratch, 0, QDate(2026, 3, 1));

    EXPECT_EQ(doc.projectLine, "Рабочая спецификация");
    EXPECT_EQ(doc.date, QDate(2026, 3, 1));
    EXPECT_EQ(doc.lineCount, 5);
    EXPECT_EQ(doc.total, Fixed4::fromRaw(101325000));  // 10 132,5
    const struct {
        const char* name;
        std::int64_t sumRaw;
        std::vector<const char*> articles;
    } groups[] = {
        {"Кронштейны и консоли", 12500, {"СК-1-1"}},
        {"Лотки", 100837500, {"ЛНК-100-2", "ЛНК-100-4"}},
        {"Элементы ответвления трассы", 375000, {"ТГ-100-3"}},
        {"Подвид не найден в каталоге", 100000, {"Х-6-5"}},  // a subtype the catalogue lacks
    };
    ASSERT_EQ(doc.groups.size(), std::size(groups));
    int number = 0;
    for (std::size_t g = 0; g < std::size(groups); ++g) {
        const PrintGroup& group = doc.groups[g];
        EXPECT_EQ(group.name, QString::fromUtf8(groups[g].name));
        EXPECT_EQ(group.sum, Fixed4::fromRaw(groups[g].sumRaw)) << groups[g].name;
        ASSERT_EQ(group.lines.size(), groups[g].articles.size()) << groups[g].name;
        for (std::size_t l = 0; l < group.lines.size(); ++l) {
            EXPECT_EQ(group.lines[l].number, ++number);
            EXPECT_EQ(group.lines[l].article, QString::fromUtf8(groups[g].articles[l]));
        }
    }
    const PrintLine& hotZinc = doc.groups[1].lines[1];
    EXPECT_EQ(hotZinc.name, "Лоток неперфорированный 100х50");
    EXPECT_EQ(hotZinc.coating, "Гор. Цинк");
    EXPECT_EQ(hotZinc.quantity, Fixed4::fromRaw(75000));
    EXPECT_EQ(hotZinc.unit, "м.п.");
    EXPECT_EQ(hotZinc.price, Fixed4::fromRaw(12345000));
    EXPECT_EQ(hotZinc.sum, Fixed4::fromRaw(92587500));

    store.run({"insert into project (Ключ, Название) values (7, 'Корпус \"Б\", этаж 2')"});
    const PrintDocument named = loadPrintDocument(scratch, 7, QDate(2026, 3, 1));
    EXPECT_EQ(named.projectLine, "Проект: Корпус \"Б\", этаж 2");
    EXPECT_EQ(named.lineCount, 1);
    EXPECT_EQ(loadPrintDocument(scratch, 8, QDate(2026, 3, 1)).lineCount, 0);
}

// Groups by name, not by key, by the sum of their quantities or by when they were added; lines
// in the order they were added; a subtype the catalogue lacks last.
TEST(PrintDocumentContent, TheWindowAndThePaperShowOneOrder) {
    TempStore store(catalogue + workingLines);
    auto form = openMainWindow();
    const GridModel* model = form->DBGridEh2->model();
    QStringList shown;
    for (int g = 0; g < model->rowCount(); ++g) {
        const QModelIndex group = model->index(g, 0);
        QStringList articles;
        for (int l = 0; l < model->rowCount(group); ++l)
            articles << model->index(l, 0, group).data().toString().remove(' ');
        // A line whose subtype the catalogue lacks stands at the top level, with no group row.
        shown << (articles.isEmpty()
                      ? QStringLiteral("?: ") + group.data().toString().remove(' ')
                      : model->index(g, 1).data().toString() + ": " + articles.join(", "));
    }
    const QStringList expected = {
        "Кронштейны и консоли: СК-1-1",
        "Лотки: ЛНК-100-2, ЛНК-100-4",
        "Элементы ответвления трассы: ТГ-100-3",
        "?: Х-6-5",
    };
    EXPECT_EQ(shown, expected);

    auto db = Database::open(QStringLiteral("base.mdb"));
    Query scratch(*db, QStringLiteral("Q_all"));
    QStringList printed;
    for (const PrintGroup& group : loadPrintDocument(scratch, 0, QDate(2026, 3, 1)).groups) {
        QStringList articles;
        for (const PrintLine& line : group.lines)
            articles << line.article;
        printed << (group.name == printUnknownSubtype() ? QStringLiteral("?") : group.name) + ": " +
                       articles.join(", ");
    }
    EXPECT_EQ(printed, expected);
}

TEST(PrintPdf, ThreeLinesOnOneLandscapeA4PageWithEmbeddedFonts) {
    TempStore store(catalogue + workingLines.mid(1, 3));
    const ToolRun run = runPdf({"spec.pdf"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const Pdf pdf = readPdf("spec.pdf");
    EXPECT_TRUE(pdf.info.contains("Page size:       842 x 595 pts (A4)")) << pdf.info.toStdString();
    ASSERT_EQ(pdf.pages.size(), 1);
    const QString& text = pdf.pages.first();
    for (const QString& part : {
             QStringLiteral("СПЕЦИФИКАЦИЯ ИЗДЕЛИЙ КАБЕЛЕНЕСУЩИХ СИСТЕМ \"УЛМАР\""),
             QStringLiteral("Рабочая спецификация"),
             QStringLiteral("Дата: ") + today(),
             QStringLiteral("№п/п"),
             QStringLiteral("Артикул"),
             QStringLiteral("Наименование"),
             QStringLiteral("Покрытие"),
             QStringLiteral("Кол-во"),
             QStringLiteral("Ед. изм."),
             QStringLiteral("Цена с НДС, руб."),
             QStringLiteral("Сумма с НДС, руб."),
             QStringLiteral("Лотки"),
             QStringLiteral("ЛНК-100-4"),
             QStringLiteral("Лоток неперфорированный 100х50"),
             QStringLiteral("Гор. Цинк"),
             QStringLiteral("7,5"),
             QStringLiteral("1 234,50"),
             QStringLiteral("9 258,75"),
             QStringLiteral("10 083,75"),
             QStringLiteral("0,125"),
             QStringLiteral("Итого с НДС:"),
             QStringLiteral("10 085,00"),
             QStringLiteral("Внимание! Указаны розничные цены для проектирования! Точную сумму "
                            "уточняйте в отделах продаж"),
             QStringLiteral("Лист 1 из 1"),
         })
        EXPECT_TRUE(text.contains(part)) << part.toStdString() << "\nin: " << text.toStdString();

    // Every font is embedded, so the text reads the same on any machine.
    const QStringList fonts = pdf.fonts.split('\n', Qt::SkipEmptyParts).mid(2);
    ASSERT_FALSE(fonts.isEmpty()) << pdf.fonts.toStdString();
    const QRegularExpression columns(QStringLiteral("\\s(yes|no)\\s+(yes|no)\\s+(yes|no)\\s+\\d+"));
    for (const QString& font : fonts)
        EXPECT_EQ(columns.match(font).captured(1), "yes") << font.toStdString();
}

TEST(PrintPdf, HundredTwentyLinesRepeatTheHeaderAndCountTheSheets) {
    QStringList statements = catalogue;
    for (int i = 0; i < 120; ++i) {
        const int product = 1000 + i;
        statements << QStringLiteral(
                          "insert into EXPORT_TMC (Ключ, Название, Номер, Вид, "
                          "Подвид, ЕИ) values (%1, 'Изделие %1', 'И-%1', 64, %2, "
                          "'шт.')")
                          .arg(product)
                          .arg(1 + i % 4)
                   << line(3, product, 2, "100", "1", "шт.", 1 + i % 4);
    }
    statements << "insert into project (Ключ, Название) values (3, 'Большой')";
    TempStore store(statements);
    const ToolRun run = runPdf({"big.pdf", "--project", "3"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const Pdf pdf = readPdf("big.pdf");
    ASSERT_EQ(pdf.pages.size(), 4);
    QString all;
    for (int page = 0; page < pdf.pages.size(); ++page) {
        const QString& text = pdf.pages[page];
        EXPECT_EQ(text.contains("СПЕЦИФИКАЦИЯ ИЗДЕЛИЙ"), page == 0) << page + 1;
        for (int column = 0; column < printColumnCount; ++column)
            EXPECT_TRUE(text.contains(printColumnTitle(column))) << page + 1 << ' ' << column;
        EXPECT_TRUE(text.contains(QStringLiteral("Лист %1 из 4").arg(page + 1))) << page + 1;
        EXPECT_EQ(text.contains("Итого с НДС: 12 000,00"), page == 3) << page + 1;
        // Sheets 2 and 4 begin inside a group and name it again; sheet 3 begins with one.
        EXPECT_EQ(text.contains("(продолжение)"), page == 1 || page == 3) << page + 1;
        all += text + ' ';
    }
    EXPECT_TRUE(pdf.pages[0].contains("Проект: Большой"));
    // No line lost or printed twice at a page break.
    for (int i = 0; i < 120; ++i)
        EXPECT_EQ(all.count(QStringLiteral("И-%1-2 ").arg(1000 + i)), 1) << i;
}

TEST(PrintPdf, EmptyProjectOrBadArgumentsWriteNothing) {
    TempStore store(catalogue + workingLines);
    store.run({"insert into project (Ключ, Название) values (8, 'Пустой')"});
    const struct {
        QStringList args;
        int status;
        const char* message;
    } cases[] = {
        {{"a.pdf", "--project", "8"}, 1, "В проекте с ключом 8 нет строк: файл PDF не записан."},
        {{"e.pdf", "--project", "99"}, 1, "В базе нет проекта с ключом 99: файл PDF не записан."},
        {{"f.pdf", "--project", "-1"}, 2, "Ключ проекта не может быть отрицательным: -1"},
        {{"b.pdf", "--project", "восемь"}, 2, "целым числом"},
        {{"c.pdf", "d.pdf"}, 2, "Лишний аргумент"},
        {{}, 2, "Не указан файл"},
    };
    for (const auto& c : cases) {
        const ToolRun run = runPdf(c.args);
        const std::string args = c.args.join(' ').toStdString();
        EXPECT_EQ(run.exitCode, c.status) << args;
        EXPECT_TRUE(run.err.contains(QString::fromUtf8(c.message)))
            << args << run.err.toStdString();
        if (!c.args.isEmpty()) {
            EXPECT_FALSE(QFile::exists(c.args.first())) << args;
        }
    }
}

TEST(PrintWindow, ButtonUnderExportAndCtrlPOpenALandscapePreview) {
    TempStore store(catalogue + workingLines);
    auto form = openMainWindow();
    auto* exportButton = form->findChild<QPushButton*>("BitBtn5");
    auto* printButton = form->findChild<QPushButton*>("BitBtn10");
    ASSERT_TRUE(printButton);
    EXPECT_EQ(printButton->text(), "Печать");
    EXPECT_EQ(printButton->size(), exportButton->size());
    EXPECT_EQ(printButton->x(), exportButton->x());
    EXPECT_GT(printButton->y(), exportButton->y());
    EXPECT_LT(printButton->y(), exportButton->y() + 2 * exportButton->height());

    QStringList seen;
    setModalHandler([&seen](QDialog* dialog) {
        auto* preview = qobject_cast<QPrintPreviewDialog*>(dialog);
        auto* pages = dialog->findChild<QPrintPreviewWidget*>();
        if (!preview || !pages)
            return int(QDialog::Rejected);
        pages->updatePreview();
        const QPageLayout layout = preview->printer()->pageLayout();
        seen << QStringLiteral("%1 %2 %3")
                    .arg(layout.pageSize().id() == QPageSize::A4 ? "A4" : "?")
                    .arg(layout.orientation() == QPageLayout::Landscape ? "landscape" : "portrait")
                    .arg(pages->pageCount());
        return int(QDialog::Rejected);
    });
    MessageBox::clearShown();
    QTest::mouseClick(printButton, Qt::LeftButton);
    form->activateWindow();
    QTest::keyClick(form.get(), Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(seen, QStringList({"A4 landscape 1", "A4 landscape 1"}));
    EXPECT_EQ(MessageBox::shown(), QStringList());

    TForm1Access::curProject(*form) = 8;
    QTest::mouseClick(printButton, Qt::LeftButton);
    setModalHandler(nullptr);
    EXPECT_EQ(seen.size(), 2);
    EXPECT_EQ(MessageBox::shown(), QStringList({"Ваш проект пустой!"}));
}
