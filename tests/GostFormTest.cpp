// The specification on form 1 of ГОСТ 21.110: the project's properties, what the form holds,
// the PDF read back by position, the spreadsheet form, and the window's choices.
#include "export/GostForm.h"
#include "projects/ProjectProperties.h"
#include "store/Database.h"
#include "store/Query.h"
#include "tests/TestSupport.h"
#include "ui/FileDialog.h"
#include "ui/MessageBox.h"
#include "ui/Modal.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QXmlStreamReader>

namespace {

const QStringList catalogue = {
    "insert into EXPORT_PODVID (Ключ, Название) values (1, 'Лотки'), (3, 'Кронштейны')",
    "insert into EXPORT_TMC (Ключ, Название, Номер, Вид, Подвид, ЕИ) values "
    "(101, 'Лоток неперфорированный 100х50', 'ЛНК-100', 64, 1, 'м.п.'), "
    "(104, 'Скоба крепёжная', 'СК-1', 72, 3, 'шт.'), "
    "(106, 'Хомут', 'Х-6', 72, 99, 'шт')",
};

QString line(int project, int product, int coating, const char* kol, const char* kolm,
             const char* unit, int subtype) {
    return QStringLiteral(
               "insert into buy (project, TMC, Pokr, TMC2, price, kol, kolm, izm, vid) values "
               "(%1, %2, %3, %4, 10, %5, %6, '%7', %8)")
        .arg(project)
        .arg(product)
        .arg(coating)
        .arg(product * 10 + coating)
        .arg(QLatin1String(kol), QLatin1String(kolm), QString::fromUtf8(unit))
        .arg(-subtype);
}

// Out of the subtypes' order; the clamp's subtype 99 is not in the catalogue.
const QStringList workingLines = {
    line(0, 104, 1, "10", "10", "шт.", 3),
    line(0, 101, 4, "9", "7.5", "м.п.", 1),
    line(0, 106, 7, "1", "1", "шт", 99),
    line(0, 101, 2, "3", "3", "м.п.", 1),
};

QString propertiesRow(int project) {
    return QStringLiteral(
               "insert into project_properties values (%1, 'Жилой дом № 5', '1234-ЭМ.С', '', "
               "'ООО «Проект»', 'Р', 'Иванов', 'Петров', 'Сидорова', 'Кузнецов')")
        .arg(project);
}

// A word of a PDF page and where it stands, in millimetres from the page's top left corner.
struct Word {
    QString text;
    double x, y, right, bottom;
};

QString poppler(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    p.waitForFinished(-1);
    return QString::fromUtf8(p.readAllStandardOutput());
}

std::vector<std::vector<Word>> pdfWords(const QString& path) {
    const QString html = poppler("pdftotext", {"-bbox", path, "-"});
    std::vector<std::vector<Word>> pages;
    const QRegularExpression tag(QStringLiteral(
        "<page |<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">"
        "([^<]*)</word>"));
    constexpr double mm = 25.4 / 72;
    for (auto it = tag.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (m.captured(0).startsWith(QLatin1String("<page"))) {
            pages.emplace_back();
            continue;
        }
        QString text = m.captured(5);
        text.replace(QLatin1String("&amp;"), QLatin1String("&"));
        pages.back().push_back({text, m.captured(1).toDouble() * mm, m.captured(2).toDouble() * mm,
                                m.captured(3).toDouble() * mm, m.captured(4).toDouble() * mm});
    }
    return pages;
}

// The words with that text on a page.
std::vector<Word> find(const std::vector<Word>& page, const QString& text) {
    std::vector<Word> found;
    for (const Word& w : page)
        if (w.text == text)
            found.push_back(w);
    return found;
}

// The one word with that text inside the box (millimetres), or an empty text.
QString wordIn(const std::vector<Word>& page, double left, double top, double right,
               double bottom) {
    QStringList texts;
    for (const Word& w : page)
        if (w.x >= left - 0.3 && w.right <= right + 0.3 && w.y >= top - 0.3 &&
            w.bottom <= bottom + 0.3)
            texts << w.text;
    return texts.join(' ');
}

// A project of 120 lines in four subtypes, with its properties.
QStringList bigProject() {
    QStringList statements = {
        "insert into EXPORT_PODVID (Ключ, Название) values (1, 'Лотки'), (2, 'Крышки'), "
        "(3, 'Кронштейны'), (4, 'Метизы')",
        "insert into project (Ключ, Название) values (3, 'Большой')", propertiesRow(3)};
    for (int i = 0; i < 120; ++i) {
        const int product = 1000 + i;
        statements << QStringLiteral(
                          "insert into EXPORT_TMC (Ключ, Название, Номер, Вид, Подвид, ЕИ) "
                          "values (%1, 'Изделие %1', 'И-%1', 64, %2, 'шт.')")
                          .arg(product)
                          .arg(1 + i % 4)
                   << line(3, product, 2, "2", "2", "шт.", 1 + i % 4);
    }
    return statements;
}

}  // namespace

