#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;
class StoreMaker;

// The window of a first start: the folder has no store yet, and the user makes one here,
// with the demo catalogue or from the maker's Access catalogue, or leaves. It closes accepted
// once the store is made.
class FirstStartDialog : public QDialog {
    Q_OBJECT
public:
    // folder: where base.mdb is to be; tool: the ulmar-tool that makes it.
    FirstStartDialog(const QString& folder, const QString& tool, QWidget* parent = nullptr);

    // Converts the Access catalogue at source; the button asks for the file and calls this.
    void importCatalogue(const QString& source);
    // What went wrong last, as shown; empty when nothing did.
    QString failure() const;

    // Esc and the window's close button cancel a run rather than leave it going.
    void reject() override;

private:
    void begin(const QString& doing);
    // While the tool runs only «Отмена» can be pressed, under the progress bar.
    void setRunning(bool running);
    void runEnded(const QString& failure);

    StoreMaker* m_maker;
    QPushButton* m_demo;
    QPushButton* m_import;
    QPushButton* m_exit;
    QLabel* m_doing;
    QProgressBar* m_progress;
    QPushButton* m_cancel;
    QLabel* m_failure;
};

// Where the store at path is missing, shows the first start window. True when there is a store
// to open now (it was there, or the user made one), false when the user left.
bool ensureStore(const QString& path);
