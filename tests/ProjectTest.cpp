// Named projects: saving, opening, keeping or throwing away changes, and the project dialogs.
#include "projects/gui/TProekt.h"
#include "projects/gui/Tproektedit.h"
#include "projects/gui/Tproekti.h"
#include "store/StoreError.h"
#include "tests/TestSupport.h"
#include "ui/DataGrid.h"
#include "ui/MessageBox.h"
#include "ui/Modal.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeView>
#include <deque>
#include <functional>
#include <map>
#include <optional>

namespace {

// Two projects and a working specification of one line. Север has a tray and its cover.
const QStringList kStore = {
    "insert into EXPORT_PODVID values (1, 'Лотки'), (2, 'Крышки')",
    "insert into EXPORT_TMC (Ключ, Название, Номер, Вид, Подвид, Ширина, Высота, Длина, ЕИ, "
    "ТМЦ, t2k, t3k, p2, p3) values "
    "(101, 'Лоток 100x50', '100.1', 64, 1, 100, 50, 3000, 'м.п.', 11, 5101, 6101, 120.5, 130), "
    "(102, 'Крышка 100', '200.1', 64, 2, 100, 0, 3000, 'м.п.', 12, 5102, 6102, 40, 44)",
    "insert into project (Ключ, Название) values (1, 'Север'), (2, 'Юг')",
    "insert into buy (Ключ, project, TMC, Pokr, TMC2, price, kol, kolm, izm, vid) values "
    "(1, 0, 101, 2, 5101, 120.5, 9, 7.5, 'м.п.', -1), "
    "(2, 1, 101, 2, 5101, 120.5, 6, 5.5, 'м.п.', -1), "
    "(3, 1, 102, 2, 5102, 40, 6, 5.5, 'м.п.', -2), "
    "(4, 2, 102, 3, 6102, 44, 3, 3, 'м.п.', -2)",
};

const char* kNorth = "101:6:5.5:120.5:м.п.:-1;102:6:5.5:40:м.п.:-2";
const char* kNorthChanged = "101:12:11:120.5:м.п.:-1;102:6:5.5:40:м.п.:-2";
const char* kWorking = "101:9:7.5:120.5:м.п.:-1";
const char* kWorkingChanged = "101:12:11:120.5:м.п.:-1";
const char* kSouth = "102:3:3:44:м.п.:-2";
// What a run killed while Север was open leaves: its snapshot, and changed lines.
const char* kSnapshotNorth =
    "insert into arh (project, TMC, Pokr, TMC2, price, kol, kolm, izm, vid) select project, TMC, "
    "Pokr, TMC2, price, kol, kolm, izm, vid from buy where project = 1";
const char* kChangeNorth = "update buy set kol = 12, kolm = 11 where TMC = 101 and project = 1";

// The lines of a project in buy or arh, by product: product, order and designed quantity,
// price, unit and group.
QString lines(const TempStore& store, const char* table, int project) {
    return store.scalar(QStringLiteral("select group_concat(TMC || ':' || kol || ':' || kolm || "
                                       "':' || price || ':' || izm || ':' || vid, ';') from "
                                       "(select * from %1 where project = %2 order by TMC, Pokr)")
                            .arg(QString::fromLatin1(table))
                            .arg(project));
}

QString projectNames(const TempStore& store) {
    return store.scalar(
        "select group_concat(Название, ';') from (select Название from project order by "
        "Название)");
}

// The project list's rows, as its grid shows them.
const Query& listRows(QWidget* list) {
    return *list->findChild<DataGrid*>(QStringLiteral("GridP"))->query();
}

QString currentName(QDialog* dialog) {
    return listRows(dialog).field(u"Название").toText();
}

QString nameField(QWidget* dialog) {
    return dialog->findChild<QLineEdit*>(QStringLiteral("namepro"))->text();
}

const QString kAskKeep = QStringLiteral("Сохранить изменения в проекте?");
const QString kTaken = QStringLiteral("Проект с таким именем уже есть!");
const QString kEmpty = QStringLiteral("Ваш проект пустой!");
const QString kAskDelete =
    QStringLiteral("Будет удален проект с выбранными товарами.\n\rПродолжить удаление?");

// The window on the test store with the given project open, unchanged or with one line
// edited after it was opened.
std::unique_ptr<TForm1> openOn(TempStore& store, int project, bool changed) {
    auto form = openMainWindow();
    TForm1Access::curProject(*form) = project;
    if (project != 0)
        TForm1Access::takeSnapshot(*form);
    if (changed) {
        store.run({QStringLiteral("update buy set kol = 12, kolm = 11 where TMC = 101 and "
                                  "project = %1")
                       .arg(project)});
        TForm1Access::modified(*form) = 1;
    }
    TForm1Access::reloadSpec(*form);
    MessageBox::clearShown();
    return form;
}

enum class Event {
    Save,
    SaveCancelled,
    ProjectsCancel,
    ProjectsChooseSouth,
    ProjectsChooseNorth,
    ProjectsDeleteOpen,
    Close
};

void trigger(TForm1& form, DialogScript& script, Event event) {
    switch (event) {
        case Event::Save:
            script.on("Proekt", [](QDialog* d) {
                type(d, QStringLiteral("Восток"));
                click(d, "BitBtn3");
            });
            click(&form, "BitBtn8");
            break;
        case Event::SaveCancelled:
            script.on("Proekt", [](QDialog* d) {
                type(d, QStringLiteral("Восток"));
                click(d, "BitBtn4");
            });
            click(&form, "BitBtn8");
            break;
        case Event::ProjectsCancel:
            script.on("proekti", [](QDialog* d) { click(d, "BitBtn4"); });
            click(&form, "BitBtn7");
            break;
        case Event::ProjectsChooseSouth:
        case Event::ProjectsChooseNorth: {
            const QString name = event == Event::ProjectsChooseSouth ? QStringLiteral("Юг")
                                                                     : QStringLiteral("Север");
            script.on("proekti", [name](QDialog* d) {
                pick(d, name);
                click(d, "BitBtn3");
            });
            click(&form, "BitBtn7");
            break;
        }
        case Event::ProjectsDeleteOpen:
            script.on("proekti", [](QDialog* d) {
                pick(d, QStringLiteral("Север"));
                MessageBox::setNextAnswer(true);
                click(d, "BitBtn5");
                click(d, "BitBtn4");
            });
            click(&form, "BitBtn7");
            break;
        case Event::Close:
            form.close();
            break;
    }
}

}  // namespace

