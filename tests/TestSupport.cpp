#include "tests/TestSupport.h"

#include "projects/WorkingSpecification.h"
#include "specification/SpecColumns.h"
#include "store/Database.h"
#include "store/Query.h"
#include "store/Schema.h"
#include "store/ServerSchema.h"
#include "store/StoreCopy.h"
#include "store/StoreError.h"
#include "ui/MessageBox.h"

#include "projects/gui/Tproekti.h"
#include "ui/DataGrid.h"
#include "ui/Modal.h"

#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

QString fixturesDir() {
    return QStringLiteral(ULMAR_FIXTURES_DIR);
}

ToolRun runTool(const QStringList& args, const QStringList& environment) {
    QProcess process;
    process.setEnvironment(QProcess::systemEnvironment() + environment);
    process.start(QStringLiteral(ULMAR_TOOL), args);
    process.waitForFinished(-1);
    ToolRun run;
    run.crashed = process.exitStatus() == QProcess::CrashExit;
    run.exitCode = run.crashed ? -1 : process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

std::string describe(const ToolRun& run) {
    return QStringLiteral("exit %1%2\n%3%4")
        .arg(run.exitCode)
        .arg(run.crashed ? QStringLiteral(" (crashed)") : QString())
        .arg(run.out, run.err)
        .toStdString();
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size()) << path.toStdString();
}

QString sqlQuoted(const char* text) {
    return "'" + QString::fromUtf8(text).replace("'", "''") + "'";
}

const QStringList& fourProducts() {
    static const QStringList statements = {
        "insert into EXPORT_PODVID values (1, 'Лотки'), (2, 'Крышки'), (5, 'Ответвления'), "
        "(7, 'Крепёж')",
        "insert into EXPORT_TMC (Ключ, Название, Номер, Вид, Подвид, Ширина, Высота, Длина, ЕИ, "
        "ТМЦ, k2, t2k, p2) values "
        "(101, 'Лоток 100x50', '100.1', 64, 1, 100, 50, 3000, 'м.п.', 11, 5102, 5101, 120.5), "
        "(102, 'Крышка 100', '200.1', 64, 2, 100, 0, 3000, 'м.п.', 12, null, 5102, 40), "
        "(103, 'Тройник 100x50', '300.1', 64, 5, 100, 50, 0, 'шт.', 13, null, 5103, 250), "
        "(104, 'Шпилька М8', '400.1', 72, 7, 0, 0, 0, 'шт.', 14, null, 5104, 12.3)",
    };
    return statements;
}

QString catalogueItem(int key, const char* name, const char* article, int type, int subtype,
                      int width, int height, int length, const char* unit, int baseCode, int cover,
                      int code, int price) {
    QStringList values = {QString::number(key),     sqlQuoted(name),
                          sqlQuoted(article),       QString::number(type),
                          QString::number(subtype), QString::number(width),
                          QString::number(height),  QString::number(length),
                          sqlQuoted(unit),          QString::number(baseCode)};
    for (int n = 1; n <= 5; ++n)
        values << (cover ? QString::number(cover + n) : QStringLiteral("null"));
    for (int n = 1; n <= 5; ++n)
        values << QString::number(code + n);
    for (int n = 1; n <= 5; ++n)
        values << QString::number(price + 10 * n);
    return "insert into EXPORT_TMC values (" + values.join(", ") + ")";
}

void createStore(const QString& path, const QStringList& statements) {
    {
        QFile file(path);
        file.open(QIODevice::WriteOnly);  // an empty file is an empty SQLite database
    }
    auto db = Database::open(path);
    for (const QString& sql : schema::createTables() + schema::createIndexes() + statements)
        db->execute(sql);
}

TempStore::TempStore(const QStringList& statements) : m_previousDir(QDir::currentPath()) {
    createStore(path(), statements);
    QDir::setCurrent(m_dir.path());
    if (testEngine() != Engine::Server)
        return;
    m_server = std::make_unique<ServerStore>(path());
    writeFile(m_dir.filePath(QStringLiteral("ulmar.store")), m_server->address().toUtf8());
}

TempStore::~TempStore() {
    QDir::setCurrent(m_previousDir);
}

std::unique_ptr<Database> TempStore::open() const {
    return m_server ? Database::connect(m_server->address()) : Database::open(path());
}

void TempStore::run(const QStringList& statements) const {
    auto db = open();
    for (const QString& sql : statements)
        db->execute(sql);
}

