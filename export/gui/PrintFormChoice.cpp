#include "export/gui/PrintFormChoice.h"

#include "export/gui/GostLayout.h"
#include "export/gui/PrintLayout.h"

#include <QComboBox>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QToolBar>

PrintFormChoice::PrintFormChoice(QPrintPreviewDialog& preview, QPrinter& printer)
    : QObject(&preview), m_choice(new QComboBox(&preview)) {
    m_choice->setObjectName(QStringLiteral("printForm"));
    m_choice->addItems({QStringLiteral("Прайс (с ценами)"), QStringLiteral("Форма ГОСТ 21.110")});
    if (auto* toolBar = preview.findChild<QToolBar*>()) {
        toolBar->addSeparator();
        toolBar->addWidget(m_choice);
    }
    connect(m_choice, &QComboBox::currentIndexChanged, this, [this, &preview, &printer] {
        printer.setPageLayout(gost() ? gostPageLayout(GostPaper::A3) : printPageLayout());
        if (auto* pages = preview.findChild<QPrintPreviewWidget*>())
            pages->updatePreview();
    });
}

bool PrintFormChoice::gost() const {
    return m_choice->currentIndex() == 1;
}