TEST(GostContent, UnitsCoatingsAndTheLinesOfTheForm) {
    const struct {
        const char* stored;
        const char* printed;
    } units[] = {{"м.п.", "м"}, {"м", "м"}, {"шт.", "шт."}, {"шт", "шт."}, {"компл.", "компл."}};
    for (const auto& u : units)
        EXPECT_EQ(gostUnit(QString::fromUtf8(u.stored)), QString::fromUtf8(u.printed)) << u.stored;
    EXPECT_EQ(coatingInWords(4), "горячий цинк");
    EXPECT_EQ(coatingInWords(7), "");

    TempStore store(catalogue + workingLines);
    auto db = Database::open(QStringLiteral("base.mdb"));
    Query scratch(*db, QStringLiteral("Q_all"));
    const GostDocument doc = loadGostDocument(scratch, 0);
    EXPECT_EQ(doc.lineCount, 4);
    EXPECT_EQ(doc.properties.documentTitle(), "Спецификация оборудования, изделий и материалов");
    // Sections in the window's order (subtypes by name), lines in the order they were added,
    // the clamp of an unknown subtype last under its own heading.
    const QStringList expected = {
        "section|Кронштейны",
        "1|Скоба крепёжная, покрытие: грунт|СК-1-1|1041|УЛМАР|шт.|10||",
        "section|Лотки",
        "2|Лоток неперфорированный 100х50, покрытие: горячий цинк|ЛНК-100-4|1014|УЛМАР|м|9||"
        "по проекту 7,5 м",
        "3|Лоток неперфорированный 100х50, покрытие: цинк|ЛНК-100-2|1012|УЛМАР|м|3||"
        "по проекту 3 м",
        "section|Подвид не найден в каталоге",
        "4|Хомут|Х-6-7|1067|УЛМАР|шт.|1||",
    };
    QStringList rows;
    for (const GostRow& row : doc.rows)
        rows << (row.section ? "section|" + row.cells[GostName]
                             : QStringList(row.cells.begin(), row.cells.end()).join('|'));
    EXPECT_EQ(rows, expected);
}

TEST(GostProperties, BadInputIsToldAndGoodInputStored) {
    const QString tooLongName(41, QChar(0x0416));
    const struct {
        ProjectProperties::Field field;
        QString text;
        const char* problem;
    } cases[] = {
        {ProjectProperties::Developer, "Иванов И. И.", ""},
        {ProjectProperties::Developer, tooLongName,
         "Поле «Разраб.» не длиннее 40 знаков, введено 41."},
        {ProjectProperties::Object, "Дом\nна углу", "В поле «Объект» есть управляющие символы"},
        {ProjectProperties::Code, QString("12\u200E34"), "В поле «Обозначение» есть управляющие"},
        {ProjectProperties::Stage, "Р", ""},
        {ProjectProperties::Stage, "РП", "Стадия — П (проектная документация) или Р (рабочая)."},
    };
    for (const auto& c : cases) {
        ProjectProperties p;
        p[c.field] = c.text;
        const QString problem = propertiesProblem(p);
        if (QByteArray(c.problem).isEmpty())
            EXPECT_EQ(problem, "") << c.text.toStdString();
        else
            EXPECT_TRUE(problem.startsWith(QString::fromUtf8(c.problem))) << problem.toStdString();
    }
    ProjectProperties spaced;
    spaced[ProjectProperties::Chief] = "  Кузнецов ";
    EXPECT_EQ(trimmedProperties(spaced)[ProjectProperties::Chief], "Кузнецов");

    TempStore store;
    auto db = Database::open(QStringLiteral("base.mdb"));
    Query scratch(*db, QStringLiteral("Q_all"));
    ProjectProperties typed;
    typed[ProjectProperties::Code] = "1234-ЭМ.С";
    typed[ProjectProperties::Organization] = "ООО 'Кавычка'";
    saveProjectProperties(*db, 5, typed);
    const ProjectProperties read = loadProjectProperties(scratch, 5);
    EXPECT_EQ(read[ProjectProperties::Code], "1234-ЭМ.С");
    EXPECT_EQ(read[ProjectProperties::Organization], "ООО 'Кавычка'");
    EXPECT_EQ(loadProjectProperties(scratch, 6)[ProjectProperties::Code], "");
}

