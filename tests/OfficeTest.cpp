// Several designers on one server database at once, each through a connection of their own
// under a login of their own: private working specifications, and a project open in one window
// held by that window's connection until it ends.
#include "app/TForm1.h"
#include "catalogue/AddSource.h"
#include "projects/ProjectList.h"
#include "projects/ProjectRequote.h"
#include "projects/ProjectSession.h"
#include "projects/SqlProjectStore.h"
#include "store/Database.h"
#include "store/PgDatabase.h"
#include "store/Query.h"
#include "store/StoreError.h"
#include "tests/TestSupport.h"
#include "ui/DataGrid.h"
#include "ui/MessageBox.h"

#include <gtest/gtest.h>
#include <libpq-fe.h>
#include <QCoreApplication>
#include <QDialog>
#include <QGroupBox>
#include <QSysInfo>
#include <QThread>

namespace {

// An accessory and the project Север with two lines and its properties.
const QStringList kStore = {
    "insert into EXPORT_PODVID values (7, 'Крепёж')",
    "insert into EXPORT_TMC (Ключ, Название, Номер, Вид, Подвид, Ширина, Высота, Длина, ЕИ, "
    "ТМЦ, t2k, p2) values (104, 'Шпилька М8', '400.1', 72, 7, 0, 0, 0, 'шт.', 14, 5104, 12.3), "
    "(105, 'Гайка М8', '400.2', 72, 7, 0, 0, 0, 'шт.', 15, 5105, 2)",
    "insert into project (Ключ, Название) values (1, 'Север')",
    "insert into buy (Ключ, project, TMC, Pokr, TMC2, price, kol, kolm, izm, vid) values "
    "(1, 1, 104, 2, 5104, 11, 4, 4, 'шт.', -7), (2, 1, 105, 2, 5105, 2, 10, 10, 'шт.', -7)",
    "insert into project_properties (project, code) values (1, 'СВ')",
};

class Answers : public SessionQuestions {
public:
    QStringList told;
    bool confirm(const QString& question) override {
        told << question;
        return true;
    }
    void tell(const QString& message) override { told << message; }
    QString newProjectName() override { return QStringLiteral("Запад"); }
};

// A designer's window, without the widgets: a connection, the store and the session on it.
struct Designer {
    std::unique_ptr<Database> db;
    SqlProjectStore projects;
    Answers answers;
    ProjectSession session;
    explicit Designer(const QString& address)
        : db(Database::connect(address)), projects(*db), session(projects, answers) {}
    int backend() const { return PQbackendPID(dynamic_cast<PgDatabase&>(*db).handle()); }
};

Addition accessory(std::int64_t product) {
    SourceRow r;
    r.product = product;
    r.price = Fixed4::fromInt(3);
    r.itemCode = 5000 + product;
    r.parentId = -7;
    r.unit = QStringLiteral("шт.");
    Addition a;
    a.source = AccessorySource;
    a.row = r;
    a.coating = 2;
    return a;
}

class Office : public ::testing::Test {
protected:
    void SetUp() override {
        SKIP_WITHOUT_SERVER(Engine::Server);
        file = std::make_unique<TempStore>(kStore);
        server = std::make_unique<ServerStore>(file->path());
        admin = Database::connect(server->address());
        // A second designer: a login of their own with the rights on the program's tables.
        second = QStringLiteral("ulmar_designer_%1").arg(QCoreApplication::applicationPid());
        admin->execute(QStringLiteral("do $$ begin create role %1 login; exception when "
                                      "duplicate_object then null; end $$")
                           .arg(second));
        admin->execute(QStringLiteral("grant select, insert, update, delete on all tables in "
                                      "schema public to %1")
                           .arg(second));
        admin->execute(QStringLiteral("grant usage, select on all sequences in schema public to %1")
                           .arg(second));
    }

    // The store's address under the login.
    QString as(const QString& login) const {
        return QString(server->address())
            .replace(QStringLiteral("postgresql://postgres@"),
                     QStringLiteral("postgresql://%1@").arg(login));
    }
    QString scalar(const QString& sql) {
        Query q(*admin, QStringLiteral("scalar"));
        q.open(sql);
        return q.recordCount() ? q.value(0, 0).toText() : QString();
    }
    // Everything the program writes about projects, keys of lines and snapshots aside.
    QString contents() {
        return scalar(
            "select string_agg(r, ' ' order by r) from ("
            "select 'p' || Ключ || ':' || Название as r from project union all "
            "select 'b' || project || ':' || TMC || ':' || kol || ':' || price from buy "
            "union all select 'a' || project || ':' || TMC || ':' || kol from arh union all "
            "select 'q' || project || ':' || code from project_properties) rows");
    }
    // Waits until the server has ended the session of that backend.
    void awaitEnd(int backend) {
        for (int wait = 0; wait < 100; ++wait) {
            if (scalar(QStringLiteral("select count(*) from pg_stat_activity where pid = %1")
                           .arg(backend)) == QLatin1String("0"))
                return;
            QThread::msleep(100);
        }
        FAIL() << "the server did not end the session";
    }

