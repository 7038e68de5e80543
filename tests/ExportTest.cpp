#include "export/Spreadsheet.h"
#include "store/Database.h"
#include "store/Query.h"
#include "store/SqlLiteral.h"
#include "tests/TestSupport.h"
#include "ui/FileDialog.h"
#include "ui/MessageBox.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>
#include <csignal>
#include <functional>

namespace {

// Five products and one specification line of each, in the order of the golden files. The
// subtypes (vid) are not in that order, so an export sorted by the engine's index on them fails.
const QStringList products = {
    "insert into EXPORT_TMC (Ключ, Название, Номер, Вид, Подвид, ЕИ) values "
    "(101, 'Лоток неперфорированный 100х50', 'ЛНК-100', 64, 1, 'м.п.'), "
    "(102, 'Крышка лотка 100', 'КЛ-100', 64, 2, 'м.п.'), "
    "(103, 'Тройник горизонтальный 100х50', 'ТГ-100', 64, 5, 'шт.'), "
    "(104, 'Скоба крепёжная', 'СК-1', 72, 3, 'шт.'), "
    "(105, 'Винт М6', 'ВП-50', 72, 4, 'шт.')",
};
const QStringList lineValues = {
    "101, 2, 2101, 412.5, 6, 6, 'м.п.', -1",     "102, 5, 5102, 183.75, 6, 6, 'м.п.', -2",
    "103, 3, 3103, 12.5, 3, 3, 'шт.', -5",       "104, 1, 1104, 0.125, 10, 10, 'шт.', -3",
    "105, 4, 4105, 123.45, 7.5, 7.5, 'шт.', -4",
};

QString insertLine(int project, const QString& values) {
    return QStringLiteral(
               "insert into buy (project, TMC, Pokr, TMC2, price, kol, kolm, izm, vid) values "
               "(%1, %2)")
        .arg(project)
        .arg(values);
}

// The first n lines of the five under one project.
QStringList lines(int project, int n) {
    QStringList result;
    for (int i = 0; i < n; ++i)
        result << insertLine(project, lineValues[i]);
    return result;
}

QString goldenFile(const QString& name) {
    // The compiler may be handed this file's path relative to the build folder of the tests.
    const QFileInfo source(QStringLiteral(__FILE__));
    const QDir dir = source.isAbsolute()
                         ? source.dir()
                         : QDir(QCoreApplication::applicationDirPath() + '/' + source.path());
    return dir.filePath(QStringLiteral("golden/") + name);
}

QByteArray exportProject(int project) {
    auto db = Database::open(QStringLiteral("base.mdb"));
    Query rows(*db, QStringLiteral("Q_all"));
    openExportRows(rows, project);
    return buildSpreadsheet(rows);
}

// The lines of the file without their CR LF ends.
QList<QByteArray> splitLines(const QByteArray& bytes) {
    QList<QByteArray> result = bytes.split('\n');
    if (!result.isEmpty() && result.last().isEmpty())
        result.removeLast();
    for (QByteArray& line : result)
        if (line.endsWith('\r'))
            line.chop(1);
    return result;
}

// Data of every cell of the worksheet, row by row, as a spreadsheet program reads it.
QList<QStringList> readCells(const QByteArray& bytes, QString* error) {
    QList<QStringList> rows;
    QXmlStreamReader xml(bytes);
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QLatin1String("Row"))
            rows.append(QStringList());
        else if (xml.isStartElement() && xml.name() == QLatin1String("Data"))
            rows.last().append(xml.readElementText());
    }
    if (xml.hasError())
        *error = xml.errorString();
    return rows;
}

// Byte for byte, telling the first line that differs.
testing::AssertionResult sameFile(const QByteArray& actual, const QByteArray& expected) {
    if (actual == expected)
        return testing::AssertionSuccess();
    const QList<QByteArray> a = actual.split('\n');
    const QList<QByteArray> e = expected.split('\n');
    for (qsizetype i = 0; i < std::min(a.size(), e.size()); ++i)
        if (a[i] != e[i])
            return testing::AssertionFailure()
                   << "line " << i + 1 << ":\n  written  [" << a[i].toStdString()
                   << "]\n  expected [" << e[i].toStdString() << "]";
    return testing::AssertionFailure() << a.size() << " lines written, " << e.size() << " expected";
}