TEST(GostProperties, AnOldStoreGainsTheTableOnFirstUseAndLosesNothing) {
    TempStore store(catalogue + workingLines);
    store.run({"drop table project_properties"});
    {
        // Reading it changes nothing: the tool's PDF of an old store shows empty fields.
        const ToolRun run = runTool({"pdf", "old.pdf", "--form", "gost"});
        ASSERT_EQ(run.exitCode, 0) << describe(run);
        EXPECT_EQ(store.scalar("select count(*) from sqlite_master where name = "
                               "'project_properties'"),
                  "0");
    }
    {
        auto form = openMainWindow();
        EXPECT_EQ(store.scalar("select count(*) from sqlite_master where name = "
                               "'project_properties'"),
                  "1");
    }
    EXPECT_EQ(store.scalar("select count(*) from buy where project = 0"), "4");
}

TEST(GostPdf, HundredTwentyLinesOnA3WithTheInscriptionOnEverySheet) {
    TempStore store(bigProject());
    const ToolRun run = runTool({"pdf", "big.pdf", "--project", "3", "--form", "gost"});
    ASSERT_EQ(run.exitCode, 0) << describe(run);
    const QString info = poppler("pdfinfo", {"big.pdf"});
    EXPECT_TRUE(info.contains(QRegularExpression("Page size:\\s+1191 x 842 pts \\(A3\\)")))
        << info.toStdString();
    EXPECT_TRUE(
        poppler("pdffonts", {"big.pdf"}).contains(QRegularExpression("\\syes\\s+\\w+\\s+yes")));

    const auto pages = pdfWords("big.pdf");
    ASSERT_EQ(pages.size(), 4u);
    // The frame begins 20 mm from the left edge; the columns of form 1 follow from there.
    const struct {
        const char* heading;
        double left, right;
    } columns[] = {{"Поз.", 20, 40},   {"Наименование", 40, 170}, {"Тип,", 170, 230},
                   {"Код", 230, 265},  {"Поставщик", 265, 310},   {"Единица", 310, 330},
                   {"Кол.", 330, 350}, {"Масса", 350, 375},       {"Примечание", 375, 415}};
    QString positions;
    for (std::size_t p = 0; p < pages.size(); ++p) {
        const auto& page = pages[p];
        for (const auto& c : columns) {
            const auto found = find(page, QString::fromUtf8(c.heading));
            ASSERT_EQ(found.size(), 1u) << c.heading << " on sheet " << p + 1;
            EXPECT_GT(found[0].x, c.left) << c.heading;
            EXPECT_LT(found[0].right, c.right) << c.heading;
            EXPECT_LT(found[0].bottom, 5 + 15) << c.heading;  // within the 15 mm of headings
        }
        // The inscription sits in the frame's bottom right corner: 185 mm wide, 40 mm tall
        // on the first sheet and 15 mm on the others.
        EXPECT_EQ(wordIn(page, 230 + 62, 297 - 5 - (p == 0 ? 40 : 15), p == 0 ? 415 : 405,
                         297 - 5 - (p == 0 ? 25 : 0)),
                  "1234-ЭМ.С")
            << p + 1;
        if (p == 0) {
            EXPECT_EQ(wordIn(page, 230, 267, 247, 272), "Разраб.");
            EXPECT_EQ(wordIn(page, 247, 267, 267, 272), "Иванов");
            EXPECT_EQ(wordIn(page, 247, 272, 267, 277), "Петров");
            EXPECT_EQ(wordIn(page, 230, 282, 247, 287), "Н. контр.");
            EXPECT_EQ(wordIn(page, 247, 282, 267, 287), "Сидорова");
            EXPECT_EQ(wordIn(page, 230, 287, 247, 292), "ГИП");
            EXPECT_EQ(wordIn(page, 247, 287, 267, 292), "Кузнецов");
            EXPECT_EQ(wordIn(page, 292, 267, 362, 277), "Жилой дом № 5");
            EXPECT_EQ(wordIn(page, 292, 277, 362, 292),
                      "Спецификация оборудования, изделий и материалов");
            EXPECT_EQ(wordIn(page, 362, 267, 377, 272), "Стадия");
            EXPECT_EQ(wordIn(page, 362, 272, 377, 277), "Р");
            EXPECT_EQ(wordIn(page, 377, 267, 392, 272), "Лист");
            EXPECT_EQ(wordIn(page, 377, 272, 392, 277), "1");
            EXPECT_EQ(wordIn(page, 392, 267, 415, 272), "Листов");
            EXPECT_EQ(wordIn(page, 392, 272, 415, 277), "4");
            EXPECT_EQ(wordIn(page, 362, 277, 415, 292), "ООО «Проект»");
        } else {
            EXPECT_TRUE(find(page, "Листов").empty()) << p + 1;
            EXPECT_EQ(wordIn(page, 405, 277, 415, 284), "Лист") << p + 1;
            EXPECT_EQ(wordIn(page, 405, 284, 415, 292), QString::number(p + 1)) << p + 1;
        }
        for (const Word& w : page)
            if (w.x > 20 && w.right < 40 && w.y > 20 && w.bottom < 297 - 5 - 15)
                positions += w.text + ' ';
    }
    // Every line numbered once, in order, across the sheets.
    QStringList numbers;
    for (int i = 1; i <= 120; ++i)
        numbers << QString::number(i);
    EXPECT_EQ(positions.trimmed(), numbers.join(' '));
    // The first line: its name with the coating, the unit and the quantity in their columns.
    const auto first = find(pages[0], "И-1002-2");
    ASSERT_EQ(first.size(), 1u);
    EXPECT_EQ(wordIn(pages[0], 40, first[0].y - 1, 170, first[0].bottom + 1),
              "Изделие 1002, покрытие: цинк");
    EXPECT_EQ(wordIn(pages[0], 310, first[0].y - 1, 330, first[0].bottom + 1), "шт.");
    EXPECT_EQ(wordIn(pages[0], 330, first[0].y - 1, 350, first[0].bottom + 1), "2");
    EXPECT_EQ(wordIn(pages[0], 40, 20, 170, first[0].y - 1), "Кронштейны");
}