    std::unique_ptr<TempStore> file;
    std::unique_ptr<ServerStore> server;
    std::unique_ptr<Database> admin;
    QString second;
};

}  // namespace

// Each login has a working specification of its own: two designers never see, save or clear
// each other's lines, and the project list shows none of them.
TEST_F(Office, WorkingSpecificationsArePrivate) {
    Designer ivanov(as("postgres"));
    Designer petrov(as(second));
    const int ivanovs = ivanov.projects.storedKey(0);
    const int petrovs = petrov.projects.storedKey(0);
    EXPECT_LT(ivanovs, 0);
    EXPECT_LT(petrovs, 0);
    EXPECT_NE(ivanovs, petrovs);
    // A second window of the same login finds the same one.
    EXPECT_EQ(Designer(as(second)).projects.storedKey(0), petrovs);

    ivanov.session.add(accessory(104));
    petrov.session.add(accessory(104));
    petrov.session.add(accessory(105));
    EXPECT_EQ(ivanov.session.view().rows->recordCount(), 2);  // its group and its one line
    petrov.session.clear();
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from buy where project = %1").arg(ivanovs)),
              "1");

    petrov.session.add(accessory(105));
    ASSERT_TRUE(petrov.session.save());
    const QString west = scalar("select Ключ from project where Название = 'Запад'");
    EXPECT_EQ(QString::number(petrov.session.project()), west);
    EXPECT_EQ(scalar("select string_agg(TMC || '@' || (project = " + west +
                     ")::text, ' ' order by TMC) from buy where project <> 1"),
              "104@false 105@true");
    EXPECT_EQ(scalar("select string_agg(Название, ', ' order by Ключ) from project"),
              "Север, Запад");
}

// A project open in one window opens read-only in another: its lines are shown, and every
// change, the list's rename and delete and a reprice are refused with the sentence naming who
// holds it, writing nothing.
TEST_F(Office, HeldProjectOpensReadOnlyForAnother) {
    Designer ivanov(as("postgres"));
    Designer petrov(as(second));
    ivanov.session.open(1);
    const QString held =
        QStringLiteral("Проект «Север» открыт пользователем postgres (компьютер %1)")
            .arg(QSysInfo::machineHostName());
    const QString before = contents();

    const SpecView shown = petrov.session.open(1);
    EXPECT_TRUE(petrov.session.readOnly());
    EXPECT_EQ(shown.rows->recordCount(), 3);  // the group and the two lines
    EXPECT_TRUE(shown.caption.endsWith("Проект: Север (только просмотр)"))
        << shown.caption.toStdString();
    ASSERT_EQ(petrov.answers.told.size(), 1);
    EXPECT_TRUE(petrov.answers.told[0].startsWith(held + ".\n\n"))
        << petrov.answers.told[0].toStdString();

    const struct {
        const char* name;
        std::function<void(Designer&)> change;
    } changes[] = {
        {"a dialog before a change", [](Designer& d) { d.session.refuseIfReadOnly(); }},
        {"add", [](Designer& d) { d.session.add(accessory(105)); }},
        {"edit", [](Designer& d) { d.session.setQuantities(1, Fixed4::fromInt(9), {}); }},
        {"delete", [](Designer& d) { d.session.deleteLine(1); }},
        {"clear", [](Designer& d) { d.session.clear(); }},
        {"reprice", [](Designer& d) { d.session.reprice(); }},
        {"requote", [](Designer& d) { d.session.requote(); }},
        {"save", [](Designer& d) { d.session.save(); }},
        {"properties", [](Designer& d) { d.projects.saveProperties(1, {}); }},
        {"rename", [](Designer& d) { renameProject(d.projects, 1, QStringLiteral("Юг")); }},
        {"delete project", [](Designer& d) { deleteProject(d.projects, 1); }},
    };
    for (const auto& c : changes) {
        try {
            c.change(petrov);
            ADD_FAILURE() << c.name << " was not refused";
        } catch (const StoreError& e) {
            EXPECT_EQ(e.message(), held) << c.name;
        }
    }
    Query q(*petrov.db, QStringLiteral("requote"));
    EXPECT_EQ(requoteProject(*petrov.db, q, 1, QStringLiteral("Север")).refusal, held);
    const ToolRun tool = runTool({"reprice", "--project", "1", "--store", as(second)});
    EXPECT_EQ(tool.exitCode, 1) << describe(tool);
    EXPECT_TRUE(tool.err.contains(held)) << describe(tool);
    // Left open through the list's «Отмена», it stays read-only without a second telling.
    petrov.session.open(1);
    EXPECT_TRUE(petrov.session.readOnly());
    EXPECT_EQ(petrov.answers.told.size(), 1);
    // Leaving it writes nothing either: the snapshot is the holder's.
    EXPECT_TRUE(petrov.session.close());
    EXPECT_EQ(contents(), before);
    // The holder works on.
    EXPECT_NO_THROW(ivanov.session.add(accessory(105)));
}

