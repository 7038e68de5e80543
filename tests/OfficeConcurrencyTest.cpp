// Eight designers on one server store at once, each running two hundred commands on private and
// shared projects, some killed in the middle of a command and started again. Afterwards every
// project holds one of its committed states, no line is lost or doubled, and each designer's
// commands touched only what they name.
#include "projects/SqlProjectStore.h"
#include "store/Database.h"
#include "tests/TestSupport.h"
#include "tests/office/OfficeState.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QMap>
#include <QProcess>
#include <QSet>
#include <QThread>
#include <iostream>
#include <random>

namespace {

constexpr int kDesigners = 8;
constexpr int kCommands = 200;

const QStringList kStore =
    fourProducts() +
    QStringList{
        "insert into project (Ключ, Название) values (1, 'Общий 1'), (2, 'Общий 2')",
        "insert into buy (Ключ, project, TMC, Pokr, TMC2, price, kol, kolm, izm, vid) values "
        "(1, 1, 101, 2, 5101, 120.5, 6, 5.5, 'м.п.', -1), "
        "(2, 1, 102, 2, 5102, 40, 6, 5.5, 'м.п.', -2), "
        "(3, 2, 104, 2, 5104, 12.3, 4, 4, 'шт.', -7)",
    };

QString designerAddress(const QString& address, int designer) {
    return QString(address).replace(QStringLiteral("postgres@"),
                                    QStringLiteral("ulmar_designer%1@").arg(designer));
}

// Every designer a login of its own, allowed what the program needs on the store.
void addDesigners(const QString& address) {
    auto db = Database::connect(address);
    for (int d = 1; d <= kDesigners; ++d) {
        const QString role = QStringLiteral("ulmar_designer%1").arg(d);
        db->execute(QStringLiteral("do $$ begin if not exists (select from pg_roles where rolname "
                                   "= '%1') then create role %1 login; end if; end $$")
                        .arg(role));
        db->execute(QStringLiteral("grant all on all tables in schema public to %1; "
                                   "grant all on all sequences in schema public to %1; "
                                   "grant execute on all functions in schema public to %1")
                        .arg(role));
    }
}

struct Record {
    char mark;  // B before a command, C after a committed one, F after a refused one
    int step;
    QJsonObject body;
};

QList<Record> readJournal(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<Record> records;
    for (const QByteArray& line : file.readAll().split('\n')) {
        const QList<QByteArray> parts = line.split(' ');
        if (parts.size() < 3)
            continue;  // the end of a line cut by a kill
        const QJsonDocument body =
            QJsonDocument::fromJson(line.mid(parts[0].size() + parts[1].size() + 2));
        if (body.isObject())
            records.append({parts[0].at(0), parts[1].toInt(), body.object()});
    }
    return records;
}

// The projects a command may change: the open one, the one it names, and any it makes. Gives
// the first other project that changed, or nothing.
std::optional<QString> changedBeyond(const QJsonObject& before, const QJsonObject& after,
                                     const QJsonObject& step) {
    const QSet<QString> named = {QString::number(step["project"].toInt()),
                                 QString::number(step["target"].toInt(-1))};
    const bool makesOne = QStringList{"save", "copy"}.contains(step["kind"].toString());
    for (auto it = before.begin(); it != before.end(); ++it)
        if (!named.contains(it.key()) && after.value(it.key()) != it.value())
            return it.key();
    for (auto it = after.begin(); it != after.end(); ++it)
        if (!before.contains(it.key()) && !makesOne)
            return it.key();
    return std::nullopt;
}

std::string describe(const QJsonObject& object) {
    return QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString();
}

class Designer {
public:
    Designer(int id, QString address, QString journal)
        : m_id(id), m_address(std::move(address)), m_journal(std::move(journal)) {}