TEST(GostPdf, A4PortraitScalesTheColumnsAndArgumentsAreChecked) {
    TempStore store(catalogue + workingLines + QStringList{propertiesRow(0)});
    const ToolRun run = runTool({"pdf", "a4.pdf", "--form", "gost", "--paper", "A4"});
    ASSERT_EQ(run.exitCode, 0) << describe(run);
    EXPECT_TRUE(poppler("pdfinfo", {"a4.pdf"})
                    .contains(QRegularExpression("Page size:\\s+595 x 842 pts \\(A4\\)")));
    const auto pages = pdfWords("a4.pdf");
    ASSERT_EQ(pages.size(), 1u);
    // 185 mm for 395: the quantity column, 330 to 350 mm on A3, stands at 20 + 310 × 185 / 395.
    const auto kol = find(pages[0], "Кол.");
    ASSERT_EQ(kol.size(), 1u);
    EXPECT_GT(kol[0].x, 20 + 310 * 185.0 / 395);
    EXPECT_LT(kol[0].right, 20 + 330 * 185.0 / 395);
    EXPECT_EQ(wordIn(pages[0], 20 + 62, 297 - 5 - 40, 205, 297 - 5 - 25), "1234-ЭМ.С");

    const struct {
        QStringList args;
        int status;
        const char* message;
    } cases[] = {
        {{"pdf", "b.pdf", "--form", "gost", "--project", "8"}, 1, "нет проекта с ключом 8"},
        {{"pdf", "c.pdf", "--form", "гост"}, 2, "Неизвестная форма: гост"},
        {{"pdf", "d.pdf", "--paper", "A4"}, 2, "--paper задаётся только для --form gost"},
        {{"pdf", "e.pdf", "--form", "gost", "--paper", "A5"}, 2, "Неизвестный формат бумаги: A5"},
        {{"pdf", "f.pdf", "--form"}, 2, "После --form нужна форма"},
        {{"export", "g.xml", "--form", "gost", "--paper", "A4"}, 2, "Лишний аргумент: --paper"},
    };
    for (const auto& c : cases) {
        const ToolRun r = runTool(c.args);
        EXPECT_EQ(r.exitCode, c.status) << describe(r);
        EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.message))) << describe(r);
        EXPECT_FALSE(QFile::exists(c.args.at(1))) << c.args.at(1).toStdString();
    }
}

