// The grids' model as Qt's views walk it, flat and as a tree, over every state of its query.
#include "store/Database.h"
#include "store/Query.h"
#include "tests/TestSupport.h"
#include "ui/GridModel.h"

#include <gtest/gtest.h>
#include <QAbstractItemModelTester>
#include <memory>

namespace {

// Two groups with two and one rows under them, and a row whose parent is no row's key.
const QStringList kRows = {
    "create table t (ID integer, parentid integer, Название text, pp numeric)",
    "insert into t values (-1, 0, 'Лотки', 0), (101, -1, 'Лоток 100', 123.45), "
    "(102, -1, 'Лоток 200', 80), (-2, 0, 'Крышки', 0), (201, -2, 'Крышка 100', 55.5), "
    "(301, -9, 'Без группы', 12.3)",
};

// Collects what the model tester reports, so a broken rule fails the test instead of only
// being printed.
class TesterWarnings {
public:
    TesterWarnings() {
        s_seen.clear();
        m_previous = qInstallMessageHandler(
            [](QtMsgType type, const QMessageLogContext&, const QString& text) {
                if (type != QtDebugMsg && type != QtInfoMsg)
                    s_seen << text;
            });
    }
    ~TesterWarnings() { qInstallMessageHandler(m_previous); }
    QStringList seen() const { return s_seen; }

private:
    static inline QStringList s_seen;
    QtMessageHandler m_previous;
};

class GridModelWalk : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        GridColumn name, price;
        name.field = QStringLiteral("Название");
        price.field = QStringLiteral("pp");
        price.twoDecimals = true;
        model.setColumns({name, price});
        if (tree())
            model.setTreeFields(QStringLiteral("ID"), QStringLiteral("parentid"));
        tester = std::make_unique<QAbstractItemModelTester>(
            &model, QAbstractItemModelTester::FailureReportingMode::Warning);
    }
    void TearDown() override { EXPECT_EQ(warnings.seen(), QStringList()); }
    bool tree() const { return GetParam(); }
    void open(const QString& sql) {
        q.close();
        q.setSql(sql);
        q.open();
        model.reload(&q);
    }
    QString text(int row, const QModelIndex& parent = {}) const {
        return model.index(row, 0, parent).data().toString();
    }

    TempStore store{kRows};
    std::unique_ptr<Database> db = Database::open(store.path());
    Query q{*db, QStringLiteral("q")};
    GridModel model;
    TesterWarnings warnings;
    std::unique_ptr<QAbstractItemModelTester> tester;
};

}  // namespace

TEST_P(GridModelWalk, ReloadsOverOpenClosedAndResizedQueries) {
    open("select * from t order by rowid");
    if (tree()) {
        // Groups and the row without a group at the top, each row under its group.
        ASSERT_EQ(model.rowCount(), 3);
        EXPECT_EQ(text(0), "Лотки");
        EXPECT_EQ(text(2), "Без группы");
        const QModelIndex trays = model.index(0, 0);
        ASSERT_EQ(model.rowCount(trays), 2);
        EXPECT_EQ(text(1, trays), "Лоток 200");
        EXPECT_EQ(model.parent(model.index(1, 1, trays)), trays);
        EXPECT_EQ(model.rowCount(model.index(1, 0)), 1);
    } else {
        ASSERT_EQ(model.rowCount(), 6);
        EXPECT_EQ(text(4), "Крышка 100");
        EXPECT_EQ(model.rowCount(model.index(0, 0)), 0);
    }
    for (int recNo = 1; recNo <= 6; ++recNo)
        EXPECT_EQ(model.recNoOf(model.indexOfRecNo(recNo)), recNo);

    // Closed: no rows, and nothing read from the closed query.
    q.close();
    model.reload(&q);
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_FALSE(model.indexOfRecNo(1).isValid());

    // Fewer rows, then more again.
    open("select * from t where ID in (-2, 201)");
    EXPECT_EQ(model.rowCount(), tree() ? 1 : 2);
    EXPECT_FALSE(model.indexOfRecNo(3).isValid());
    open("select * from t order by rowid desc");
    EXPECT_EQ(model.rowCount(), tree() ? 3 : 6);
    EXPECT_EQ(model.recNoOf(model.indexOfRecNo(6)), 6);

    model.reload(nullptr);
    EXPECT_EQ(model.rowCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(Modes, GridModelWalk, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return std::string(info.param ? "Tree" : "Flat");
                         });