void TempStore::addRefusal(const QString& event, const QString& message,
                           const QString& condition) const {
    const QString when = condition.isEmpty() ? QStringLiteral("true") : condition;
    if (!m_server) {
        run({QStringLiteral("create trigger refusal %1 when %2 begin select raise(abort, %3); end")
                 .arg(event, when, sqlQuoted(message.toUtf8().constData()))});
        return;
    }
    run({QStringLiteral("create function refusal() returns trigger language plpgsql as $$ begin "
                        "if %1 then raise exception %2; end if; "
                        "if tg_op = 'DELETE' then return old; end if; return new; end $$")
             .arg(when, sqlQuoted(message.toUtf8().constData())),
         QStringLiteral("create trigger refusal %1 for each row execute function refusal()")
             .arg(event)});
}

QString TempStore::scalar(const QString& sql) const {
    QTemporaryDir copyDir;
    const QString copy = copyDir.filePath(QStringLiteral("copy.mdb"));
    if (m_server) {
        createStore(copy);
        auto target = Database::open(copy);
        auto server = open();
        copyStore(*server, *target, {storedProjectKey(*server, 0), 0});
    }
    auto db = Database::open(m_server ? copy : path());
    Query q(*db, QStringLiteral("scalar"));
    q.setSql(sql);
    q.open();
    return q.recordCount() > 0 ? q.value(0, 0).toText() : QString();
}

std::unique_ptr<TForm1> openMainWindow() {
    auto form = std::make_unique<TForm1>();
    form->createDialogs();
    form->show();
    QApplication::processEvents();
    return form;
}

bool followChange(Query& shown, const SpecChange& change) {
    const auto edits = specEdits(shown, change);
    if (!edits)
        return false;
    for (const SpecEdit& edit : *edits) {
        switch (edit.kind) {
            case SpecEdit::Remove:
                shown.removeRow(edit.row);
                break;
            case SpecEdit::Insert:
                shown.insertRow(edit.row, change.rows, edit.from);
                break;
            case SpecEdit::Replace:
                shown.replaceRow(edit.row, change.rows, edit.from);
                break;
        }
    }
    return true;
}

namespace {

void addGridRows(const GridModel& model, const QTreeView* view, const QModelIndex& parent,
                 const QString& indent, QStringList& text) {
    for (int row = 0; row < model.rowCount(parent); ++row) {
        QStringList cells;
        for (int column = 0; column < model.columnCount(); ++column)
            cells << model.index(row, column, parent).data().toString();
        const QModelIndex index = model.index(row, 0, parent);
        const bool closed = model.rowCount(index) > 0 && view && !view->isExpanded(index);
        text << indent + cells.join(QLatin1Char('|')) +
                    (closed ? QStringLiteral(" (closed)") : QString());
        addGridRows(model, view, index, indent + QStringLiteral("  "), text);
    }
}

}  // namespace

QStringList gridText(const DataGrid& grid) {
    QStringList text;
    addGridRows(*grid.model(), grid.view(), {}, QString(), text);
    return text;
}

QStringList fullReadGridText(TForm1& form) {
    SpecView view = form.session().view();
    GridModel model;
    model.setColumns(form.DBGridEh2->model()->columns());
    model.setTreeFields(columnName(SpecColumn::Id), columnName(SpecColumn::ParentId));
    model.reload(&*view.rows);
    QStringList text;
    addGridRows(model, nullptr, {}, QString(), text);
    return text;
}

DialogScript::DialogScript() {
    setModalHandler([this](QDialog* dialog) { return run(dialog); });
}

DialogScript::~DialogScript() {
    setModalHandler({});
}

void DialogScript::on(const QString& dialog, std::function<void(QDialog*)> step) {
    m_steps[dialog].push_back(std::move(step));
}

int DialogScript::run(QDialog* dialog) {
    shown << dialog->objectName();
    dialog->setResult(0);
    dialog->show();
    auto& steps = m_steps[dialog->objectName()];
    if (steps.empty()) {
        dialog->close();
    } else {
        auto step = std::move(steps.front());
        steps.pop_front();
        step(dialog);
    }
    EXPECT_FALSE(dialog->isVisible()) << "still open: " << dialog->objectName().toStdString();
    dialog->hide();
    return dialog->result();
}

