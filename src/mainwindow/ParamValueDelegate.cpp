#include "mainwindow/ParamValueDelegate.h"

#include "editor/ParamListModel.h"

#include <QComboBox>

ParamValueDelegate::ParamValueDelegate(ParamListModel* model, QObject* parent)
    : QStyledItemDelegate(parent), m_model(model) {
    // The view deletes a closed editor later; from the moment it is closed it is no longer open.
    connect(this, &QAbstractItemDelegate::closeEditor, this, [this](QWidget* editor) {
        if (editor == m_editor)
            m_editor = nullptr;
    });
}

void ParamValueDelegate::closeOpenEditor() {
    if (!m_editor)
        return;
    QWidget* editor = m_editor;
    emit commitData(editor);
    emit closeEditor(editor);
}

QWidget* ParamValueDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                          const QModelIndex& index) const {
    if (index.column() != ParamListModel::ColVal)
        return nullptr;
    const ParamListModel::EditorSpec spec = m_model->ListEditing(index.row());
    if (!spec.allow)
        return nullptr;
    auto* combo = new QComboBox(parent);
    combo->setEditable(!spec.fixedList);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->addItems(spec.items);
    auto* self = const_cast<ParamValueDelegate*>(this);
    // Every change reaches the cell at once, so the window learns of it while the editor is still open.
    if (spec.fixedList)
        connect(combo, &QComboBox::currentIndexChanged, self, [self, combo] { emit self->commitData(combo); });
    else
        connect(combo, &QComboBox::editTextChanged, self, [self, combo] { emit self->commitData(combo); });
    m_editor = combo;
    return combo;
}

void ParamValueDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    auto* combo = static_cast<QComboBox*>(editor);
    const QString value = index.data(Qt::EditRole).toString();
    const QSignalBlocker blocker(combo);
    if (combo->isEditable())
        combo->setEditText(value);
    else
        combo->setCurrentIndex(combo->findText(value));
}

void ParamValueDelegate::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const {
    auto* combo = static_cast<QComboBox*>(editor);
    // A fixed list without a choice (a stored value outside the list) keeps the cell as it is.
    if (!combo->isEditable() && combo->currentIndex() < 0)
        return;
    model->setData(index, combo->currentText(), Qt::EditRole);
}

void ParamValueDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    QStyleOptionViewItem opt(option);
    ListCustomDrawCell(opt, index);
    QStyledItemDelegate::paint(painter, opt, index);
}

void ParamValueDelegate::ListCustomDrawCell(QStyleOptionViewItem& option, const QModelIndex& index) const {
    // Restricted lines are gray whether selected or not; the others keep black on white and white on the
    // selection.
    const bool restricted = m_model->levelOf(index.row()) != 0;
    const QColor text = restricted ? QColor(128, 128, 128) : QColor(Qt::black);
    const QColor selected = restricted ? QColor(128, 128, 128) : QColor(Qt::white);
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        option.palette.setColor(group, QPalette::Text, text);
        option.palette.setColor(group, QPalette::HighlightedText, group == QPalette::Active ? selected : text);
    }
}
