// The usage of every ulmar-tool command: its --help, the line after a mistake, the manual page
// and the README's table tell the same.
#include "tests/TestSupport.h"

#include <gtest/gtest.h>
#include <QRegularExpression>

namespace {

TEST(ToolUsage, EveryCommandIsToldAlikeEverywhere) {
    const ToolRun list = runTool({QStringLiteral("--help")});
    ASSERT_EQ(list.exitCode, 0) << describe(list);
    const QString manual = QString::fromUtf8(
        readFile(fixturesDir() + QStringLiteral("/../../resources/ulmar-tool.1")));
    const QString readme =
        QString::fromUtf8(readFile(fixturesDir() + QStringLiteral("/../../README.md")));
    ASSERT_FALSE(manual.isEmpty());

    static const QRegularExpression line(QStringLiteral("^  (ulmar-tool (\\S+).*)$"),
                                         QRegularExpression::MultilineOption);
    QStringList commands;
    for (auto it = line.globalMatch(list.out); it.hasNext();) {
        const auto m = it.next();
        const QString synopsis = m.captured(1);
        const QString command = m.captured(2);
        SCOPED_TRACE(command.toStdString());
        commands << command;

        const ToolRun help = runTool({command, QStringLiteral("--help")});
        EXPECT_EQ(help.exitCode, 0) << describe(help);
        EXPECT_TRUE(help.out.startsWith(QStringLiteral("Использование: ") + synopsis + '\n'))
            << describe(help);
        EXPECT_TRUE(help.out.contains(QStringLiteral("Код выхода:"))) << describe(help);

        const ToolRun wrong = runTool({command, QStringLiteral("--no-such-option")});
        EXPECT_EQ(wrong.exitCode, 2) << describe(wrong);
        EXPECT_TRUE(wrong.err.contains(QStringLiteral("Использование: ") + synopsis))
            << describe(wrong);

        // In the manual page each command has a paragraph of its own that opens with its name.
        EXPECT_TRUE(manual.contains(QStringLiteral(".B ") + command + '\n') ||
                    manual.contains(QStringLiteral(".B ") + command + ' '))
            << "not in the manual page";
        EXPECT_TRUE(readme.contains('`' + synopsis + '`')) << "not in the README";
    }
    EXPECT_EQ(commands, QStringList({"demo-db", "export", "import-mdb", "pdf", "update-catalogue",
                                     "reprice"}));

    const ToolRun unknown = runTool({QStringLiteral("export-all")});
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_TRUE(unknown.err.startsWith(QStringLiteral("Неизвестная команда export-all.")))
        << describe(unknown);
}

}  // namespace
