#include "mainwindow/FileDialogChooser.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace {

// The platform's own dialogs refuse a file in a missing folder; Qt's dialog does not, so it is checked here
// before the dialog closes.
class ConfFileDialog : public QFileDialog {
public:
    using QFileDialog::QFileDialog;

    void accept() override {
        const QStringList files = selectedFiles();
        if (acceptMode() == AcceptSave && !files.isEmpty()) {
            const QDir folder = QFileInfo(files.constFirst()).absoluteDir();
            if (!folder.exists()) {
                QMessageBox::warning(this, windowTitle(),
                                     QStringLiteral("Папка не существует:\n") +
                                         QDir::toNativeSeparators(folder.absolutePath()));
                return;
            }
        }
        QFileDialog::accept();
    }
};

QString choose(QWidget* parent, const FileChooser::Request& request, QFileDialog::AcceptMode mode) {
    ConfFileDialog dialog(parent);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setWindowTitle(mode == QFileDialog::AcceptOpen ? QStringLiteral("Открыть")
                                                          : QStringLiteral("Сохранить как"));
    dialog.setDefaultSuffix(request.defaultSuffix);
    dialog.setNameFilters(request.filters);
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.selectedFiles().value(0);
}

} // namespace

QString FileDialogChooser::openFileName(const Request& request) {
    return choose(m_parent, request, QFileDialog::AcceptOpen);
}

QString FileDialogChooser::saveFileName(const Request& request) {
    return choose(m_parent, request, QFileDialog::AcceptSave);
}