    void start(unsigned seed, int commands) {
        m_process.start(QStringLiteral(ULMAR_OFFICE_CLIENT),
                        {m_address, QString::number(m_id), QString::number(seed),
                         QString::number(commands), m_journal});
        ASSERT_TRUE(m_process.waitForStarted());
    }
    bool running() { return m_process.state() != QProcess::NotRunning; }
    void kill() {
        m_process.kill();
        m_process.waitForFinished();
    }
    bool finish() { return m_process.waitForFinished(600000) && m_process.exitCode() == 0; }
    QString errors() { return QString::fromUtf8(m_process.readAllStandardError()); }
    int commandsDone() const {
        int done = 0;
        for (const Record& r : readJournal(m_journal))
            done += r.mark == 'B';
        return done;
    }

private:
    int m_id;
    QString m_address;
    QString m_journal;
    QProcess m_process;
};

}  // namespace

TEST(Office, EightDesignersAtOnceWithKills) {
    SKIP_WITHOUT_SERVER(Engine::Server);
    const TempStore file(kStore);
    const ServerStore server(file.path());
    addDesigners(server.address());

    std::vector<std::unique_ptr<Designer>> designers;
    for (int d = 1; d <= kDesigners; ++d) {
        designers.push_back(std::make_unique<Designer>(
            d, designerAddress(server.address(), d), QStringLiteral("designer%1.journal").arg(d)));
        designers.back()->start(unsigned(d), kCommands);
    }
    // Three designers killed at moments of their own, while the others go on, then started
    // again to run the rest of their commands.
    std::mt19937 rng(7);
    for (int d : {0, 3, 6}) {
        QThread::msleep(200 + rng() % 600);
        if (!designers[d]->running())
            continue;
        designers[d]->kill();
        designers[d]->start(unsigned(100 + d), kCommands - designers[d]->commandsDone());
    }
    for (auto& designer : designers)
        EXPECT_TRUE(designer->finish()) << designer->errors().toStdString();

    // What the run did, for the log: commands committed and refused, and why.
    int committed = 0, cutShort = 0;
    QMap<QString, int> refusals;
    for (int d = 1; d <= kDesigners; ++d) {
        SCOPED_TRACE(d);
        auto db = Database::connect(designerAddress(server.address(), d));
        SqlProjectStore store(*db);
        const QList<Record> journal = readJournal(QStringLiteral("designer%1.journal").arg(d));
        ASSERT_FALSE(journal.isEmpty());
        // Walks the runs: each state follows the one before by the command in between, a
        // refused command changes nothing, and a run killed mid-command leaves the state before
        // it or the one it was making, as the next run (or the store now) finds it.
        QJsonObject state;
        std::optional<QJsonObject> pending;
        auto follow = [&](const QJsonObject& next) {
            if (pending) {
                EXPECT_EQ(changedBeyond(state, next, *pending), std::nullopt)
                    << describe(*pending) << "\nbefore: " << describe(state)
                    << "\nafter: " << describe(next);
            } else if (!state.isEmpty()) {
                EXPECT_EQ(describe(next), describe(state)) << "a refused command changed lines";
            }
            state = next;
            pending.reset();
        };
        for (const Record& r : journal) {
            if (r.mark == 'B') {
                pending = r.body;
            } else if (r.mark == 'C') {
                cutShort += r.step < 0 && pending;
                committed += r.step >= 0;
                follow(r.body);
            } else {
                ++refusals[r.body["message"].toString().section(QLatin1Char(' '), 0, 2)];
                pending.reset();
                follow(r.body["state"].toObject());
            }
        }
        cutShort += bool(pending);
        follow(designerState(store, d));
    }
    std::cout << "committed " << committed << ", killed mid-command " << cutShort << '\n';
    for (auto it = refusals.begin(); it != refusals.end(); ++it)
        std::cout << "refused " << it.value() << " × «" << it.key().toStdString() << " …»\n";

    auto db = Database::connect(server.address());
    Query q(*db, QStringLiteral("Q_check"));
    q.open(
        QStringLiteral("select project, TMC, Pokr from buy group by project, TMC, Pokr "
                       "having count(*) > 1"));
    EXPECT_EQ(q.recordCount(), 0) << "a line doubled";
    q.open(QStringLiteral("select Ключ from buy where Ключ in (1, 2, 3)"));
    EXPECT_EQ(q.recordCount(), 3) << "a line of a shared project lost";
    q.open(
        QStringLiteral("select Ключ from buy where project > 0 and project not in "
                       "(select Ключ from project)"));
    EXPECT_EQ(q.recordCount(), 0) << "lines of no project";
}