ToolRun runExport(const QStringList& args) {
    return runTool(QStringList{"export"} + args);
}

}  // namespace

TEST(ExportSpreadsheet, WholeFileMatchesGoldenForOneTwoAndFiveLines) {
    const struct {
        int lines;
        const char* golden;
        int lineCount;
    } cases[] = {{1, "export-1-lines.xml", 528},
                 {2, "export-2-lines.xml", 538},
                 {5, "export-5-lines.xml", 568}};
    for (const auto& c : cases) {
        TempStore store(products + lines(0, c.lines));
        const QByteArray expected = readFile(goldenFile(c.golden));
        ASSERT_FALSE(expected.isEmpty()) << c.golden;
        const QByteArray file = exportProject(0);
        EXPECT_TRUE(sameFile(file, expected)) << c.golden;
        EXPECT_EQ(file.count("\r\n"), c.lineCount) << c.golden;
        EXPECT_EQ(file.count('\n'), c.lineCount) << "a bare LF in " << c.golden;
        EXPECT_FALSE(file.startsWith("\xEF\xBB\xBF"));
    }
}

TEST(ExportSpreadsheet, OnlyTheChosenProjectsLinesAreWritten) {
    TempStore store(products + lines(0, 5) + lines(7, 1));
    const QByteArray file = exportProject(7);
    EXPECT_TRUE(sameFile(file, readFile(goldenFile("export-1-lines.xml"))));
    auto db = Database::open(QStringLiteral("base.mdb"));
    Query rows(*db, QStringLiteral("Q_all"));
    openExportRows(rows, 3);
    EXPECT_EQ(rows.recordCount(), 0);
}

TEST(ExportSpreadsheet, TextsFromTheStoreAreEscapedAndStayReadable) {
    const struct {
        QString name;
        const char* cellLine;  // the name's cell as written
        QString read;          // the name as a spreadsheet program reads it
    } cases[] = {
        {"Лоток \"Н\" & <100>",
         R"(    <Cell ss:StyleID="s24"><Data ss:Type="String">Лоток "Н" &amp; &lt;100&gt;</Data></Cell>)",
         "Лоток \"Н\" & <100>"},
        {"Лоток 'Север' ]]>",
         R"(    <Cell ss:StyleID="s24"><Data ss:Type="String">Лоток 'Север' ]]&gt;</Data></Cell>)",
         "Лоток 'Север' ]]>"},
        {QString("Винт") + QChar(0x01) + "М6" + QChar(0x0B) + QChar(0x1F),
         R"(    <Cell ss:StyleID="s24"><Data ss:Type="String">ВинтМ6</Data></Cell>)", "ВинтМ6"},
        {QString("Скоба") + QChar(0x09) + "Т",
         "    <Cell ss:StyleID=\"s24\"><Data ss:Type=\"String\">Скоба\tТ</Data></Cell>",
         "Скоба\tТ"},
    };
    for (const auto& c : cases) {
        TempStore store({"insert into EXPORT_TMC (Ключ, Название, Номер) values (1, " +
                             sqlText(c.name) + ", 'A&B<1>')",
                         insertLine(0, "1, 2, 2001, 1, 1, 1, 'шт.', -1")});
        const QByteArray file = exportProject(0);
        const QList<QByteArray> all = splitLines(file);
        ASSERT_EQ(all.size(), 528);
        EXPECT_EQ(
            all[265],
            QByteArray(
                R"(    <Cell ss:StyleID="s23"><Data ss:Type="String">A&amp;B&lt;1&gt;-2</Data></Cell>)"));
        EXPECT_EQ(all[266], QByteArray(c.cellLine)) << c.cellLine;
        QString error;
        const QList<QStringList> cells = readCells(file, &error);
        EXPECT_TRUE(error.isEmpty()) << error.toStdString();
        ASSERT_GE(cells.size(), 3);
        EXPECT_EQ(cells[2], (QStringList{"1", "A&B<1>-2", c.read, "Цинк", "1", "шт.", "1", "1"}));
    }
}

