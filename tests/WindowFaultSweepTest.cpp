// The window's side of the fault sweep (FaultSweepTest runs every command on the session): one
// command of each kind the window takes part in, through its controls and dialogs, failed at
// each of its statements in turn. After each run: no crash, the store is whole and holds either
// everything it held before the command or everything a finished step leaves, and the window
// shows what the session holds (open project, caption, rows of the view).
#include "catalogue/CatalogueSql.h"
#include "projects/gui/Tproekti.h"
#include "specification/SpecSql.h"
#include "specification/gui/TEditkol.h"
#include "store/StoreError.h"
#include "tests/TestSupport.h"
#include "ui/DataGrid.h"
#include "ui/Guard.h"
#include "ui/MessageBox.h"
#include "ui/NumberEdit.h"

#include <gtest/gtest.h>
#include <QAbstractItemModelTester>
#include <QGroupBox>
#include <QTest>
#include <QTreeView>
#include <algorithm>
#include <vector>

namespace {

// A tray with its cover, a branch element and an accessory; Север with two lines and a
// working specification of one line.
const QStringList kStore =
    fourProducts() +
    QStringList{
        "insert into project (Ключ, Название) values (1, 'Север'), (2, 'Юг')",
        "insert into buy (project, TMC, Pokr, TMC2, price, kol, kolm, izm, vid) values "
        "(0, 101, 2, 5101, 120.5, 9, 7.5, 'м.п.', -1), "
        "(1, 101, 2, 5101, 120.5, 6, 5.5, 'м.п.', -1), "
        "(1, 102, 2, 5102, 40, 6, 5.5, 'м.п.', -2), "
        "(2, 104, 2, 5104, 12.3, 4, 4, 'шт.', -7)",
    };

// Everything the program writes, in one text: projects and lines with their keys, snapshot
// rows without theirs (a snapshot taken again is the same snapshot).
QString contents(const TempStore& store) {
    return store.scalar(
        "select group_concat(r, ' ') from (select r from ("
        "select 'p' || Ключ || ':' || Название as r from project union all "
        "select 'b' || Ключ || ':' || project || ':' || TMC || ':' || Pokr || ':' || kol || ':' "
        "|| kolm || ':' || price from buy union all "
        "select 'a:' || project || ':' || TMC || ':' || Pokr || ':' || kol || ':' "
        "|| kolm || ':' || price from arh) order by r)");
}

QString projectLines(const TempStore& store, const char* table, int project) {
    return store.scalar(QStringLiteral("select group_concat(r, ' ') from (select TMC || ':' || "
                                       "Pokr || ':' || kol || ':' || kolm || ':' || price as r "
                                       "from %1 where project = %2 order by r)")
                            .arg(QString::fromLatin1(table))
                            .arg(project));
}

void expectWindowAgreesWithStore(TForm1& form, const TempStore& store) {
    const int project = TForm1Access::curProject(form);
    const QString name =
        store.scalar(QStringLiteral("select Название from project where Ключ = %1").arg(project));
    if (project != 0) {
        EXPECT_FALSE(name.isEmpty()) << "the open project exists";
    }
    EXPECT_EQ(form.GroupBox4->title(),
              specCaption(project != 0 ? std::optional<QString>(name) : std::nullopt));
    // The view orders its lines by group; the store's lines are compared in key order.
    std::vector<std::int64_t> keys;
    const Query& view = form.Q_buy;
    for (int r = 0; r < view.recordCount(); ++r) {
        const auto key = view.value(r, view.columnIndex(u"Ключ")).toInt();
        if (key > 0)
            keys.push_back(key);
    }
    std::sort(keys.begin(), keys.end());
    QStringList shown;
    for (const std::int64_t key : keys)
        shown << QString::number(key);
    EXPECT_EQ(shown.join(' '),
              store.scalar(QStringLiteral("select group_concat(Ключ, ' ') from (select Ключ from "
                                          "buy where project = %1 order by Ключ)")
                               .arg(project)))
        << "the view shows the open project's lines";
    if (project != 0 && TForm1Access::modified(form) == 0) {
        EXPECT_EQ(projectLines(store, "arh", project), projectLines(store, "buy", project))
            << "nothing unsaved, so the snapshot is the lines";
    }
    // Rows changed in place or read whole, the grid is what a full read shows, and so is the
    // footer's total of the lines.
    EXPECT_EQ(gridText(*form.DBGridEh2), fullReadGridText(form));
    EXPECT_EQ(form.DBGridEh2->footerTotal().toString(),
              store.scalar(QStringLiteral("select coalesce(sum(price * kol), 0) from buy where "
                                          "project = %1")
                               .arg(project)));
}

enum class Start { Working, NorthUnchanged, NorthChanged };

struct Command {
    const char* name;
    Start start;
    std::function<void(TForm1&, DialogScript&)> run;
    bool failureTold = true;  // false where a failure loses nothing and goes unmentioned
    QStringList setup = {};   // run on the store before the window opens
};

// The window on a fresh copy of the store, in the state the command starts from. Its grid's
// model is checked against the rules of Qt's models at every signal.
std::unique_ptr<TForm1> startWindow(TempStore& store, Start start) {
    auto form = openMainWindow();
    new QAbstractItemModelTester(form->DBGridEh2->model(),
                                 QAbstractItemModelTester::FailureReportingMode::Fatal,
                                 form->DBGridEh2);
    if (start != Start::Working) {
        TForm1Access::openProject(*form, 1);
        if (start == Start::NorthChanged) {
            store.run({"update buy set kol = 12, kolm = 11 where TMC = 101 and project = 1"});
            TForm1Access::modified(*form) = 1;
            TForm1Access::reloadSpec(*form);
        }
    }
    MessageBox::clearShown();
    return form;
}

// Stands the view on the line of that product.
void selectLine(TForm1& form, int product) {
    Query& q = form.Q_buy;
    for (int r = 1; r <= q.recordCount(); ++r)
        if (q.value(r - 1, q.columnIndex(u"TMC")).toInt() == product &&
            q.value(r - 1, q.columnIndex(u"Ключ")).toInt() > 0)
            q.setRecNo(r);
    form.DBGridEh2->syncToQuery();
}

// Fills a catalogue grid and stands on the product.
void standOn(DataGrid* grid, const QString& sql, int product) {
    grid->reopen(sql);
    Query& q = *grid->query();
    for (int r = 1; r <= q.recordCount(); ++r)
        if (q.value(r - 1, q.columnIndex(u"Ключ")).toInt() == product)
            q.setRecNo(r);
    grid->syncToQuery();
}

// A dialog's step; a dialog that a failure kept open is then closed with its close box.
void answer(DialogScript& script, const char* dialog, std::function<void(QDialog*)> step) {
    script.on(QString::fromLatin1(dialog), [step = std::move(step)](QDialog* d) {
        step(d);
        if (d->isVisible())
            d->close();
    });
}

// Picks a project in the list, when a failure has not left the list empty.
void pickIfListed(QDialog* list, const QString& name) {
    const Query& rows = *list->findChild<DataGrid*>(QStringLiteral("GridP"))->query();
    for (int r = 0; r < rows.recordCount(); ++r)
        if (rows.value(r, rows.columnIndex(u"Название")).toText() == name)
            return pick(list, name);
}

const Command kCommands[] = {
    {"first save", Start::Working,
     [](TForm1& f, DialogScript& s) {
         answer(s, "Proekt", [](QDialog* d) {
             type(d, QStringLiteral("Восток"));
             click(d, "BitBtn3");
         });
         click(&f, "BitBtn8");
     }},
    {"projects: throw away, choose another", Start::NorthChanged,
     [](TForm1& f, DialogScript& s) {
         MessageBox::setNextAnswer(false);
         answer(s, "proekti", [](QDialog* d) {
             pickIfListed(d, QStringLiteral("Юг"));
             click(d, "BitBtn3");
         });
         click(&f, "BitBtn7");
     }},
    {"projects: delete the open one", Start::NorthUnchanged,
     [](TForm1& f, DialogScript& s) {
         answer(s, "proekti", [](QDialog* d) {
             pickIfListed(d, QStringLiteral("Север"));
             MessageBox::setNextAnswer(true);
             click(d, "BitBtn5");
             click(d, "BitBtn4");
         });
         click(&f, "BitBtn7");
     }},
    // The list's own commands, each a step of its own, worked on the list as the window shows it.
    {"list: add", Start::Working,
     [](TForm1& f, DialogScript& s) {
         answer(s, "proektedit", [](QDialog* d) {
             type(d, QStringLiteral("Запад"));
             click(d, "BitBtn3");
         });
         f.proekti->show();
         click(f.proekti, "BitBtn1");
         f.proekti->hide();
     }},
    {"close: keep", Start::NorthChanged,
     [](TForm1& f, DialogScript&) {
         MessageBox::setNextAnswer(true);
         f.close();
     }},
    {"add a tray with its cover", Start::NorthChanged,
     [](TForm1& f, DialogScript&) {
         standOn(f.DBGridEh1, catalogue::productTreeSql(2, 64), 101);
         f.dlinaus->setFixedValue(Fixed4::fromInt(7));
         TForm1Access::addPosition(f, 1);
     }},
    {"edit a line", Start::NorthUnchanged,
     [](TForm1& f, DialogScript& s) {
         selectLine(f, 101);
         answer(s, "Editkol", [](QDialog* d) {
             d->findChild<NumberEdit*>(QStringLiteral("koltovm"))
                 ->setFixedValue(Fixed4::fromInt(10));
             static_cast<TEditkol*>(d)->BitBtn3Click();
         });
         click(&f, "BitBtn4");
     }},
    {"reprice by the catalogue",
     Start::NorthUnchanged,
     [](TForm1& f, DialogScript&) {
         MessageBox::setNextAnswer(true);
         TForm1Access::repriceItemClick(f);
     },
     true,
     {"update EXPORT_TMC set p2 = p2 + 10"}},
};

// One run of the command; failAt 0 lets every statement through. Returns how many statements
// the command ran and the store's contents before it, after each step it committed (a command
// that asks the user on the way, like leaving a project through the list, is several steps)
// and at its end.
struct Outcome {
    int statements = 0;
    QStringList states;
};

Outcome runFailingAt(const Command& command, int failAt) {
    TempStore store(kStore + command.setup);
    auto form = startWindow(store, command.start);
    Outcome outcome;
    outcome.states << contents(store);
    form->ADOConn().setStatementHook([&](const QString& sql) {
        // A transaction begins: what the steps so far have written for good. A write outside
        // any transaction is no step of its own, so a command that forgot one is found out.
        if (sql.startsWith(QLatin1String("begin")))  // "begin immediate" on the file
            outcome.states << contents(store);
        if (++outcome.statements == failAt)
            throw StoreError(QStringLiteral("сбой записи"));
    });
    {
        DialogScript script;
        // As behind every handler: a failure is shown and the test goes on.
        guarded(form.get(), [&] { command.run(*form, script); });
    }
    form->ADOConn().setStatementHook({});
    EXPECT_EQ(store.scalar("pragma integrity_check"), "ok");
    if (failAt != 0 && outcome.statements >= failAt && command.failureTold) {
        EXPECT_TRUE(MessageBox::shown().join('|').contains(QStringLiteral("сбой записи")))
            << "the failure is told";
    }
    if (form->isVisible())
        expectWindowAgreesWithStore(*form, store);
    outcome.states << contents(store);
    return outcome;
}

void PrintTo(const Command& command, std::ostream* os) {
    *os << command.name;
}

class FaultSweep : public ::testing::TestWithParam<Command> {};

TEST_P(FaultSweep, EveryStatementFailedInTurnLeavesStoreAndWindowWhole) {
    const Command& command = GetParam();
    const Outcome done = runFailingAt(command, 0);
    ASSERT_GT(done.statements, 0);
    ASSERT_NE(done.states.front(), done.states.back()) << "the command changes the store";
    for (int failAt = 1; failAt <= done.statements; ++failAt) {
        SCOPED_TRACE(QStringLiteral("statement %1 of %2 fails")
                         .arg(failAt)
                         .arg(done.statements)
                         .toStdString());
        const QString left = runFailingAt(command, failAt).states.back();
        EXPECT_TRUE(done.states.contains(left)) << "a state between the steps:\n"
                                                << left.toStdString() << "\nthe steps:\n"
                                                << done.states.join('\n').toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Commands, FaultSweep, ::testing::ValuesIn(kCommands),
                         [](const ::testing::TestParamInfo<Command>& info) {
                             std::string name;
                             for (const char ch : std::string(info.param.name))
                                 name += std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
                             return name;
                         });

}  // namespace
