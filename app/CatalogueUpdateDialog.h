#pragma once

#include <QDialog>
#include <QTemporaryDir>
#include <memory>
#include <optional>

class Database;
class PriceListUpdate;
class PriceReportTable;
class QLabel;
class QProgressBar;
class QPushButton;
class StoreMaker;

// A new price list from the window: an Access list is first converted by ulmar-tool in a child
// process (with a progress bar and «Отмена»), then the report shows what the list changes in
// every project before anything is written; «Обновить» replaces the catalogue in one
// transaction, keeping the old one in the store. It closes accepted once the catalogue is
// replaced; the store is left as it was otherwise.
class CatalogueUpdateDialog : public QDialog {
    Q_OBJECT
public:
    CatalogueUpdateDialog(Database& db, const QString& source, const QString& tool,
                          QWidget* parent = nullptr);
    ~CatalogueUpdateDialog() override;

    // Starts the conversion or reads the list; call once before showing.
    void start();
    // What went wrong, as shown; empty when nothing did.
    QString failure() const;

    // Esc and the close button cancel a conversion still going.
    void reject() override;

    PriceReportTable* report;
    QPushButton* updateButton;
    QPushButton* saveButton;
    QPushButton* printButton;
    QPushButton* cancelButton;

private:
    void converted(const QString& failure);
    void readList(const QString& store);
    void showFailure(const QString& text);
    void takeList();
    void saveReport();
    void printReport();

    Database& m_db;
    QString m_tool;
    QString m_source;
    StoreMaker* m_maker = nullptr;
    std::optional<QTemporaryDir> m_converted;
    std::unique_ptr<PriceListUpdate> m_update;
    QString m_risk;
    QLabel* m_doing;
    QProgressBar* m_progress;
    QLabel* m_summary;
    QLabel* m_failure;
};
