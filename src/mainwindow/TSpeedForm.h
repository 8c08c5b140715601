#pragma once

#include <QPointer>
#include <QWidget>

class QDialog;

// A dialog designed as a panel of the window that uses it. The panel stays hidden; ShowModal builds a real
// dialog window, moves the panel's contents into it, runs it modally, moves the contents back and returns
// the result. The controls stay members of the owning window, so its handlers read and write them before
// and after the dialog, and their values survive from one showing to the next.
class TSpeedForm : public QWidget {
    Q_OBJECT

public:
    enum ModalResult { mrNone = 0, mrOk = 1, mrCancel = 2 };

    explicit TSpeedForm(QWidget* parent = nullptr);
    // Destroying the panel while its dialog runs ends the run with mrCancel.
    ~TSpeedForm() override;

    // Where the designed controls go.
    QWidget* contents() const { return m_contents; }

    void setCaption(const QString& caption) { m_caption = caption; }

    // 1 for OK, 2 for Cancel or a close by the window frame; 0 when the dialog is already showing.
    int ShowModal();
    // Keeps the value and, while the dialog runs, ends the run with it.
    void SetModalResult(int value);
    // The result of the last run (-1 while a run has not ended).
    int ModalResult() const { return m_modalResult; }
    // The dialog window while it runs, null otherwise.
    QDialog* dialog() const { return m_dialog; }

private:
    QWidget* m_contents;
    QPointer<QDialog> m_dialog;
    QString m_caption;
    int m_modalResult = mrNone;
};
