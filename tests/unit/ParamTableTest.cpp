#include "config/ParamTable.h"
#include "QtPrinters.h"

#include <gtest/gtest.h>

#include <QSet>

namespace {

int rowOf(const TParamDesc* row) {
    return row ? int(row - ParamTable) : -1;
}

QList<int> separatorRows() {
    QList<int> rows;
    for (int i = 0; ParamTable[i].Name; ++i) {
        if (ParamTable[i].isSeparator())
            rows.append(i);
    }
    return rows;
}

} // namespace

TEST(ParamTable, HasEightySevenRowsThenTheTerminatingRecord) {
    int rows = 0;
    while (ParamTable[rows].Name)
        ++rows;
    EXPECT_EQ(ParamTableRows, rows);
    EXPECT_EQ(nullptr, ParamTable[rows].Code);
    EXPECT_EQ(0u, ParamTable[rows].Flags);
}

TEST(ParamTable, SeparatorsStandWhereTheTreeExpectsBlankLines) {
    EXPECT_EQ(QList<int>({30, 40, 50, 53, 63, 77, 82}), separatorRows());
    for (int i : separatorRows()) {
        const TParamDesc& row = ParamTable[i];
        EXPECT_EQ(nullptr, row.Code) << i;
        EXPECT_EQ(0u, row.Flags) << i;
        EXPECT_EQ(0, row.Size + row.Kind + row.Block + row.Offset + row.MinVersion) << i;
    }
}

TEST(ParamTable, CodesAreUniqueAndNoneIsThePrefixOfAnEarlierOneWithinAGeneration) {
    for (const auto& [mask, expectedRows] : {std::pair{quint32(pfGen1), 43}, std::pair{quint32(pfGen2), 51}}) {
        QStringList codes;
        for (const TParamDesc* row = ParamTable; row->Name; ++row) {
            if (!(row->Flags & mask))
                continue;
            const QString code = row->code();
            ASSERT_FALSE(code.isEmpty()) << rowOf(row);
            for (const QString& earlier : codes)
                EXPECT_FALSE(earlier.startsWith(code) || code.startsWith(earlier)) << qPrintable(code);
            codes.append(code);
            // A full code with index 0 finds its own row.
            EXPECT_EQ(rowOf(row), rowOf(FindParam(mask, code, 0))) << qPrintable(code);
        }
        EXPECT_EQ(expectedRows, codes.size());
    }
}

TEST(ParamTable, NamesAndFlagsThatOtherFormsDependOn) {
    EXPECT_EQ(QString("Вызывной тон на УОО "), ParamTable[51].name());
    EXPECT_EQ(ParamTable[48].name(), ParamTable[49].name());
    EXPECT_EQ(38, ParamTable[75].choices().size());
    EXPECT_EQ(QString("100"), ParamTable[75].choices().first());
    EXPECT_EQ(QString("163"), ParamTable[75].choices().last());
    EXPECT_EQ(QStringList({"Нет", "Да"}), ParamTable[6].choices());
    EXPECT_TRUE(ParamTable[15].has(pfInvert));
    EXPECT_TRUE(ParamTable[62].has(pfHours));
    EXPECT_TRUE(ParamTable[23].has(pfMax99));
    EXPECT_TRUE(ParamTable[48].has(pfApn));
    for (int row : {83, 84, 85, 86})
        EXPECT_TRUE(ParamTable[row].has(pfReadOnly)) << row;
    for (int row : {26, 27, 28, 29})
        EXPECT_TRUE(ParamTable[row].has(pfBit)) << row;
    EXPECT_EQ(pbSimByte, ParamTable[81].Block);
    EXPECT_EQ(0, ParamTable[81].Size);
}

TEST(ParamTable, FindParam) {
    const struct {
        quint32 mask;
        const char* code;
        int index;
        int row;
    } cases[] = {
        {pfGen2, "M23", 0, 26},   {pfGen2, "M23", 4, 29}, {pfGen2, "M23", 5, -1}, {pfGen1, "M06", 0, -1},
        {pfGen2, "M06", 0, 2},    {pfGen2, "M06", 3, 4},  {pfGen1, "M01", 0, 6},  {pfGen2, "M01", 2, 9},
        {pfGen2, "$22", 0, -1},   {pfGen1, "$22", 0, 81}, {pfGen1, "", 0, -1},    {pfGen2, "m06-1", 0, -1},
        {pfGen1, "APN", 0, -1},   {pfGen1, "$28", 0, 48}, {pfGen2, "G03", 0, 49}, {pfGen2, "#", 0, 84},
        {pfGen2, "M06-1", 1, -1}, {pfGen1, "S03", 0, 44},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.row, rowOf(FindParam(c.mask, QString::fromUtf8(c.code), c.index))) << c.code << " " << c.index;
}
