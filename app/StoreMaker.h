#pragma once

#include <QObject>
#include <QProcess>
#include <QString>

// Makes the store of a folder that has none, with ulmar-tool in a child process. The tool
// writes the store beside its place and renames it there in one step, and an interrupted tool
// removes what it had written, so a failed or cancelled run leaves the folder as it was.
class StoreMaker : public QObject {
    Q_OBJECT
public:
    // tool: the ulmar-tool to run; folder: where base.mdb is to be.
    StoreMaker(const QString& tool, const QString& folder, QObject* parent = nullptr);
    // Cancels a run still going.
    ~StoreMaker() override;

    void makeDemo();
    // source: a maker's Access catalogue (.mdb).
    void importAccess(const QString& source);
    // Stops the run; the folder is left as it was. Returns when the tool has ended.
    void cancel();
    bool isRunning() const { return m_process.state() != QProcess::NotRunning; }

signals:
    // Emitted once per run; failure, a Russian sentence for the user, is empty when the store
    // is made.
    void finished(const QString& failure);

private:
    void start(const QStringList& args);
    void toolEnded(int code, QProcess::ExitStatus status);

    QString m_tool;
    QString m_folder;
    QString m_target;
    QProcess m_process;
    bool m_cancelled = false;
};

// The ulmar-tool beside the program; in a build folder, the one the build made.
QString companionToolPath();
