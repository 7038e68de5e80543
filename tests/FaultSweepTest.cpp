// Every command of the project session, failed at each of its statements in turn, as a lock, a
// full disk or a read-only file would fail it, with no window: the store is whole and holds
// either everything it held before the command or everything a finished step leaves; a
// failing command says so and leaves the session's project and flag as they were; and the
// session agrees with the store (its project exists, an unchanged project's snapshot is its
// lines, the last view returned shows the open project's lines under its name).
#include "projects/ProjectList.h"
#include "projects/ProjectSession.h"
#include "projects/SqlProjectStore.h"
#include "specification/SpecSql.h"
#include "store/Database.h"
#include "store/StoreError.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>
#include <deque>

namespace {

// A tray with its cover, a branch element and an accessory; Север with two lines, Юг with one
// and a working specification of one line; each of them with its properties.
const QStringList kStore =
    fourProducts() +
    QStringList{
        "insert into project (Ключ, Название) values (1, 'Север'), (2, 'Юг')",
        "insert into buy (Ключ, project, TMC, Pokr, TMC2, price, kol, kolm, izm, vid) values "
        "(1, 0, 101, 2, 5101, 120.5, 9, 7.5, 'м.п.', -1), "
        "(2, 1, 101, 2, 5101, 120.5, 6, 5.5, 'м.п.', -1), "
        "(3, 1, 102, 2, 5102, 40, 6, 5.5, 'м.п.', -2), "
        "(4, 2, 104, 2, 5104, 12.3, 4, 4, 'шт.', -7)",
        "insert into project_properties (project, code) values (0, 'РС'), (1, 'СВ'), (2, 'ЮГ')",
    };

// Everything the program writes, in one text: projects and lines with their keys, snapshot
// rows without theirs (a snapshot taken again is the same snapshot), properties.
QString contents(const TempStore& store) {
    return store.scalar(
        "select group_concat(r, ' ') from (select r from ("
        "select 'p' || Ключ || ':' || Название as r from project union all "
        "select 'b' || Ключ || ':' || project || ':' || TMC || ':' || Pokr || ':' || kol || ':' "
        "|| kolm || ':' || price from buy union all "
        "select 'a:' || project || ':' || TMC || ':' || Pokr || ':' || kol || ':' "
        "|| kolm || ':' || price from arh union all "
        "select 'q' || project || ':' || code from project_properties) order by r)");
}

QString projectLines(const TempStore& store, const char* table, int project) {
    return store.scalar(QStringLiteral("select group_concat(r, ' ') from (select TMC || ':' || "
                                       "Pokr || ':' || kol || ':' || kolm || ':' || price as r "
                                       "from %1 where project = %2 order by r)")
                            .arg(QString::fromLatin1(table))
                            .arg(project));
}

// The user's answers: yes unless told otherwise, and a name for a new project.
class Answers : public SessionQuestions {
public:
    std::deque<bool> replies;
    QString name;
    QStringList told;

    bool confirm(const QString& question) override {
        told << question;
        if (replies.empty())
            return true;
        const bool yes = replies.front();
        replies.pop_front();
        return yes;
    }
    void tell(const QString& message) override { told << message; }
    QString newProjectName() override { return name; }
};

// A session on a fresh copy of the store, with no window.
struct Rig {
    TempStore store;
    std::unique_ptr<Database> db;
    SqlProjectStore projects;
    Answers answers;
    ProjectSession session;
    std::optional<SpecView> shown;  // the view a window would show now
    bool closed = false;            // the program may end

