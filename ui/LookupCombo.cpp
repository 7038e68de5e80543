#include "ui/LookupCombo.h"

#include "store/Query.h"

LookupCombo::LookupCombo(QWidget* parent) : QComboBox(parent) {
    setMaxVisibleItems(20);
    setEditable(false);
    // A field of the window colour with a drop-down button, as a lookup list is drawn; flat, so
    // that the focus colour fills it whole. The dropped-down list marks its current entry in the
    // selection colours: the field's own background would paint it over blank.
    setStyleSheet(QStringLiteral(
        "QComboBox { background-color: palette(base); border: 1px solid palette(mid); "
        "border-radius: 2px; padding: 1px 4px; selection-background-color: palette(highlight); "
        "selection-color: palette(highlighted-text); }"));
    connect(this, QOverload<int>::of(&QComboBox::activated), this, [this](int index) {
        m_key = itemData(index).toInt();
        emit chosen();
    });
}

void LookupCombo::setFields(const QString& keyField, const QString& displayField) {
    m_keyField = keyField;
    m_displayField = displayField;
}

void LookupCombo::reload(const Query* query) {
    const QSignalBlocker blocker(this);
    clear();
    if (query && query->isOpen()) {
        const int key = query->columnIndex(m_keyField);
        const int shown = query->columnIndex(m_displayField);
        for (int r = 0; r < query->recordCount() && key >= 0 && shown >= 0; ++r)
            addItem(query->value(r, shown).toText(), int(query->value(r, key).toInt()));
    }
    setKeyValue(m_key);
}

int LookupCombo::keyValue() const {
    return m_key;
}

void LookupCombo::setKeyValue(int key) {
    const QSignalBlocker blocker(this);
    m_key = key;
    setCurrentIndex(findData(key));
}

void LookupCombo::focusInEvent(QFocusEvent* event) {
    QComboBox::focusInEvent(event);
    emit focusEntered();
}

void LookupCombo::focusOutEvent(QFocusEvent* event) {
    QComboBox::focusOutEvent(event);
    emit focusLeft();
}