// In the window, a project open for reading only refuses an edit and a removal before their
// dialogs are shown: the user fills in nothing that is then thrown away.
TEST_F(Office, AReadOnlyWindowRefusesBeforeItsDialogs) {
    Designer ivanov(as("postgres"));
    ivanov.session.open(1);
    writeFile(file->dir() + "/ulmar.store", as(second).toUtf8());
    auto form = openMainWindow();
    MessageBox::clearShown();
    DialogScript script;
    script.on("proekti", [](QDialog* d) {
        pick(d, QStringLiteral("Север"));
        click(d, "BitBtn3");
    });
    click(form.get(), "BitBtn7");
    ASSERT_TRUE(form->GroupBox4->title().endsWith("(только просмотр)"))
        << form->GroupBox4->title().toStdString();
    const QString held =
        QStringLiteral("Проект «Север» открыт пользователем postgres (компьютер %1)")
            .arg(QSysInfo::machineHostName());
    const QString before = contents();
    for (const char* button : {"BitBtn4", "delete key"}) {
        SCOPED_TRACE(button);
        MessageBox::clearShown();
        form->Q_buy.setRecNo(2);  // a line under its group's row
        form->DBGridEh2->syncToQuery();
        if (button == std::string("BitBtn4"))
            click(form.get(), button);
        else
            emit form->DBGridEh2->deletePressed();
        EXPECT_EQ(MessageBox::shown(), QStringList{held});
    }
    EXPECT_EQ(script.shown, QStringList{"proekti"}) << "no dialog but the list";
    EXPECT_EQ(contents(), before);
}

// The hold ends with its window's connection, however it ends; a window whose connection was
// made again learns that it lost the hold.
TEST_F(Office, HoldEndsWithTheConnection) {
    for (const bool killed : {false, true}) {
        SCOPED_TRACE(killed ? "connection killed" : "window closed");
        auto ivanov = std::make_unique<Designer>(as("postgres"));
        Designer petrov(as(second));
        ivanov->session.open(1);
        petrov.session.open(1);
        ASSERT_TRUE(petrov.session.readOnly());
        const int backend = ivanov->backend();
        if (killed)
            admin->execute(QStringLiteral("select pg_terminate_backend(%1)").arg(backend));
        else
            ivanov.reset();
        awaitEnd(backend);
        // Opened again from the list, the project is Petrov's now.
        petrov.session.open(1);
        EXPECT_FALSE(petrov.session.readOnly());
        EXPECT_NO_THROW(petrov.session.add(accessory(105)));
        if (!killed)
            continue;
        // The killed window's next command finds the connection gone; the one after makes it
        // again and learns that the project is held elsewhere now.
        EXPECT_THROW(ivanov->session.add(accessory(104)), StoreError);
        try {
            ivanov->session.add(accessory(104));
            ADD_FAILURE() << "a window without its hold changed the project";
        } catch (const StoreError& e) {
            EXPECT_EQ(e.message(),
                      QStringLiteral("Проект «Север» открыт пользователем %1 (компьютер %2)")
                          .arg(second, QSysInfo::machineHostName()));
        }
        EXPECT_TRUE(ivanov->session.close());
        EXPECT_EQ(scalar("select count(*) from buy where project = 1 and TMC = 104"), "1");
    }
}

// A connection made again while nobody took the project: the window holds it no more and says
// so, and takes it again when the project is opened again.
TEST_F(Office, ReconnectedWindowTakesTheProjectAgainOnOpening) {
    Designer ivanov(as("postgres"));
    ivanov.session.open(1);
    ivanov.session.add(accessory(105));
    const int backend = ivanov.backend();
    admin->execute(QStringLiteral("select pg_terminate_backend(%1)").arg(backend));
    awaitEnd(backend);
    EXPECT_THROW(ivanov.session.add(accessory(105)), StoreError);  // the connection is gone
    try {
        ivanov.session.add(accessory(105));
        ADD_FAILURE() << "a window without its hold changed the project";
    } catch (const StoreError& e) {
        EXPECT_EQ(e.message(),
                  "Проект «Север» открыт в этом окне только для просмотра: чтобы "
                  "изменять его, откройте его снова через «Проекты»");
    }
    // Opening it again asks about the changes its snapshot does not hold, as after a crash.
    ivanov.session.open(1);
    ASSERT_FALSE(ivanov.answers.told.isEmpty());
    EXPECT_TRUE(ivanov.answers.told.last().startsWith("Проект «Север» содержит изменения"));
    EXPECT_NO_THROW(ivanov.session.add(accessory(105)));
    EXPECT_EQ(scalar("select kol from buy where project = 1 and TMC = 105"), "12");
}

// New project keys come from the server's sequence, each connection learning its own.
TEST_F(Office, KeysOfNewProjectsAreTheServers) {
    Designer ivanov(as("postgres"));
    Designer petrov(as(second));
    const int a = addProject(ivanov.projects, QStringLiteral("А"));
    const int b = addProject(petrov.projects, QStringLiteral("Б"));
    const int c = copyProject(ivanov.projects, 1, QStringLiteral("Копия Север"));
    EXPECT_EQ(scalar("select string_agg(Ключ || Название, ' ' order by Ключ) from project"),
              QStringLiteral("1Север %1А %2Б %3Копия Север").arg(a).arg(b).arg(c));
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from buy where project = %1").arg(c)), "2");
}