    explicit Rig(const QStringList& setup)
        : store(kStore + setup), db(store.open()), projects(*db), session(projects, answers) {
        shown.emplace(session.view());
    }
    // As the window shows it: a caption alone goes over the rows shown already.
    void show(std::optional<SpecView> view) {
        if (!view)
            return;
        if (view->rows)
            shown.emplace(std::move(*view));
        else
            shown->caption = view->caption;
    }
    // A change to a few lines: the rows shown follow it row by row, as the window's grid does.
    void show(const std::optional<SpecChange>& change) {
        if (change) {
            EXPECT_TRUE(followChange(*shown->rows, *change)) << "the change fits the rows shown";
        }
    }
};

enum class Start { Working, NorthUnchanged, NorthChanged };

struct Command {
    const char* name;
    Start start;
    std::function<void(Rig&)> run;
    // One step: a failure leaves the session's project and flag as they were. (Leaving a project
    // through the list is two: the answer about its changes, then the opening.)
    bool oneStep = true;
    bool failureTold = true;  // false where a failure loses nothing and goes unmentioned
    QStringList setup = {};
};

SourceRow row(std::int64_t product, const char* price, std::int64_t itemCode, std::int64_t parentId,
              const char* unit, int stockLength = 0, std::int64_t coverCode = 0) {
    SourceRow r;
    r.product = product;
    r.price = *Fixed4::parse(QString::fromLatin1(price));
    r.itemCode = itemCode;
    r.parentId = parentId;
    r.unit = QString::fromUtf8(unit);
    r.stockLength = Fixed4::fromInt(stockLength);
    r.coverCode = coverCode;
    return r;
}

Addition addition(int source, SourceRow r) {
    Addition a;
    a.source = source;
    a.row = r;
    a.coating = 2;
    a.length = Fixed4::fromInt(7);
    a.withCover = true;
    return a;
}

// The list's choice opened; when that fails, what the window shows then.
void openChosen(Rig& r, int chosen, bool openDeleted) {
    try {
        r.show(r.session.open(chosen));
    } catch (const StoreError&) {
        r.show(r.session.viewAfterFailedOpen(openDeleted));
        throw;
    }
}

const Command kCommands[] = {
    {"first save", Start::Working,
     [](Rig& r) {
         r.answers.name = QStringLiteral("Восток");
         r.show(r.session.save());
     }},
    // The new key has lines an older store left behind: they are the project's too.
    {"first save over lines left under the new key",
     Start::Working,
     [](Rig& r) {
         r.answers.name = QStringLiteral("Восток");
         r.show(r.session.save());
     },
     true,
     true,
     {"insert into buy (Ключ, project, TMC, Pokr, TMC2, price, kol, kolm, izm, vid) values "
      "(5, 3, 103, 2, 5103, 250, 1, 1, 'шт.', -5)"}},
    {"save", Start::NorthChanged, [](Rig& r) { r.show(r.session.save()); }},
    {"projects: keep, cancel", Start::NorthChanged,
     [](Rig& r) {
         r.answers.replies = {true};
         r.show(r.session.settleBeforeList());
         openChosen(r, r.session.project(), false);
     },
     false},
    {"projects: throw away, choose another", Start::NorthChanged,
     [](Rig& r) {
         r.answers.replies = {false};
         r.show(r.session.settleBeforeList());
         openChosen(r, 2, false);
     },
     false},
    {"projects: delete the open one", Start::NorthUnchanged,
     [](Rig& r) {
         deleteProject(r.projects, 1);
         openChosen(r, 0, true);
     },
     false},
    {"open with left changes, thrown away",
     Start::Working,
     [](Rig& r) {
         r.answers.replies = {false};
         r.show(r.session.open(1));
     },
     true,
     true,
     {"insert into arh (project, TMC, Pokr, TMC2, price, kol, kolm, izm, vid) "
      "select project, TMC, Pokr, TMC2, price, kol + 1, kolm, izm, vid from buy "
      "where project = 1"}},
    {"list: add", Start::Working, [](Rig& r) { addProject(r.projects, QStringLiteral("Запад")); }},
    {"list: rename", Start::Working,
     [](Rig& r) { renameProject(r.projects, 1, QStringLiteral("Восток")); }},
    {"list: copy", Start::Working,
     [](Rig& r) { copyProject(r.projects, 1, copyName(QStringLiteral("Север"))); }},
    {"list: delete", Start::Working, [](Rig& r) { deleteProject(r.projects, 2); }},
    {"close: keep", Start::NorthChanged,
     [](Rig& r) {
         r.answers.replies = {true};
         r.closed = r.session.close();
     }},
    {"close: throw away", Start::NorthChanged,
     [](Rig& r) {
         r.answers.replies = {false};
         r.closed = r.session.close();
     }},
    // Only the snapshot of an unchanged project goes; the window closes all the same.
    {"close unchanged", Start::NorthUnchanged, [](Rig& r) { r.closed = r.session.close(); }, true,
     false},
    {"add a tray with its cover", Start::NorthChanged,
     [](Rig& r) {
         r.show(
             r.session.add(addition(TreeSource, row(101, "120.5", 5101, -1, "м.п.", 3000, 5102))));
     }},
    {"add a branch element", Start::NorthUnchanged,
     [](Rig& r) {
         r.show(r.session.add(addition(BranchSource, row(103, "250", 5103, -5, "шт."))));
     }},
    {"add an accessory", Start::Working,
     [](Rig& r) {
         r.show(r.session.add(addition(AccessorySource, row(104, "12.3", 5104, -7, "шт."))));
     }},
    {"edit a line", Start::NorthUnchanged,
     [](Rig& r) { r.show(r.session.setQuantities(2, Fixed4::fromInt(12), Fixed4::fromInt(10))); }},
    {"delete a line", Start::NorthUnchanged, [](Rig& r) { r.show(r.session.deleteLine(3)); }},
    {"clear", Start::NorthChanged, [](Rig& r) { r.show(r.session.clear()); }},
    {"reprice by the catalogue",
     Start::NorthUnchanged,
     [](Rig& r) { r.show(r.session.reprice()); },
     true,
     true,
     {"update EXPORT_TMC set p2 = p2 + 10"}},
    {"requote the open project",
     Start::NorthUnchanged,
     [](Rig& r) { r.show(r.session.requote().view); },
     true,
     true,
     {"update EXPORT_TMC set p2 = p2 + 10"}},
    {"restore the snapshot", Start::NorthChanged,
     [](Rig& r) { r.show(r.session.restoreSnapshot()); }},
};

QString cells(const Query& rows) {
    QStringList text;
    for (int column = 0; column < rows.columnCount(); ++column)
        text << rows.columnName(column);
    for (int row = 0; row < rows.recordCount(); ++row)
        for (int column = 0; column < rows.columnCount(); ++column)
            text << rows.value(row, column).toText();
    return text.join('|');
}

void expectSessionAgreesWithStore(Rig& r) {
    const int project = r.session.project();
    const QString name =
        r.store.scalar(QStringLiteral("select Название from project where Ключ = %1").arg(project));
    if (project != 0) {
        EXPECT_FALSE(name.isEmpty()) << "the open project exists";
    }
    if (project != 0 && !r.session.modified()) {
        EXPECT_EQ(projectLines(r.store, "arh", project), projectLines(r.store, "buy", project))
            << "nothing unsaved, so the snapshot is the lines";
    }
    ASSERT_TRUE(r.shown);
    EXPECT_EQ(r.shown->caption,
              specCaption(project != 0 ? std::optional<QString>(name) : std::nullopt));
    ASSERT_TRUE(r.shown->rows);
    QStringList lines;
    const Query& rows = *r.shown->rows;
    for (int i = 0; i < rows.recordCount(); ++i)
        if (const auto key = rows.value(i, rows.columnIndex(u"Ключ")).toInt(); key > 0)
            lines << QString::number(key);
    lines.sort();
    EXPECT_EQ(lines.join(' '),
              r.store.scalar(QStringLiteral("select group_concat(Ключ, ' ') from (select "
                                            "cast(Ключ as text) as Ключ from buy where project = "
                                            "%1 order by 1)")
                                 .arg(project)))
        << "the view shows the open project's lines";
    // Rows a command left standing or changed row by row are, cell by cell and in order, what a
    // fresh read gives.
    SpecView fresh = r.projects.readView(project);
    EXPECT_EQ(fresh.caption, r.shown->caption);
    EXPECT_EQ(cells(rows), cells(*fresh.rows)) << "the rows shown are a full re-read's";
}

struct Outcome {
    int statements = 0;
    QStringList states;  // before, after each committed step, at the end
};

Outcome runFailingAt(const Command& command, int failAt) {
    Rig r(command.setup);
    if (command.start != Start::Working) {
        r.show(r.session.open(1));
        if (command.start == Start::NorthChanged) {
            r.store.run({"update buy set kol = 12, kolm = 11 where TMC = 101 and project = 1"});
            r.session.markModified();
            r.show(r.session.view());
        }
    }
    r.answers.told.clear();
    Outcome outcome;
    outcome.states << contents(r.store);
    r.db->setStatementHook([&](const QString& sql) {
        // A transaction begins: what the steps so far have written for good. A write outside
        // any transaction is no step of its own, so a command that forgot one is found out.
        if (sql.startsWith(QLatin1String("begin")))  // "begin immediate" on the file
            outcome.states << contents(r.store);
        if (++outcome.statements == failAt)
            throw StoreError(QStringLiteral("сбой записи"));
    });
    const int projectBefore = r.session.project();
    const bool modifiedBefore = r.session.modified();
    bool failed = false;
    try {
        command.run(r);
    } catch (const StoreError& e) {
        failed = true;
        EXPECT_TRUE(e.message().contains(QStringLiteral("сбой записи")));
    }
    r.db->setStatementHook({});
    EXPECT_EQ(r.store.scalar("pragma integrity_check"), "ok");
    if (failAt != 0 && outcome.statements >= failAt && command.failureTold) {
        EXPECT_TRUE(failed) << "the failure is told";
    }
    if (failAt == 0) {
        EXPECT_FALSE(failed);
    }
    if (failed && command.oneStep) {
        EXPECT_EQ(r.session.project(), projectBefore) << "a failed command changes no project";
        EXPECT_EQ(r.session.modified(), modifiedBefore) << "nor the flag of unsaved changes";
    }
    if (!r.closed)
        expectSessionAgreesWithStore(r);
    outcome.states << contents(r.store);
    return outcome;
}

void PrintTo(const Command& command, std::ostream* os) {
    *os << command.name;
}

class FaultSweep : public ::testing::TestWithParam<Command> {};

TEST_P(FaultSweep, EveryStatementFailedInTurnLeavesStoreAndSessionWhole) {
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

// «Отмена» in the list on the open project, renamed there: only the caption is read again.
TEST(ProjectSession, CancelInTheListOnTheOpenProjectWritesNothingAndKeepsItsRows) {
    Rig r({});
    r.show(r.session.open(1));
    renameProject(r.projects, 1, QStringLiteral("Восток"));
    const QString before = contents(r.store);
    QStringList statements;
    r.db->setStatementHook([&](const QString& sql) { statements << sql; });
    r.show(r.session.settleBeforeList());
    r.show(r.session.open(1));
    r.db->setStatementHook({});
    EXPECT_EQ(statements, QStringList{"select Название from project where Ключ = 1"});
    EXPECT_EQ(contents(r.store), before);
    EXPECT_EQ(r.shown->caption, "Выбранные товары               Проект: Восток");
    expectSessionAgreesWithStore(r);
}

}  // namespace
