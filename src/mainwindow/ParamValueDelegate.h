#pragma once

#include <QPointer>
#include <QStyledItemDelegate>

class ParamListModel;

// The value editor of the parameter tree, a combo box set up for the line by ParamListModel::ListEditing,
// whose every change reaches the cell at once; and the drawing of restricted lines in gray.
class ParamValueDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    ParamValueDelegate(ParamListModel* model, QObject* parent = nullptr);

    // The open editor, null when none is open.
    QWidget* editor() const { return m_editor; }
    // Stores and closes the open editor, if any.
    void closeOpenEditor();

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    // The font colour of a cell by its line's access level.
    void ListCustomDrawCell(QStyleOptionViewItem& option, const QModelIndex& index) const;

    ParamListModel* m_model;
    mutable QPointer<QWidget> m_editor;
};