TEST(GostSheet, NineColumnsOneRowPerLineSectionsAsRows) {
    TempStore store(catalogue + workingLines);
    const ToolRun run = runTool({"export", "gost.xml", "--form", "gost"});
    ASSERT_EQ(run.exitCode, 0) << describe(run);
    const QByteArray bytes = readFile("gost.xml");
    EXPECT_TRUE(bytes.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"));
    QXmlStreamReader xml(bytes);
    int columns = 0;
    QStringList rows;
    QString row;
    bool hasData = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QLatin1String("Column"))
            ++columns;
        else if (xml.isStartElement() && xml.name() == QLatin1String("Row"))
            row.clear();
        else if (xml.isStartElement() && xml.name() == QLatin1String("Cell")) {
            row += xml.attributes().value("ss:Index") == QLatin1String("2") ? "_|" : "";
            hasData = false;
        } else if (xml.isStartElement() && xml.name() == QLatin1String("Data")) {
            row += xml.readElementText() + '|';
            hasData = true;
        } else if (xml.isEndElement() && xml.name() == QLatin1String("Cell") && !hasData)
            row += '|';
        else if (xml.isEndElement() && xml.name() == QLatin1String("Row"))
            rows << row;
    }
    ASSERT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_EQ(columns, 9);
    EXPECT_EQ(rows, QStringList({
                        "Поз.|Наименование и техническая характеристика|Тип, марка, обозначение "
                        "документа, опросного листа|Код продукции|Поставщик|Единица измерения|Кол.|"
                        "Масса 1 ед., кг|Примечание|",
                        "_|Кронштейны|",
                        "1|Скоба крепёжная, покрытие: грунт|СК-1-1|1041|УЛМАР|шт.|10|||",
                        "_|Лотки|",
                        "2|Лоток неперфорированный 100х50, покрытие: горячий цинк|ЛНК-100-4|1014|"
                        "УЛМАР|м|9||по проекту 7,5 м|",
                        "3|Лоток неперфорированный 100х50, покрытие: цинк|ЛНК-100-2|1012|УЛМАР|м|3|"
                        "|по проекту 3 м|",
                        "_|Подвид не найден в каталоге|",
                        "4|Хомут|Х-6-7|1067|УЛМАР|шт.|1|||",
                    }));
}