TEST(ProjectStates, EveryEventOfEveryState) {
    const struct {
        const char* what;
        int project;  // open at the start: 0 the working specification, 1 Север
        bool changed;
        Event event;
        std::optional<bool> answer;  // to the question about unsaved changes; none: not asked
        int endProject;
        int endModified;
        const char* endLines;     // lines of the project open at the end
        const char* endSnapshot;  // its snapshot
        const char* north;        // lines of Север
        const char* working;      // lines of the working specification
    } cases[] = {
        {"W0 save", 0, false, Event::Save, {}, 3, 0, kWorking, kWorking, kNorth, ""},
        {"W1 save", 0, true, Event::Save, {}, 3, 0, kWorkingChanged, kWorkingChanged, kNorth, ""},
        {"W1 save cancelled",
         0,
         true,
         Event::SaveCancelled,
         {},
         0,
         1,
         kWorkingChanged,
         "",
         kNorth,
         kWorkingChanged},
        {"N0 save", 1, false, Event::Save, {}, 1, 0, kNorth, kNorth, kNorth, kWorking},
        {"N1 save",
         1,
         true,
         Event::Save,
         {},
         1,
         0,
         kNorthChanged,
         kNorthChanged,
         kNorthChanged,
         kWorking},
        {"N1 projects no, cancel", 1, true, Event::ProjectsCancel, false, 1, 0, kNorth, kNorth,
         kNorth, kWorking},
        {"N1 projects yes, cancel", 1, true, Event::ProjectsCancel, true, 1, 0, kNorthChanged,
         kNorthChanged, kNorthChanged, kWorking},
        {"N1 projects no, choose", 1, true, Event::ProjectsChooseSouth, false, 2, 0, kSouth, kSouth,
         kNorth, kWorking},
        {"N0 projects, choose",
         1,
         false,
         Event::ProjectsChooseSouth,
         {},
         2,
         0,
         kSouth,
         kSouth,
         kNorth,
         kWorking},
        {"N0 projects, delete the open one",
         1,
         false,
         Event::ProjectsDeleteOpen,
         {},
         0,
         0,
         kWorking,
         "",
         "",
         kWorking},
        {"W1 projects, cancel",
         0,
         true,
         Event::ProjectsCancel,
         {},
         0,
         0,
         kWorkingChanged,
         "",
         kNorth,
         kWorkingChanged},
        {"W0 projects, choose",
         0,
         false,
         Event::ProjectsChooseSouth,
         {},
         2,
         0,
         kSouth,
         kSouth,
         kNorth,
         kWorking},
        {"N1 close no", 1, true, Event::Close, false, 1, 1, kNorth, "", kNorth, kWorking},
        {"N1 close yes", 1, true, Event::Close, true, 1, 1, kNorthChanged, "", kNorthChanged,
         kWorking},
        // Left for good, the project keeps no snapshot behind.
        {"N0 close", 1, false, Event::Close, {}, 1, 0, kNorth, "", kNorth, kWorking},
        {"W1 close", 0, true, Event::Close, {}, 0, 1, kWorkingChanged, "", kNorth, kWorkingChanged},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempStore store(kStore);
        auto form = openOn(store, c.project, c.changed);
        DialogScript script;
        if (c.answer)
            MessageBox::setNextAnswer(*c.answer);
        trigger(*form, script, c.event);

        const QStringList shown = MessageBox::shown();
        EXPECT_EQ(shown.contains(kAskKeep), c.answer.has_value()) << shown.join("|").toStdString();
        EXPECT_FALSE(shown.contains(kEmpty));
        EXPECT_EQ(TForm1Access::curProject(*form), c.endProject);
        EXPECT_EQ(TForm1Access::modified(*form), c.endModified);
        EXPECT_EQ(lines(store, "buy", c.endProject), c.endLines);
        EXPECT_EQ(lines(store, "arh", c.endProject), c.endSnapshot);
        EXPECT_EQ(lines(store, "buy", 1), c.north);
        EXPECT_EQ(lines(store, "buy", 0), c.working);
        if (c.event != Event::Close) {
            // Line rows and one group row per subtype of the project open now.
            const QString rows = store.scalar(
                QStringLiteral("select count(*) + count(distinct vid) from buy where project = %1")
                    .arg(c.endProject));
            EXPECT_EQ(form->Q_buy.recordCount(), rows.toInt()) << "the view follows the project";
        }
    }
}

