#include "components/TFileNameEdit.h"

#include "ui_TFileNameEdit.h"

#include <QStyle>

TFileNameEdit::TFileNameEdit(QWidget* parent) : QWidget(parent), m_ui(std::make_unique<Ui::TFileNameEdit>()) {
    m_ui->setupUi(this);
    m_ui->BtOpen->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    connect(m_ui->BtOpen, &QToolButton::clicked, this, &TFileNameEdit::BtOpenClick);
}

TFileNameEdit::~TFileNameEdit() = default;

QString TFileNameEdit::FileName() const {
    return m_ui->Edit->text();
}

void TFileNameEdit::setFileName(const QString& name) {
    m_ui->Edit->setText(name);
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

QLineEdit* TFileNameEdit::Edit() const {
    return m_ui->Edit;
}

QToolButton* TFileNameEdit::BtOpen() const {
    return m_ui->BtOpen;
}
