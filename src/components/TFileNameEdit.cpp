#include "components/TFileNameEdit.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QStyle>
#include <QToolButton>

TFileNameEdit::TFileNameEdit(QWidget* parent)
    : QWidget(parent), m_edit(new QLineEdit(this)), m_btOpen(new QToolButton(this)) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_edit, 1);
    layout->addWidget(m_btOpen);
    m_btOpen->setFixedSize(23, 23);
    m_btOpen->setIconSize(QSize(16, 16));
    m_btOpen->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    m_btOpen->setToolTip(QStringLiteral("Выбор файла"));
    connect(m_btOpen, &QToolButton::clicked, this, &TFileNameEdit::BtOpenClick);
    resize(391, 23);
}

QString TFileNameEdit::FileName() const {
    return m_edit->text();
}

void TFileNameEdit::setFileName(const QString& name) {
    m_edit->setText(name);
}

QStringList TFileNameEdit::dialogFilters() const {
    QStringList filters;
    for (const QString& line : m_filter) {
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        const QString description = eq < 0 ? line : line.left(eq);
        const QString mask = eq < 0 ? QString() : line.mid(eq + 1);
        // The dialog reads the masks from the last parentheses of an entry; most descriptions already end
        // with them.
        const QString masks = QString(mask).replace(QLatin1Char(';'), QLatin1Char(' '));
        filters.append(description.endsWith(QLatin1Char(')')) || masks.isEmpty()
                           ? description
                           : description + QStringLiteral(" (") + masks + QLatin1Char(')'));
    }
    return filters;
}

void TFileNameEdit::BtOpenClick() {
    QFileDialog dialog(this, m_title);
    dialog.setOptions(m_options);
    dialog.setAcceptMode(m_fileEditType == feSave ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(m_fileEditType == feSave ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    const QStringList filters = dialogFilters();
    dialog.setNameFilters(filters);
    if (!filters.isEmpty())
        dialog.selectNameFilter(filters.at(qBound(0, m_filterIndex - 1, int(filters.size()) - 1)));
    if (!FileName().isEmpty())
        dialog.selectFile(FileName());
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        setFileName(QDir::toNativeSeparators(dialog.selectedFiles().constFirst()));
}