TEST(ExportSpreadsheet, CharactersXmlForbidsAreLeftOut) {
    const struct {
        QString text;
        QString written;
    } cases[] = {
        {QString("a") + QChar(0x00) + "b", "ab"},
        {QString("a") + QChar(0xD800) + "b", "ab"},  // a high surrogate without its partner
        {QString("a") + QChar(0xDC00), "a"},         // a low one alone
        {QString("a") + QChar(0xFFFE) + QChar(0xFFFF) + "b", "ab"},
        {QString::fromUtf8("\xF0\x9F\x94\xA7"), QString::fromUtf8("\xF0\x9F\x94\xA7")},
        {"\r\n", "\r\n"},
        {"&&", "&amp;&amp;"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(xmlText(c.text), c.written) << c.text.toStdString();
}

TEST(ExportSpreadsheet, NumbersUseAPointUnderACommaLocale) {
    TempStore store({"insert into EXPORT_TMC (Ключ, Название, Номер) values (1, 'Лоток', 'Л-1')",
                     insertLine(0, "1, 3, 3001, 12.5, 3, 3, 'шт.', -1"),
                     insertLine(0, "1, 1, 1001, 1234.5678, 0.0625, 1, 'м.п.', -1"),
                     insertLine(0, "1, 4, 4001, 2.0001, 0.5, 1, 'м.п.', -1")});
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::Russian));
    const QList<QByteArray> all = splitLines(exportProject(0));
    QLocale::setDefault(previous);
    ASSERT_EQ(all.size(), 548);
    const struct {
        int line;
        const char* text;
    } cases[] = {
        {268, R"(    <Cell ss:StyleID="s26"><Data ss:Type="Number">3</Data></Cell>)"},
        {270, R"(    <Cell ss:StyleID="s25"><Data ss:Type="Number">12.5</Data></Cell>)"},
        {271, R"(    <Cell ss:StyleID="s28"><Data ss:Type="Number">37.5</Data></Cell>)"},
        {278, R"(    <Cell ss:StyleID="s32"><Data ss:Type="Number">0.0625</Data></Cell>)"},
        {280, R"(    <Cell ss:StyleID="s31"><Data ss:Type="Number">1234.5678</Data></Cell>)"},
        // 77.1604875 read with four places
        {281, R"(    <Cell ss:StyleID="s34"><Data ss:Type="Number">77.1605</Data></Cell>)"},
        {288, R"(    <Cell ss:StyleID="s38"><Data ss:Type="Number">0.5</Data></Cell>)"},
        {290, R"(    <Cell ss:StyleID="s37"><Data ss:Type="Number">2.0001</Data></Cell>)"},
        // 1.00005 is a tie: the even neighbour is 1, not 1.0001
        {291, R"(    <Cell ss:StyleID="s40"><Data ss:Type="Number">1</Data></Cell>)"},
        {300,
         R"x(    <Cell ss:StyleID="s44" ss:Formula="=SUM(R[-4]C:R[-1]C)"><Data ss:Type="Number">115.6605</Data></Cell>)x"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(all[c.line], QByteArray(c.text)) << c.line;
}

TEST(ExportSpreadsheet, LineSumsAreExactAndAnOverflowIsRefused) {
    TempStore store({"insert into EXPORT_TMC (Ключ, Название, Номер) values (1, 'Лоток', 'Л-1')",
                     insertLine(0, "1, 3, 3001, 558.5749, 1.5, 1.5, 'шт.', -1"),
                     insertLine(7, "1, 3, 3001, 100000000000, 10000, 1, 'шт.', -1"),
                     // Two lines within the range whose total is not.
                     insertLine(8, "1, 3, 3001, 500000000000, 1000, 1, 'шт.', -1"),
                     insertLine(8, "1, 3, 3001, 500000000000, 1000, 1, 'шт.', -2")});
    // 837.86235 is a tie that the double product rounded down.
    EXPECT_TRUE(exportProject(0).contains(R"(<Data ss:Type="Number">837.8624</Data></Cell>)"));
    for (const char* project : {"7", "8"}) {
        const ToolRun run = runExport({"big.xml", "--project", project});
        EXPECT_EQ(run.exitCode, 1) << project;
        EXPECT_TRUE(run.err.contains("Сумма слишком велика")) << run.err.toStdString();
        EXPECT_FALSE(QFile::exists("big.xml")) << project;
    }
}

namespace {

// Targets that can not be replaced, each holding an old file that must survive.
enum class Block { LongName, ShortWrite, ReadOnly };

struct Unwritable {
    const char* what;
    QString path;
    Block block;
};

QList<Unwritable> unwritableTargets(const QString& dir) {
    QList<Unwritable> result = {
        // No file can be put beside a name this long, so the new text never reaches the disk.
        {"name too long to write beside", dir + '/' + QString(250, QLatin1Char('x')) + ".xml",
         Block::LongName},
        // A file size limit stops the write part way, as a full disk does.
        {"write stops short", dir + "/full.xml", Block::ShortWrite},
    };
    // The superuser writes into any folder and file, so these only fail for others.
    if (geteuid() != 0) {
        QDir(dir).mkdir(QStringLiteral("readonly"));
        result.append(
            {"read-only file in a read-only folder", dir + "/readonly/old.xml", Block::ReadOnly});
    }
    return result;
}

const QByteArray oldContents = "old contents\r\n";
rlimit savedFileSizeLimit;

// Plants the old file, then makes replacing it fail.
void block(const Unwritable& target) {
    writeFile(target.path, oldContents);
    if (target.block == Block::ReadOnly) {
        QFile::setPermissions(target.path, QFileDevice::ReadOwner);
        QFile::setPermissions(QFileInfo(target.path).path(),
                              QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    } else if (target.block == Block::ShortWrite) {
        signal(SIGXFSZ, SIG_IGN);  // a failed write, not the end of the test program
        getrlimit(RLIMIT_FSIZE, &savedFileSizeLimit);
        rlimit small = savedFileSizeLimit;
        small.rlim_cur = 4096;
        setrlimit(RLIMIT_FSIZE, &small);
    }
}

void unblock(const Unwritable& target) {
    if (target.block == Block::ReadOnly) {
        QFile::setPermissions(QFileInfo(target.path).path(), QFileDevice::ReadOwner |
                                                                 QFileDevice::WriteOwner |
                                                                 QFileDevice::ExeOwner);
        QFile::setPermissions(target.path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    } else if (target.block == Block::ShortWrite)
        setrlimit(RLIMIT_FSIZE, &savedFileSizeLimit);
}

// Files named like the target: the target itself and anything written beside it.
int filesLike(const Unwritable& target) {
    const QFileInfo info(target.path);
    return int(info.dir().entryList({info.fileName() + '*'}, QDir::Files | QDir::Hidden).size());
}

QPushButton* exportButton(TForm1& form) {
    return form.findChild<QPushButton*>(QStringLiteral("BitBtn5"));
}

}  // namespace

TEST(ExportSave, FailedWriteKeepsTheOldFileAndNamesIt) {
    TempStore store;
    for (const Unwritable& target : unwritableTargets(store.dir())) {
        block(target);
        const QString failure = saveSpreadsheet(target.path, QByteArray(20000, 'n'));
        unblock(target);
        EXPECT_TRUE(failure.contains(QFileInfo(target.path).fileName())) << target.what;
        EXPECT_EQ(readFile(target.path), oldContents) << target.what;
        EXPECT_EQ(filesLike(target), 1) << "something left beside the file: " << target.what;
    }
}

namespace {

// The superuser writes into any folder: as such the body runs in a child process as nobody.
int asOrdinaryUser(const std::function<int()>& body) {
    if (geteuid() != 0)
        return body();
    const pid_t pid = fork();
    if (pid == 0) {
        if (setgid(65534) != 0 || setuid(65534) != 0)
            _exit(99);
        _exit(body());
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A Unix mode such as 0755 as Qt's permissions.
QFileDevice::Permissions mode(int bits) {
    const int owner = (bits >> 6) & 7, group = (bits >> 3) & 7, other = bits & 7;
    return QFileDevice::Permissions((owner << 12) | (owner << 8) | (group << 4) | other);
}

}  // namespace

TEST(ExportSave, WritableFileInAReadOnlyFolderIsWrittenInPlace) {
    QTemporaryDir temp;
    const QString dir = temp.path() + "/readonly";
    QDir().mkdir(dir);
    const QString path = dir + "/old.xml";
    const QByteArray bytes(20000, 'n');
    const struct {
        const char* what;
        bool sizeLimit;
        int status;  // 0 written, 1 refused with the file named and told incomplete
    } cases[] = {
        {"written whole", false, 0},
        {"write stops short", true, 1},
    };
    for (const auto& c : cases) {
        writeFile(path, oldContents);
        QFile::setPermissions(temp.path(), mode(0755));
        QFile::setPermissions(dir, mode(0555));
        QFile::setPermissions(path, mode(0666));
        const int status = asOrdinaryUser([&] {
            rlimit saved;
            getrlimit(RLIMIT_FSIZE, &saved);
            if (c.sizeLimit) {
                signal(SIGXFSZ, SIG_IGN);
                rlimit small = saved;
                small.rlim_cur = 4096;
                setrlimit(RLIMIT_FSIZE, &small);
            }
            const QString failure = saveSpreadsheet(path, bytes);
            setrlimit(RLIMIT_FSIZE, &saved);
            if (failure.isEmpty())
                return 0;
            return failure.contains("old.xml") && failure.contains("неполным") ? 1 : 2;
        });
        QFile::setPermissions(dir, mode(0755));
        EXPECT_EQ(status, c.status) << c.what;
        if (c.status == 0) {
            EXPECT_EQ(readFile(path), bytes) << c.what;
        }
        EXPECT_EQ(QDir(dir).entryList(QDir::Files | QDir::Hidden), QStringList{"old.xml"})
            << c.what;
    }
}

// A folder marked immutable (chattr +i) refuses a new file with EPERM, not EACCES: the file is
// written in place all the same.
TEST(ExportSave, WritableFileInAnImmutableFolderIsWrittenInPlace) {
    QTemporaryDir temp;
    const QString dir = temp.path() + "/immutable";
    QDir().mkdir(dir);
    const QString path = dir + "/old.xml";
    writeFile(path, oldContents);
    const auto setImmutable = [&](bool on) {
        const int fd = ::open(QFile::encodeName(dir).constData(), O_RDONLY | O_DIRECTORY);
        int flags = 0;
        bool done = fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
        done = done && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        if (fd >= 0)
            ::close(fd);
        return done;
    };
    if (!setImmutable(true))
        GTEST_SKIP() << "this file system or user can not mark a folder immutable";
    const QByteArray bytes(20000, 'n');
    const QString failure = saveSpreadsheet(path, bytes);
    setImmutable(false);
    EXPECT_EQ(failure, QString());
    EXPECT_EQ(readFile(path), bytes);
    EXPECT_EQ(QDir(dir).entryList(QDir::Files | QDir::Hidden), QStringList{"old.xml"});
}

TEST(ExportSave, ExistingFileIsReplacedWhole) {
    TempStore store;
    const QString path = store.dir() + "/export.xml";
    writeFile(path, QByteArray(10000, 'z'));
    EXPECT_EQ(saveSpreadsheet(path, "short\r\n"), QString());
    EXPECT_EQ(readFile(path), QByteArray("short\r\n"));
}

TEST(ExportWindow, ButtonWritesTheSameBytesAsTheTool) {
    TempStore store(products + lines(0, 5));
    auto form = openMainWindow();
    MessageBox::clearShown();
    const QString path = store.dir() + "/спецификация.xml";
    FileDialog::setNextFileName(path);
    QTest::mouseClick(exportButton(*form), Qt::LeftButton);
    EXPECT_EQ(MessageBox::shown(), QStringList());
    const QByteArray fromWindow = readFile(path);
    EXPECT_TRUE(sameFile(fromWindow, readFile(goldenFile("export-5-lines.xml"))));
    EXPECT_EQ(FileDialog::lastSuggested(), "export.xml");
    FileDialog::setNextFileName(QString());  // the next export is cancelled
    QTest::mouseClick(exportButton(*form), Qt::LeftButton);
    EXPECT_EQ(FileDialog::lastSuggested(), path) << "the file chosen last is offered";
    EXPECT_EQ(TForm1Access::curProject(*form), 0);
    EXPECT_EQ(TForm1Access::modified(*form), 0);
    EXPECT_EQ(store.scalar("select count(*) from buy"), "5");

    const ToolRun run = runExport({"tool.xml"});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(sameFile(readFile("tool.xml"), fromWindow));
}

TEST(ExportWindow, OpenProjectIsExportedAndAnEmptyOneAsksNothing) {
    TempStore store(products + lines(0, 5) + lines(7, 2));
    auto form = openMainWindow();
    TForm1Access::curProject(*form) = 7;
    const QString path = store.dir() + "/seven.xml";
    FileDialog::setNextFileName(path);
    QTest::mouseClick(exportButton(*form), Qt::LeftButton);
    EXPECT_TRUE(sameFile(readFile(path), readFile(goldenFile("export-2-lines.xml"))));

    TForm1Access::curProject(*form) = 8;
    const QString untouched = store.dir() + "/empty.xml";
    FileDialog::setNextFileName(untouched);
    QTest::mouseClick(exportButton(*form), Qt::LeftButton);
    EXPECT_FALSE(QFile::exists(untouched));
    // The preset name is still waiting: no dialog was asked for.
    EXPECT_EQ(FileDialog::getSaveFileName(nullptr, QString(), QString(), QString()), untouched);
    TForm1Access::curProject(*form) = 7;
    FileDialog::setNextFileName(QString());
    QTest::mouseClick(exportButton(*form), Qt::LeftButton);
    EXPECT_EQ(FileDialog::lastSuggested(), path);
}

TEST(ExportWindow, FailedWriteIsShownAndTheOldFileStays) {
    TempStore store(products + lines(0, 1));
    auto form = openMainWindow();
    for (const Unwritable& target : unwritableTargets(store.dir())) {
        block(target);
        MessageBox::clearShown();
        FileDialog::setNextFileName(target.path);
        QTest::mouseClick(exportButton(*form), Qt::LeftButton);
        unblock(target);
        const QStringList shown = MessageBox::shown();
        ASSERT_EQ(shown.size(), 1) << target.what;
        EXPECT_TRUE(shown.first().contains(QFileInfo(target.path).fileName())) << target.what;
        EXPECT_EQ(readFile(target.path), oldContents) << target.what;
        EXPECT_EQ(TForm1Access::curProject(*form), 0);
        EXPECT_EQ(store.scalar("select count(*) from buy"), "1");
    }
}

TEST(ExportTool, WritesTheProjectOrRefusesClearly) {
    TempStore store(products + lines(0, 5) + lines(7, 1));
    const struct {
        QStringList args;
        int status;
        const char* golden;   // expected file, or null when none may be written
        const char* message;  // part of the text on standard error
    } cases[] = {
        {{"a.xml"}, 0, "export-5-lines.xml", ""},
        {{"b.xml", "--project", "7"}, 0, "export-1-lines.xml", ""},
        {{"c.xml", "--project", "3"}, 1, nullptr, "В базе нет проекта с ключом 3"},
        {{"h.xml", "--project", "-1"}, 2, nullptr, "не может быть отрицательным"},
        {{"d.xml", "--project", "семь"}, 2, nullptr, "целым числом"},
        {{"e.xml", "--project"}, 2, nullptr, "ключ проекта"},
        {{"f.xml", "g.xml"}, 2, nullptr, "Лишний аргумент"},
        {{}, 2, nullptr, "Не указан файл"},
    };
    for (const auto& c : cases) {
        const ToolRun run = runExport(c.args);
        const std::string args = c.args.join(' ').toStdString();
        EXPECT_EQ(run.exitCode, c.status) << args << ": " << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(QString::fromUtf8(c.message))) << args;
        const QString file = c.args.isEmpty() ? QString() : c.args.first();
        if (c.golden) {
            EXPECT_TRUE(sameFile(readFile(file), readFile(goldenFile(c.golden)))) << args;
        } else if (!file.isEmpty()) {
            EXPECT_FALSE(QFile::exists(file)) << args;
        }
    }
}

TEST(ExportTool, AStoreWithoutTheProgramsTablesIsRefusedInWords) {
    TempStore store({"drop table buy"});
    const ToolRun run = runExport({"a.xml"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("buy (строки спецификаций)")) << run.err.toStdString();
    EXPECT_FALSE(run.err.contains("no such")) << run.err.toStdString();
    EXPECT_FALSE(QFile::exists("a.xml"));
}

TEST(ExportTool, FailedWriteKeepsTheOldFile) {
    TempStore store(products + lines(0, 2));
    for (const Unwritable& target : unwritableTargets(store.dir())) {
        block(target);
        const ToolRun run = runExport({target.path});
        unblock(target);
        EXPECT_NE(run.exitCode, 0) << target.what;
        EXPECT_TRUE(run.err.contains(QFileInfo(target.path).fileName())) << target.what;
        EXPECT_EQ(readFile(target.path), oldContents) << target.what;
    }
}
