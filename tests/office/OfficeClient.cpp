// One designer of the office concurrency test: a session on the server store running a mix of
// commands drawn from a seed. Before each command it writes what it is about to do to its
// journal, and after each committed one the state of its own projects, so that the test can
// tell every committed state from one the store must never hold.
#include "projects/ProjectList.h"
#include "projects/ProjectSession.h"
#include "projects/SqlProjectStore.h"
#include "store/Database.h"
#include "store/Query.h"
#include "store/StoreError.h"
#include "tests/office/OfficeState.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <random>

namespace {

class Answers : public SessionQuestions {
public:
    QString name;
    bool confirm(const QString&) override { return true; }
    void tell(const QString&) override {}
    QString newProjectName() override { return name; }
};

// The catalogue the test's store holds: a tray with its cover, a branch element, an accessory.
struct Product {
    int source;
    std::int64_t key, itemCode, parentId, coverCode;
    const char *price, *unit;
    int stockLength;
};
const Product kProducts[] = {
    {TreeSource, 101, 5101, -1, 5102, "120.5", "м.п.", 3000},
    {BranchSource, 103, 5103, -5, 0, "250", "шт.", 0},
    {AccessorySource, 104, 5104, -7, 0, "12.3", "шт.", 0},
};

class Client {
public:
    Client(const QString& address, int id, unsigned seed, const QString& journal)
        : m_db(Database::connect(address)),
          m_store(*m_db),
          m_session(m_store, m_answers),
          m_id(id),
          m_seed(seed),
          m_rng(seed),
          m_journal(journal) {
        if (!m_journal.open(QIODevice::Append | QIODevice::Unbuffered))
            qFatal("journal");
    }

    void run(int commands) {
        write("C", -1, state());
        for (int i = 0; i < commands; ++i) {
            QJsonObject step = choose();
            write("B", i, step);
            try {
                perform(step);
                write("C", i, state());
            } catch (const StoreError& e) {
                write("F", i, QJsonObject{{"message", e.message()}, {"state", state()}});
            }
        }
        m_session.close();
    }

private:
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_rng); }

    std::vector<int> ownProjects() { return projectsNamed(m_store, designerPrefix(m_id)); }
    std::vector<int> sharedProjects() { return projectsNamed(m_store, kSharedPrefix); }
    bool onShared() {
        const auto shared = sharedProjects();
        return std::find(shared.begin(), shared.end(), m_session.project()) != shared.end();
    }

    QJsonObject lines(int project) { return projectLines(m_store, project); }
    QJsonObject state() { return designerState(m_store, m_id); }

    std::vector<std::int64_t> lineKeys() {
        const QJsonObject shown = lines(m_session.project());
        std::vector<std::int64_t> keys;
        for (auto it = shown.begin(); it != shown.end(); ++it)
            keys.push_back(it.key().toLongLong());
        return keys;
    }

    QJsonObject choose() {
        const int project = m_session.project();
        QJsonObject step{{"project", project}};
        const int roll = pick(100);
        if (roll < 35) {
            step.insert("kind", "add");
            step.insert("product", pick(3));
            step.insert("length", 1 + pick(20));
        } else if (roll < 50) {
            const auto keys = lineKeys();
            if (keys.empty())
                return choose();
            step.insert("kind", "edit");
            step.insert("line", qint64(keys[pick(int(keys.size()))]));
            step.insert("kol", 1 + pick(50));
        } else if (roll < 58) {
            // Lines of the shared projects are only added and changed, so none may go missing.
            const auto keys = lineKeys();
            if (keys.empty() || onShared())
                return choose();
            step.insert("kind", "delete");
            step.insert("line", qint64(keys[pick(int(keys.size()))]));
        } else if (roll < 68) {
            step.insert("kind", "save");
            step.insert("name", newName());
        } else if (roll < 80) {
            std::vector<int> choices = ownProjects();
            for (int shared : sharedProjects())
                choices.push_back(shared);
            choices.push_back(0);
            step.insert("kind", "open");
            step.insert("target", choices[pick(int(choices.size()))]);
        } else if (roll < 86) {
            step.insert("kind", "reprice");
        } else {
            std::vector<int> own = ownProjects();
            own.erase(std::remove(own.begin(), own.end(), project), own.end());
            if (own.empty())
                return choose();
            const char* kinds[] = {"rename", "copy", "remove"};
            step.insert("kind", kinds[pick(3)]);
            step.insert("target", own[pick(int(own.size()))]);
            step.insert("name", newName());
        }
        return step;
    }

    // Unique across the runs of one designer: a run after a kill has a seed of its own.
    QString newName() {
        return designerPrefix(m_id) + QStringLiteral("%1.%2").arg(m_seed).arg(m_named++);
    }

    void perform(const QJsonObject& step) {
        const QString kind = step["kind"].toString();
        if (kind == "add") {
            const Product& p = kProducts[step["product"].toInt()];
            SourceRow row;
            row.product = p.key;
            row.price = *Fixed4::parse(QString::fromLatin1(p.price));
            row.itemCode = p.itemCode;
            row.parentId = p.parentId;
            row.unit = QString::fromUtf8(p.unit);
            row.stockLength = Fixed4::fromInt(p.stockLength);
            row.coverCode = p.coverCode;
            Addition a;
            a.source = p.source;
            a.row = row;
            a.coating = 2;
            a.length = Fixed4::fromInt(step["length"].toInt());
            a.withCover = true;
            m_session.add(a);
        } else if (kind == "edit") {
            const Fixed4 kol = Fixed4::fromInt(step["kol"].toInt());
            m_session.setQuantities(step["line"].toInteger(), kol, kol);
        } else if (kind == "delete") {
            m_session.deleteLine(step["line"].toInteger());
        } else if (kind == "save") {
            m_answers.name = step["name"].toString();
            m_session.save();
        } else if (kind == "open") {
            m_session.settleBeforeList();
            m_session.open(step["target"].toInt());
        } else if (kind == "reprice") {
            m_session.reprice();
        } else if (kind == "rename") {
            renameProject(m_store, step["target"].toInt(), step["name"].toString());
        } else if (kind == "copy") {
            copyProject(m_store, step["target"].toInt(), step["name"].toString());
        } else if (kind == "remove") {
            deleteProject(m_store, step["target"].toInt());
        }
    }

    void write(const char* mark, int step, const QJsonObject& body) {
        const QByteArray line = QByteArray(mark) + ' ' + QByteArray::number(step) + ' ' +
                                QJsonDocument(body).toJson(QJsonDocument::Compact) + '\n';
        m_journal.write(line);
    }

    std::unique_ptr<Database> m_db;
    SqlProjectStore m_store;
    Answers m_answers;
    ProjectSession m_session;
    int m_id;
    unsigned m_seed;
    std::mt19937 m_rng;
    QFile m_journal;
    int m_named = 0;
};

}  // namespace

// office-client ADDRESS ID SEED COMMANDS JOURNAL
int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 6)
        return 2;
    try {
        Client client(args[1], args[2].toInt(), args[3].toUInt(), args[5]);
        client.run(args[4].toInt());
    } catch (const StoreError& e) {
        qWarning("%s", qPrintable(e.message()));
        return 1;
    }
    return 0;
}
