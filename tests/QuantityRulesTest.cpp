#include "specification/QuantityRules.h"

#include <gtest/gtest.h>

namespace {

Fixed4 f(const char* text) {
    return *Fixed4::parse(QString::fromLatin1(text));
}

const QString metres = QStringLiteral("м.п.");
const QString pieces = QStringLiteral("шт.");

}  // namespace

TEST(QuantityRules, TrayAdditionOrdersWholeStockLengths) {
    const struct {
        const char* length;
        const char* stock;
        QString unit;
        const char* surplus;
        std::int64_t pieces;
        const char* order;
    } cases[] = {
        // 3000 mm running-metre tray: 7.5 m, then 1 m, then 2 m on the same line.
        {"7.5", "3000", metres, "0", 3, "9"},
        {"1", "3000", metres, "1.5", 0, "0"},
        {"2", "3000", metres, "0.5", 1, "3"},
        // 6 m fits two lengths exactly, 0.1 m more needs a third.
        {"6", "3000", metres, "0", 2, "6"},
        {"0.1", "3000", metres, "0", 1, "3"},
        // The surplus covers the route exactly, or more than covers it: no new piece.
        {"0.5", "3000", metres, "0.5", 0, "0"},
        {"0.2", "3000", metres, "2.9", 0, "0"},
        {"0.51", "3000", metres, "0.5", 1, "3"},
        // Pieces never use a surplus.
        {"5", "2000", pieces, "0", 3, "3"},
        {"5", "2000", pieces, "1", 3, "3"},
        {"4", "2000", pieces, "0", 2, "2"},
        // No stock length: one piece per add; in running metres that orders nothing.
        {"5", "0", metres, "0", 1, "0"},
        {"5", "0", pieces, "0", 1, "1"},
        {"5", "-1", metres, "0", 1, "0"},
        // A stock length with a fraction of a millimetre is ordered exactly.
        {"1", "2500.5", metres, "0", 1, "2.5005"},
        {"0.0001", "3000", metres, "0", 1, "3"},
    };
    for (const auto& c : cases) {
        const TrayAddition add = trayAddition(f(c.length), f(c.stock), c.unit, f(c.surplus));
        const QString name = QStringLiteral("%1 m of %2 mm %3, surplus %4")
                                 .arg(c.length, c.stock, c.unit, c.surplus);
        EXPECT_EQ(add.pieces, c.pieces) << name.toStdString();
        EXPECT_EQ(add.order.toString(), QString::fromLatin1(c.order)) << name.toStdString();
    }
}

TEST(QuantityRules, SurplusOnlyForRunningMetresInStockLengths) {
    EXPECT_TRUE(usesSurplus(f("3000"), metres));
    EXPECT_FALSE(usesSurplus(f("3000"), pieces));
    EXPECT_FALSE(usesSurplus(f("0"), metres));
    EXPECT_FALSE(usesSurplus(f("3000"), QStringLiteral("м.п")));  // the unit must match exactly
    EXPECT_EQ(lineSurplus(f("9"), f("7.5")).toString(), "1.5");
}

TEST(QuantityRules, OrderForProjectQuantitySetByHand) {
    const struct {
        const char* projectQuantity;
        const char* stock;
        QString unit;
        const char* order;
    } cases[] = {
        {"10", "3000", metres, "12"},  {"10", "3000", pieces, "10"},
        {"3.2", "2000", metres, "4"},  {"4", "2000", metres, "4"},
        {"5", "0", metres, "0"},       {"2.5", "2000", pieces, "2.5"},
        {"7.5", "3000", metres, "9"},  {"0.0001", "3000", metres, "3"},
        {"1.25", "0", pieces, "1.25"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(orderForProjectQuantity(f(c.projectQuantity), f(c.stock), c.unit).toString(),
                  QString::fromLatin1(c.order))
            << c.projectQuantity << " of " << c.stock << " " << c.unit.toStdString();
}