void click(QWidget* window, const char* button) {
    auto* b = window->findChild<QAbstractButton*>(QString::fromLatin1(button));
    ASSERT_NE(b, nullptr) << button;
    QTest::mouseClick(b, Qt::LeftButton);
}

void type(QWidget* dialog, const QString& text) {
    auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("namepro"));
    ASSERT_NE(edit, nullptr);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    // Key by key, as typed; QTest's own typing knows only Latin letters.
    for (const QChar ch : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(edit, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(edit, &release);
    }
    ASSERT_EQ(edit->text(), text);
}

void pick(QDialog* dialog, const QString& name) {
    auto* grid = dialog->findChild<DataGrid*>(QStringLiteral("GridP"));
    ASSERT_NE(grid, nullptr);
    const Query& rows = *grid->query();
    const int column = rows.columnIndex(u"Название");
    for (int row = 0; row < rows.recordCount(); ++row) {
        if (rows.value(row, column).toText() != name)
            continue;
        clickRow(grid, row + 1);
        ASSERT_EQ(rows.field(u"Название").toText(), name);
        return;
    }
    FAIL() << "no row " << name.toStdString();
}

namespace {

// The centre of the row's cell in the first column, scrolled into view.
QPoint rowCentre(DataGrid* grid, int recNo) {
    const QModelIndex index = grid->model()->indexOfRecNo(recNo);
    EXPECT_TRUE(index.isValid()) << "no row " << recNo;
    grid->view()->scrollTo(index);
    return grid->view()->visualRect(index).center();
}

}  // namespace

void clickRow(DataGrid* grid, int recNo) {
    QTest::mouseClick(grid->view()->viewport(), Qt::LeftButton, {}, rowCentre(grid, recNo));
}

void doubleClickRow(DataGrid* grid, int recNo) {
    const QPoint at = rowCentre(grid, recNo);
    QWidget* viewport = grid->view()->viewport();
    QTest::mouseClick(viewport, Qt::LeftButton, {}, at);
    QTest::mouseDClick(viewport, Qt::LeftButton, {}, at);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, at);
}

namespace {

// A run of the suites on the server skips every test when there is no test server.
class ServerRun : public ::testing::Environment {
public:
    void SetUp() override { SKIP_WITHOUT_SERVER(Engine::Server); }
};

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    MessageBox::setSilent(true);  // no test waits for a person to close a box
    ::testing::InitGoogleTest(&argc, argv);
    if (testEngine() == Engine::Server)
        ::testing::AddGlobalTestEnvironment(new ServerRun);
    return RUN_ALL_TESTS();
}

std::string engineName(const testing::TestParamInfo<Engine>& info) {
    return info.param == Engine::File ? "File" : "Server";
}

Engine testEngine() {
    return qEnvironmentVariable("ULMAR_TEST_ENGINE") == QLatin1String("server") ? Engine::Server
                                                                                : Engine::File;
}

QString testServerAddress() {
    return QString::fromUtf8(readFile(QStringLiteral(ULMAR_TEST_SERVER_FILE))).trimmed();
}

ServerStore::ServerStore(const QString& sourceFile, const QString& maintenance)
    : m_maintenance(maintenance) {
    static int made = 0;
    m_name = QStringLiteral("ulmar_test_%1_%2").arg(QCoreApplication::applicationPid()).arg(++made);
    Database::connect(maintenance)
        ->execute(QStringLiteral("create database %1 template template0 encoding 'UTF8' "
                                 "locale 'C.UTF-8'")
                      .arg(m_name));
    m_address = QString(maintenance)
                    .replace(QStringLiteral("/postgres?"), QStringLiteral("/%1?").arg(m_name));
    auto db = Database::connect(m_address);
    schema::initServerStore(*db);
    auto source = Database::open(sourceFile);
    // The working specification becomes the test login's, as copy-store gives it.
    copyStore(*source, *db, {0, storedProjectKey(*db, 0)});
}

ServerStore::~ServerStore() {
    try {
        Database::connect(m_maintenance)
            ->execute(QStringLiteral("drop database if exists %1 with (force)").arg(m_name));
    } catch (const StoreError&) {
    }
}

std::unique_ptr<Database> openOn(Engine engine, const TempStore& file,
                                 std::unique_ptr<ServerStore>& server) {
    if (engine == Engine::File)
        return Database::open(file.path());
    server = std::make_unique<ServerStore>(file.path());
    return Database::connect(server->address());
}
