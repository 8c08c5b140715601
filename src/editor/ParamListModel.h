#pragma once

#include "editor/PhoneHistory.h"

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>

struct TParamDesc;
class TConfig;

// The lines of the parameter tree: one per catalogue row of the configuration's generation, in catalogue
// order, with a blank line where the catalogue has a separator. The cells hold the edits until StoreList
// puts them back into the configuration. Columns: the caption, the value as shown, the access level.
class ParamListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { ColName = 0, ColVal = 1, ColDis = 2 };

    // How the value editor of a line opens: refused, a fixed list of the choice texts, or free text with a
    // drop-down list (the phone history for phone parameters).
    struct EditorSpec {
        bool allow = false;
        bool fixedList = false;
        QStringList items;
    };

    explicit ParamListModel(QObject* parent = nullptr);

    // Rebuilds every line from the configuration; values of phone parameters enter the phone history.
    void FillList(const TConfig& config);
    // Stores the levels (and, without onlyAccess, the values) of the editable lines into the configuration
    // in order; the index of the first line it refuses, or -1 when every line was taken. Lines before the
    // refused one stay stored.
    int StoreList(TConfig& config, bool onlyAccess) const;

    EditorSpec ListEditing(int line) const;
    // A finished edit of a phone parameter of 7 characters or more enters the phone history.
    void ListEdited(int line);

    // The catalogue row of a line; null for a separator.
    const TParamDesc* rowOf(int line) const;
    // The level cell as an integer, 0 for a separator.
    int levelOf(int line) const;
    void setLevel(int line, int level);

    PhoneHistory& phones() { return m_phones; }
    const PhoneHistory& phones() const { return m_phones; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

signals:
    // A value cell was changed through the editor.
    void valueEdited();
    // A level cell was changed.
    void levelChanged();

private:
    // A parameter line at level 0 whose value may be edited.
    bool editable(int line) const;

    struct Line {
        const TParamDesc* row = nullptr;
        QString value;
        int level = 0;
    };

    QList<Line> m_lines;
    PhoneHistory m_phones;
};
