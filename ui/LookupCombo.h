#pragma once

#include <QComboBox>
#include <QVariant>

class Query;

// A lookup list over an open query: shows one field, keeps another as the key. A key that
// matches no row leaves the list showing no choice.
class LookupCombo : public QComboBox {
    Q_OBJECT
public:
    explicit LookupCombo(QWidget* parent = nullptr);

    void setFields(const QString& keyField, const QString& displayField);
    void reload(const Query* query);  // takes the rows as they stand; keeps the key if present
    // The chosen key; the key last given when nothing is chosen.
    int keyValue() const;
    void setKeyValue(int key);

signals:
    void chosen();  // the user picked an entry
    void focusEntered();
    void focusLeft();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    QString m_keyField;
    QString m_displayField;
    int m_key = 0;
};
