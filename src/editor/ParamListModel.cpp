#include "editor/ParamListModel.h"

#include "config/ParamTable.h"
#include "config/TConfig.h"

namespace {

// The phone history keeps numbers long enough to be worth offering again.
constexpr int MinPhoneHistoryLength = 7;

int toIntOrZero(const QString& text) {
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok ? value : 0;
}

} // namespace

ParamListModel::ParamListModel(QObject* parent) : QAbstractTableModel(parent) {}

void ParamListModel::FillList(const TConfig& config) {
    beginResetModel();
    m_lines.clear();
    const quint32 mask = config.Mask();
    for (const TParamDesc* row = ParamTable; row->Name; ++row) {
        if (row->isSeparator()) {
            m_lines.append(Line{});
            continue;
        }
        if (!row->has(mask))
            continue;
        Line line;
        line.row = row;
        line.value = config.GetValue(row->code(), &line.level);
        if (row->Kind == pkChoice) {
            const QStringList choices = row->choices();
            const int i = toIntOrZero(line.value);
            if (i >= 0 && i < choices.size())
                line.value = choices.at(i);
        }
        if (row->has(pfPhone) && line.value.size() >= MinPhoneHistoryLength)
            m_phones.add(line.value);
        m_lines.append(line);
    }
    endResetModel();
}

int ParamListModel::StoreList(TConfig& config, bool onlyAccess) const {
    for (int i = 0; i < m_lines.size(); ++i) {
        const Line& line = m_lines.at(i);
        if (!line.row || line.row->has(pfReadOnly))
            continue;
        const QString code = line.row->code();
        bool ok = false;
        if (onlyAccess) {
            ok = config.SetAccess(code, line.level);
        } else {
            QString value = line.value.trimmed();
            if (line.row->Kind == pkChoice)
                value = QString::number(line.row->choices().indexOf(value));
            ok = config.SetValue(code, value, line.level);
        }
        if (!ok)
            return i;
    }
    return -1;
}

bool ParamListModel::editable(int line) const {
    const TParamDesc* row = rowOf(line);
    return row && levelOf(line) == alEditable && !row->has(pfReadOnly);
}

ParamListModel::EditorSpec ParamListModel::ListEditing(int line) const {
    EditorSpec spec;
    if (!editable(line))
        return spec;
    const TParamDesc* row = rowOf(line);
    spec.allow = true;
    spec.items = row->choices();
    spec.fixedList = !spec.items.isEmpty();
    if (!spec.fixedList && row->has(pfPhone)) {
        for (const QString& phone : m_phones.entries())
            if (phone.size() >= MinPhoneHistoryLength)
                spec.items.append(phone);
    }
    return spec;
}

void ParamListModel::ListEdited(int line) {
    const TParamDesc* row = rowOf(line);
    if (row && row->has(pfPhone) && m_lines.at(line).value.size() >= MinPhoneHistoryLength)
        m_phones.add(m_lines.at(line).value);
}

const TParamDesc* ParamListModel::rowOf(int line) const {
    return line >= 0 && line < m_lines.size() ? m_lines.at(line).row : nullptr;
}

int ParamListModel::levelOf(int line) const {
    return rowOf(line) ? m_lines.at(line).level : 0;
}

void ParamListModel::setLevel(int line, int level) {
    if (!rowOf(line))
        return;
    m_lines[line].level = level;
    emit dataChanged(index(line, ColName), index(line, ColDis));
    emit levelChanged();
}

int ParamListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_lines.size());
}

int ParamListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 3;
}

QVariant ParamListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    const Line& line = m_lines.at(index.row());
    if (!line.row)
        return {};
    switch (index.column()) {
    case ColName:
        return line.row->name();
    case ColVal:
        return line.value;
    case ColDis:
        return line.level;
    default:
        return {};
    }
}

QVariant ParamListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal)
        return {};
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignCenter);
    if (role != Qt::DisplayRole)
        return {};
    switch (section) {
    case ColName:
        return QStringLiteral("Параметр");
    case ColVal:
        return QStringLiteral("Значение");
    default:
        return QString();
    }
}

Qt::ItemFlags ParamListModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags result = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() == ColVal && editable(index.row()))
        result |= Qt::ItemIsEditable;
    return result;
}

bool ParamListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || index.column() != ColVal || role != Qt::EditRole || !rowOf(index.row()))
        return false;
    const QString text = value.toString();
    Line& line = m_lines[index.row()];
    if (line.value == text)
        return true;
    line.value = text;
    emit dataChanged(index, index);
    emit valueEdited();
    return true;
}