TEST(ProjectStates, LeavingTheListWithCancelWritesNothing) {
    const struct {
        const char* what;
        int project;
        bool changed;
    } cases[] = {
        {"working specification", 0, false},
        {"working specification changed", 0, true},
        {"Север unchanged", 1, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempStore store(kStore);
        auto form = openOn(store, c.project, c.changed);
        const QString before = lines(store, "arh", 0) + "|" + lines(store, "arh", 1) + "|" +
                               lines(store, "buy", c.project);
        // A full disk refuses every write: there must be none to refuse.
        QStringList writes;
        form->ADOConn().setStatementHook([&](const QString& sql) {
            if (!sql.trimmed().startsWith(QStringLiteral("select"), Qt::CaseInsensitive)) {
                writes << sql;
                throw StoreError(QStringLiteral("database or disk is full"));
            }
        });
        DialogScript script;
        trigger(*form, script, Event::ProjectsCancel);
        form->ADOConn().setStatementHook({});
        EXPECT_EQ(writes, QStringList());
        EXPECT_EQ(MessageBox::shown(), QStringList());
        EXPECT_EQ(TForm1Access::curProject(*form), c.project);
        EXPECT_EQ(TForm1Access::modified(*form), 0);
        EXPECT_EQ(lines(store, "arh", 0) + "|" + lines(store, "arh", 1) + "|" +
                      lines(store, "buy", c.project),
                  before);
    }
}

TEST(ProjectStates, SavingAnEmptyWorkingSpecificationAsksForNoName) {
    TempStore store(kStore);
    store.run({"delete from buy where project = 0"});
    auto form = openOn(store, 0, false);
    DialogScript script;
    click(form.get(), "BitBtn8");
    EXPECT_EQ(MessageBox::shown(), QStringList{kEmpty});
    EXPECT_TRUE(script.shown.isEmpty());
    EXPECT_EQ(projectNames(store), "Север;Юг");
    EXPECT_EQ(TForm1Access::curProject(*form), 0);
}

TEST(ProjectStates, FirstSaveNamesTheProjectAsTyped) {
    TempStore store(kStore);
    store.run({"insert into project (Название) values ('Запад')",
               "delete from project where Название = 'Запад'"});  // key 3 is used up
    auto form = openOn(store, 0, true);
    DialogScript script;
    script.on("Proekt", [](QDialog* d) {
        type(d, QStringLiteral("Дом 'Север'"));
        click(d, "BitBtn3");
    });
    click(form.get(), "BitBtn8");
    EXPECT_EQ(store.scalar("select Ключ from project where Название = 'Дом ''Север'''"), "4");
    EXPECT_EQ(TForm1Access::curProject(*form), 4);
    EXPECT_EQ(lines(store, "buy", 4), kWorkingChanged);
    EXPECT_TRUE(form->GroupBox4->title().endsWith(QStringLiteral("Проект: Дом 'Север'")))
        << form->GroupBox4->title().toStdString();
}

TEST(ProjectStates, ThrowingChangesAwayGivesTheLinesNewKeys) {
    TempStore store(kStore);
    auto form = openOn(store, 1, true);
    DialogScript script;
    MessageBox::setNextAnswer(false);
    trigger(*form, script, Event::ProjectsCancel);
    EXPECT_EQ(store.scalar("select count(*) from buy where project = 1 and Ключ > 4"), "2");
}

// A command of several statements changes the store completely or not at all.
TEST(ProjectStates, AFailingStatementLeavesNothingHalfWritten) {
    const struct {
        const char* what;
        const char* trigger;
        int project;
        bool changed;
        std::optional<bool> answer;
        std::function<void(TForm1&, DialogScript&)> act;
        const char* north;
        const char* northSnapshot;
        const char* working;
        const char* projects;
        int endProject;
        int endModified;
        bool listShown;
    } cases[] = {
        {"first save, moving the lines",
         "before update on buy",
         0,
         true,
         {},
         [](TForm1& f, DialogScript& s) { trigger(f, s, Event::Save); },
         kNorth,
         "",
         kWorkingChanged,
         "Север;Юг",
         0,
         1,
         false},
        {"first save, the snapshot",
         "before insert on arh",
         0,
         true,
         {},
         [](TForm1& f, DialogScript& s) { trigger(f, s, Event::Save); },
         kNorth,
         "",
         kWorkingChanged,
         "Север;Юг",
         0,
         1,
         false},
        {"save, the snapshot",
         "before insert on arh",
         1,
         true,
         {},
         [](TForm1& f, DialogScript& s) { trigger(f, s, Event::Save); },
         kNorthChanged,
         kNorth,
         kWorking,
         "Север;Юг",
         1,
         1,
         false},
        {"keeping the changes", "before delete on arh", 1, true, true,
         [](TForm1& f, DialogScript& s) { trigger(f, s, Event::ProjectsCancel); }, kNorthChanged,
         kNorth, kWorking, "Север;Юг", 1, 1, false},
        {"throwing the changes away", "before insert on buy", 1, true, false,
         [](TForm1& f, DialogScript& s) { trigger(f, s, Event::ProjectsCancel); }, kNorthChanged,
         kNorth, kWorking, "Север;Юг", 1, 1, false},
        {"throwing the changes away on closing", "before delete on arh", 1, true, false,
         [](TForm1& f, DialogScript& s) { trigger(f, s, Event::Close); }, kNorthChanged, kNorth,
         kWorking, "Север;Юг", 1, 1, false},
        {"deleting a project",
         "before delete on project",
         0,
         false,
         {},
         [](TForm1& f, DialogScript& s) {
             s.on("proekti", [](QDialog* d) {
                 pick(d, QStringLiteral("Север"));
                 MessageBox::setNextAnswer(true);
                 click(d, "BitBtn5");
                 click(d, "BitBtn4");
             });
             click(&f, "BitBtn7");
         },
         kNorth,
         "",
         kWorking,
         "Север;Юг",
         0,
         0,
         true},
        {"copying a project",
         "before insert on buy",
         0,
         false,
         {},
         [](TForm1& f, DialogScript& s) {
             s.on("proekti", [](QDialog* d) {
                 pick(d, QStringLiteral("Север"));
                 click(d, "BitBtn6");
                 click(d, "BitBtn4");
             });
             click(&f, "BitBtn7");
         },
         kNorth,
         "",
         kWorking,
         "Север;Юг",
         0,
         0,
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempStore store(kStore);
        auto form = openOn(store, c.project, c.changed);
        store.addRefusal(QString::fromLatin1(c.trigger), QStringLiteral("сбой"));
        DialogScript script;
        if (c.answer)
            MessageBox::setNextAnswer(*c.answer);
        c.act(*form, script);

        EXPECT_TRUE(MessageBox::shown().join("|").contains(QStringLiteral("сбой")))
            << MessageBox::shown().join("|").toStdString();
        EXPECT_TRUE(form->isVisible()) << "a failure never closes the window";
        EXPECT_EQ(lines(store, "buy", 1), c.north);
        EXPECT_EQ(lines(store, "arh", 1), c.northSnapshot);
        EXPECT_EQ(lines(store, "buy", 0), c.working);
        EXPECT_EQ(projectNames(store), c.projects);
        EXPECT_EQ(store.scalar("select count(*) from buy where project not in (0, 1, 2)"), "0");
        EXPECT_EQ(TForm1Access::curProject(*form), c.endProject);
        EXPECT_EQ(TForm1Access::modified(*form), c.endModified);
        EXPECT_EQ(script.shown.contains("proekti"), c.listShown);
    }
}

TEST(ProjectStates, ChangesLeftByACrashAreOfferedOnOpening) {
    const QString question = QStringLiteral(
        "Проект «Север» содержит изменения, не сохранённые при прошлом завершении программы. "
        "Сохранить их?");
    const struct {
        const char* what;
        QStringList leftByTheCrash;  // statements that make the store an earlier run left
        std::optional<bool> answer;  // none: nothing is asked
        const char* north;           // Север's lines once it is open
    } cases[] = {
        {"changed, kept", {kSnapshotNorth, kChangeNorth}, true, kNorthChanged},
        {"changed, thrown away", {kSnapshotNorth, kChangeNorth}, false, kNorth},
        {"unchanged", {kSnapshotNorth}, {}, kNorth},
        {"left properly", {}, {}, kNorth},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempStore store(kStore + c.leftByTheCrash);
        auto form = openOn(store, 0, false);
        DialogScript script;
        if (c.answer)
            MessageBox::setNextAnswer(*c.answer);
        trigger(*form, script, Event::ProjectsChooseNorth);
        EXPECT_EQ(MessageBox::shown().contains(question), c.answer.has_value())
            << MessageBox::shown().join("|").toStdString();
        EXPECT_EQ(TForm1Access::curProject(*form), 1);
        EXPECT_EQ(TForm1Access::modified(*form), 0);
        EXPECT_EQ(lines(store, "buy", 1), c.north);
        EXPECT_EQ(lines(store, "arh", 1), c.north) << "the version open now is the saved one";
    }
}

TEST(ProjectNameDialog, AcceptsOnlyAFreeName) {
    const struct {
        const char* typed;
        const char* button;  // nullptr: the window's close box
        bool staysOpen;
        bool taken;
        const char* result;  // namepro once closed
    } cases[] = {
        {"", "BitBtn3", true, false, ""},
        {"Юг", "BitBtn3", true, true, "Юг"},
        {"Восток", "BitBtn3", false, false, "Восток"},
        {"юг", "BitBtn3", false, false, "юг"},    // names differ by letter case
        {" Юг", "BitBtn3", false, false, " Юг"},  // blanks are not trimmed
        {"Восток", "BitBtn4", false, false, ""},
        {"Восток", nullptr, false, false, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed + std::string(" ") + (c.button ? c.button : "close box"));
        TempStore store(kStore);
        auto form = openMainWindow();
        MessageBox::clearShown();
        TProekt* dialog = form->Proekt;
        dialog->show();
        type(dialog, QString::fromUtf8(c.typed));
        if (c.button)
            click(dialog, c.button);
        else
            dialog->close();
        EXPECT_EQ(dialog->isVisible(), c.staysOpen);
        EXPECT_EQ(MessageBox::shown().contains(kTaken), c.taken);
        if (!c.staysOpen) {
            EXPECT_EQ(nameField(dialog), QString::fromUtf8(c.result));
        }
        EXPECT_EQ(projectNames(store), "Север;Юг");
        dialog->hide();
    }
}

TEST(ProjectNameDialog, EveryShowingStartsEmpty) {
    TempStore store(kStore);
    auto form = openMainWindow();
    form->Proekt->findChild<QLineEdit*>(QStringLiteral("namepro"))
        ->setText(QStringLiteral("Восток"));
    form->Proekt->show();
    EXPECT_EQ(nameField(form->Proekt), "");
    form->Proekt->hide();
}

TEST(ProjectList, AddAndRenameKeepNamesUnique) {
    const struct {
        const char* what;
        const char* row;  // the row renamed; nullptr adds a project
        const char* typed;
        bool staysOpen;  // then "Отмена" is pressed
        bool taken;
        const char* names;    // afterwards
        const char* current;  // the list's row afterwards
    } cases[] = {
        {"add", nullptr, "Восток", false, false, "Восток;Север;Юг", "Восток"},
        {"add a quote", nullptr, "Дом 'А'", false, false, "Дом 'А';Север;Юг", "Дом 'А'"},
        {"add empty", nullptr, "", true, false, "Север;Юг", "Север"},
        {"add taken", nullptr, "Юг", true, true, "Север;Юг", "Север"},
        {"rename", "Юг", "Запад", false, false, "Запад;Север", "Запад"},
        {"rename to its own name", "Юг", "Юг", false, false, "Север;Юг", "Юг"},
        {"rename to a taken name", "Юг", "Север", true, true, "Север;Юг", "Юг"},
        {"rename to empty", "Юг", "", true, false, "Север;Юг", "Юг"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempStore store(kStore);
        auto form = openMainWindow();
        MessageBox::clearShown();
        DialogScript script;
        script.on("proektedit", [&](QDialog* d) {
            if (c.row)
                EXPECT_EQ(d->findChild<QLineEdit*>("namepro")->text(), QString::fromUtf8(c.row));
            else
                EXPECT_EQ(d->findChild<QLineEdit*>("prokey")->text(), "");
            type(d, QString::fromUtf8(c.typed));
            click(d, "BitBtn3");
            EXPECT_EQ(d->isVisible(), c.staysOpen);
            if (d->isVisible())
                click(d, "BitBtn4");
        });
        Tproekti* list = form->proekti;
        list->show();
        if (c.row) {
            pick(list, QString::fromUtf8(c.row));
            click(list, "BitBtn2");
        } else {
            click(list, "BitBtn1");
        }
        EXPECT_EQ(MessageBox::shown().contains(kTaken), c.taken);
        EXPECT_EQ(projectNames(store), c.names);
        EXPECT_EQ(listRows(list).recordCount(),
                  store.scalar("select count(*) from project").toInt());
        EXPECT_EQ(currentName(list), QString::fromUtf8(c.current));
        list->hide();
    }
}

TEST(ProjectList, DeleteAsksAndTakesTheLinesAlong) {
    const struct {
        const char* row;
        bool yes;
        int openBefore;
        int openAfter;
        const char* names;
        const char* linesLeft;  // of the project picked
    } cases[] = {
        {"Север", false, 1, 1, "Север;Юг", kNorth},
        {"Север", true, 1, 0, "Юг", ""},
        {"Юг", true, 1, 1, "Север", ""},
        {"Север", true, 0, 0, "Юг", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.row) + (c.yes ? " yes" : " no"));
        TempStore store(kStore);
        auto form = openOn(store, c.openBefore, false);
        const QString snapshot = lines(store, "arh", c.openBefore);
        Tproekti* list = form->proekti;
        list->setOpenProject(c.openBefore);
        list->show();
        pick(list, QString::fromUtf8(c.row));
        MessageBox::setNextAnswer(c.yes);
        click(list, "BitBtn5");
        EXPECT_EQ(MessageBox::shown(), QStringList{kAskDelete});
        EXPECT_EQ(projectNames(store), c.names);
        EXPECT_EQ(list->chosenProject(), c.openAfter);
        EXPECT_EQ(list->deletedOpenProject(), c.openBefore != c.openAfter);
        EXPECT_EQ(listRows(list).recordCount(), c.yes ? 1 : 2);
        const int key = QString::fromUtf8(c.row) == QStringLiteral("Север") ? 1 : 2;
        EXPECT_EQ(lines(store, "buy", key), c.linesLeft);
        // A deleted project takes its snapshot along; another project's stays.
        EXPECT_EQ(lines(store, "arh", key), c.yes ? "" : lines(store, "buy", key));
        if (key != c.openBefore) {
            EXPECT_EQ(lines(store, "arh", c.openBefore), snapshot);
        }
        EXPECT_EQ(lines(store, "buy", 0), kWorking);
        list->hide();
    }
}

TEST(ProjectList, CopyTakesEveryColumnOfTheLines) {
    TempStore store(kStore);
    auto form = openOn(store, 2, false);
    Tproekti* list = form->proekti;
    list->show();
    pick(list, QStringLiteral("Север"));
    click(list, "BitBtn6");
    EXPECT_EQ(projectNames(store), "Копия Север;Север;Юг");
    const int copy =
        store.scalar("select Ключ from project where Название = 'Копия Север'").toInt();
    EXPECT_EQ(lines(store, "buy", copy), kNorth);
    EXPECT_EQ(store.scalar(QStringLiteral("select group_concat(Pokr || ':' || TMC2, ';') from "
                                          "(select * from buy where project = %1 order by TMC)")
                               .arg(copy)),
              "2:5101;2:5102");
    EXPECT_EQ(listRows(list).recordCount(), 3);
    EXPECT_EQ(list->chosenProject(), 0) << "the copy is not opened";
    EXPECT_TRUE(MessageBox::shown().isEmpty());

    // The same name again is refused; the copy's copy takes the prefix twice.
    pick(list, QStringLiteral("Север"));
    click(list, "BitBtn6");
    EXPECT_EQ(MessageBox::shown(), QStringList{kTaken});
    EXPECT_EQ(store.scalar("select count(*) from buy"), "6");
    pick(list, QStringLiteral("Копия Север"));
    click(list, "BitBtn6");
    EXPECT_EQ(projectNames(store), "Копия Копия Север;Копия Север;Север;Юг");
    list->hide();
}

TEST(ProjectList, ChooseOpensTheRowPicked) {
    TempStore store(kStore);
    auto form = openOn(store, 0, false);
    Tproekti* list = form->proekti;
    list->show();
    pick(list, QStringLiteral("Юг"));
    click(list, "BitBtn3");
    EXPECT_FALSE(list->isVisible());
    EXPECT_EQ(list->chosenProject(), 2);
}

TEST(ProjectList, AnEmptyListOnlyAdds) {
    TempStore store;
    auto form = openOn(store, 0, false);
    DialogScript script;
    Tproekti* list = form->proekti;
    list->show();
    for (const char* button : {"BitBtn3", "BitBtn2", "BitBtn5", "BitBtn6"})
        click(list, button);
    EXPECT_TRUE(list->isVisible()) << "Выбрать leaves the list open";
    EXPECT_TRUE(script.shown.isEmpty());
    EXPECT_TRUE(MessageBox::shown().isEmpty());
    script.on("proektedit", [](QDialog* d) {
        type(d, QStringLiteral("Первый"));
        click(d, "BitBtn3");
    });
    click(list, "BitBtn1");
    EXPECT_EQ(projectNames(store), "Первый");
    click(list, "BitBtn3");
    EXPECT_EQ(list->chosenProject(), store.scalar("select Ключ from project").toInt());
}

TEST(ProjectDialogs, EscapeCancelsAndEnterPressesOnlyTheFocusedButton) {
    TempStore store(kStore);
    auto form = openMainWindow();
    Tproekti* list = form->proekti;
    TForm1Access::curProject(*form) = 1;

    // Enter with the focus in the list chooses nothing; on a button it presses that button.
    list->setOpenProject(1);
    list->show();
    pick(list, QStringLiteral("Юг"));
    QTest::keyClick(list->findChild<DataGrid*>(QStringLiteral("GridP"))->view(), Qt::Key_Return);
    EXPECT_TRUE(list->isVisible());
    auto* choose = list->findChild<QPushButton*>(QStringLiteral("BitBtn3"));
    choose->setFocus();
    QTest::keyClick(choose, Qt::Key_Return);
    EXPECT_FALSE(list->isVisible());
    EXPECT_EQ(list->chosenProject(), 2);

    // Esc leaves as "Отмена" does: the open project stays.
    list->show();
    pick(list, QStringLiteral("Юг"));
    QTest::keyClick(list, Qt::Key_Escape);
    EXPECT_FALSE(list->isVisible());
    EXPECT_EQ(list->chosenProject(), 1);

    // The name dialogs: Esc forgets the name typed.
    TProekt* naming = form->Proekt;
    naming->show();
    type(naming, QStringLiteral("Восток"));
    QTest::keyClick(naming->findChild<QLineEdit*>(QStringLiteral("namepro")), Qt::Key_Return);
    EXPECT_TRUE(naming->isVisible()) << "Enter in the name field is no button";
    QTest::keyClick(naming, Qt::Key_Escape);
    EXPECT_FALSE(naming->isVisible());
    EXPECT_EQ(naming->name(), QString());
    EXPECT_EQ(projectNames(store), "Север;Юг");

    // None can be maximised or made smaller than designed.
    for (QDialog* d : {static_cast<QDialog*>(list), static_cast<QDialog*>(naming),
                       static_cast<QDialog*>(form->proektedit)}) {
        EXPECT_FALSE(d->windowFlags() & Qt::WindowMaximizeButtonHint)
            << d->objectName().toStdString();
        d->show();
        d->resize(10, 10);
        EXPECT_EQ(d->size(), d->minimumSize()) << d->objectName().toStdString();
        EXPECT_GE(d->minimumWidth(), 324) << d->objectName().toStdString();
        d->hide();
    }
}

TEST(ProjectList, AListThatCannotBeReadShowsNothing) {
    TempStore store(kStore);
    auto form = openMainWindow();
    Tproekti* list = form->proekti;
    list->show();
    ASSERT_EQ(list->findChild<DataGrid*>(QStringLiteral("GridP"))->model()->rowCount(), 2);
    list->hide();
    // Another program holds the store when the list is shown again.
    form->ADOConn().setStatementHook([](const QString& sql) {
        if (sql.startsWith(QStringLiteral("select * from project")))
            throw StoreError(QStringLiteral("database is locked"));
    });
    MessageBox::clearShown();
    list->show();
    list->grab();  // paints every visible cell
    EXPECT_EQ(list->findChild<DataGrid*>(QStringLiteral("GridP"))->model()->rowCount(), 0);
    EXPECT_EQ(MessageBox::shown(), QStringList{QStringLiteral("database is locked")});
    click(list, "BitBtn3");
    EXPECT_TRUE(list->isVisible()) << "nothing to choose";
    form->ADOConn().setStatementHook({});
    list->hide();
}