TEST(GostWindow, PropertiesDialogCopyDeleteFirstSaveAndTheFormChoices) {
    TempStore store(catalogue + workingLines +
                    QStringList{"insert into project (Ключ, Название) values (7, 'Север')",
                                propertiesRow(7), line(7, 104, 2, "1", "1", "шт.", 3)});
    auto form = openMainWindow();
    MessageBox::setSilent(true);
    MessageBox::clearShown();
    auto* item = form->findChild<QAction*>("propertiesItem");
    ASSERT_TRUE(item);
    {
        // A tab in a name is told and the dialog stays open; then the right text is stored.
        DialogScript script;
        script.on("properties", [](QDialog* d) {
            d->findChild<QLineEdit*>("code")->setText("  5678-ЭМ.С ");
            d->findChild<QComboBox*>("stage")->setCurrentText("П");
            d->findChild<QLineEdit*>("developer")->setText("Иванов\tИ.");
            click(d, "ok");
            EXPECT_NE(d->result(), QDialog::Accepted);
            d->findChild<QLineEdit*>("developer")->setText("Иванов И.");
            click(d, "ok");
        });
        item->trigger();
        EXPECT_EQ(script.shown, QStringList({"properties"}));
    }
    ASSERT_EQ(MessageBox::shown().size(), 1);
    EXPECT_TRUE(
        MessageBox::shown().first().startsWith("В поле «Разраб.» есть управляющие символы"));
    EXPECT_EQ(store.scalar("select code || '/' || stage || '/' || developer from "
                           "project_properties where project = 0"),
              "5678-ЭМ.С/П/Иванов И.");

    // The first save gives the new project the working specification's properties.
    {
        DialogScript script;
        script.on("Proekt", [](QDialog* d) {
            type(d, QStringLiteral("Восток"));
            click(d, "BitBtn3");
        });
        click(form.get(), "BitBtn8");
    }
    EXPECT_EQ(store.scalar("select code from project_properties where project = "
                           "(select Ключ from project where Название = 'Восток')"),
              "5678-ЭМ.С");

    // A copy has its source's properties; a deleted project takes its own along.
    {
        DialogScript script;
        script.on("proekti", [](QDialog* d) {
            pick(d, QStringLiteral("Север"));
            click(d, "BitBtn6");
            pick(d, QStringLiteral("Север"));
            MessageBox::setNextAnswer(true);
            click(d, "BitBtn5");
            click(d, "BitBtn4");
        });
        click(form.get(), "BitBtn7");
    }
    EXPECT_EQ(store.scalar("select object || '/' || developer from project_properties where "
                           "project = (select Ключ from project where Название = 'Копия Север')"),
              "Жилой дом № 5/Иванов");
    EXPECT_EQ(store.scalar("select count(*) from project_properties where project = 7"), "0");

    // «Экспорт» writes form 1 when its file type is chosen.
    TForm1Access::curProject(*form) = 0;
    store.run({line(0, 104, 1, "1", "1", "шт.", 3)});
    FileDialog::setNextFileName(store.dir() + "/chosen.xml", 1);
    click(form.get(), "BitBtn5");
    EXPECT_TRUE(readFile(store.dir() + "/chosen.xml").contains("Наименование и техническая"));

    // The preview offers both forms, the priced list first; form 1 goes on A3 landscape.
    QStringList seen;
    setModalHandler([&seen](QDialog* dialog) {
        auto* preview = qobject_cast<QPrintPreviewDialog*>(dialog);
        auto* choice = dialog->findChild<QComboBox*>("printForm");
        auto* pages = dialog->findChild<QPrintPreviewWidget*>();
        if (!preview || !choice || !pages)
            return int(QDialog::Rejected);
        for (int i = 0; i < 2; ++i) {
            choice->setCurrentIndex(i);
            pages->updatePreview();
            const QPageLayout layout = preview->printer()->pageLayout();
            seen << QStringLiteral("%1 %2 %3")
                        .arg(choice->currentText())
                        .arg(layout.pageSize().id() == QPageSize::A3 ? "A3" : "A4")
                        .arg(layout.orientation() == QPageLayout::Landscape ? "landscape"
                                                                            : "portrait");
        }
        return int(QDialog::Rejected);
    });
    click(form.get(), "BitBtn10");
    setModalHandler(nullptr);
    EXPECT_EQ(seen,
              QStringList({"Прайс (с ценами) A4 landscape", "Форма ГОСТ 21.110 A3 landscape"}));
    MessageBox::setSilent(false);
}
