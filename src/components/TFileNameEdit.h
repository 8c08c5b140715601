#pragma once

#include <QFileDialog>
#include <QStringList>
#include <QWidget>

#include <memory>

class QLineEdit;
class QToolButton;
namespace Ui {
class TFileNameEdit;
}

enum TFileEditType { feOpen, feSave };

// A one-line file name edit with a browse button that opens a file dialog on the current name.
class TFileNameEdit : public QWidget {
    Q_OBJECT

public:
    explicit TFileNameEdit(QWidget* parent = nullptr);
    ~TFileNameEdit() override;

    // The text of the edit, read and written directly.
    QString FileName() const;
    void setFileName(const QString& name);

    // File types, one per line as description "=" mask, e.g. "Все файлы (*.*)=*.*".
    const QStringList& Filter() const { return m_filter; }
    void setFilter(const QStringList& lines) { m_filter = lines; }
    // The filters as the dialog takes them, in the order of Filter().
    QStringList dialogFilters() const;

    // The file type selected when the dialog opens (0 and 1 both mean the first).
    int FilterIndex() const { return m_filterIndex; }
    void setFilterIndex(int index) { m_filterIndex = index; }
    QString Title() const { return m_title; }
    void setTitle(const QString& title) { m_title = title; }
    QFileDialog::Options Options() const { return m_options; }
    void setOptions(QFileDialog::Options options) { m_options = options; }
    TFileEditType FileEditType() const { return m_fileEditType; }
    void setFileEditType(TFileEditType type) { m_fileEditType = type; }

    QLineEdit* Edit() const;
    QToolButton* BtOpen() const;

public slots:
    // Opens the dialog; a confirmed choice replaces the file name, anything else keeps it.
    void BtOpenClick();

private:
    std::unique_ptr<Ui::TFileNameEdit> m_ui;
    QStringList m_filter{QStringLiteral("Все файлы (*.*)=*.*")};
    int m_filterIndex = 0;
    QString m_title;
    QFileDialog::Options m_options;
    TFileEditType m_fileEditType = feOpen;
};
