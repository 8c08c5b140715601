#include "mainwindow/TSpeedForm.h"

#include <QDialog>
#include <QVBoxLayout>

namespace {

// Closing by the window frame or with Escape is a cancel, as a dialog's Cancel button would give.
class SpeedDialog : public QDialog {
public:
    using QDialog::QDialog;
    void reject() override { done(TSpeedForm::mrCancel); }
};

} // namespace

TSpeedForm::TSpeedForm(QWidget* parent) : QWidget(parent), m_contents(new QWidget(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_contents);
    hide();
}

TSpeedForm::~TSpeedForm() {
    if (m_dialog) {
        // The contents live in the dialog while it runs; they belong to the panel and go with it.
        delete m_contents;
        m_dialog->done(mrCancel);
    }
}

int TSpeedForm::ShowModal() {
    if (m_dialog)
        return mrNone;
    m_modalResult = -1;

    // The dialog is a child of the owning window so that it opens centred on it; that window may destroy it
    // (and this panel) during the run, hence the guards.
    QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr;
    const QPointer<QDialog> dialog = new SpeedDialog(owner);
    dialog->setWindowTitle(m_caption);
    // A window does not take its owner's font by itself; the panel's controls keep the one they were designed in.
    dialog->setFont(font());
    auto* layout = new QVBoxLayout(dialog);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_contents);
    m_contents->show();
    m_dialog = dialog;

    const QPointer<TSpeedForm> alive(this);
    const int result = dialog->exec();
    if (!alive) {
        delete dialog.data();
        return mrCancel;
    }
    m_dialog = nullptr;
    static_cast<QVBoxLayout*>(this->layout())->addWidget(m_contents);
    delete dialog.data();
    m_modalResult = result;
    return result;
}

void TSpeedForm::SetModalResult(int value) {
    m_modalResult = value;
    if (m_dialog)
        m_dialog->done(value);
}
