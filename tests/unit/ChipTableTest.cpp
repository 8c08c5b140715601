#include "avrloader/IniStore.h"
#include "avrloader/TAVRLoader.h"
#include "platform/QtSerialPort.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

namespace {

struct ChipFacts {
    TChipType type;
    const char* section;
    int type2;
    int sizeFlash;
    int sizeEEPROM;
    int pages;
    const char* signature;
};

TEST(ChipTable, SelectsTheSectionOfEveryChipType) {
    // One row per family, the irregular rows included: MEGA48's 4098 bytes, the 89S and 17C rows without
    // signature or flash, and the rows after the MEGA644P section, which no chip type selects.
    const ChipFacts chips[] = {
        {ct90S1200, "90S1200", 0x53, 1024, 64, 0, "1E9001"},
        {ctMEGA328P, "MEGA328P", 0x77, 32768, 1024, 255, "1E950F"},
        {ctMEGA328, "MEGA328", 0x77, 32768, 1024, 255, "1E9514"},
        {ctMEGA8, "MEGA8", 0x77, 8192, 512, 127, "1E9307"},
        {ctMEGA168, "MEGA168", 0x77, 16384, 512, 127, "1E9406"},
        {ctMEGA48, "MEGA48", 0x77, 4098, 256, 63, "1E9205"},
        {ctMEGA2561, "MEGA2561", 0x77, 262144, 4096, 1023, "1E9802"},
        {ctTINY15L, "TINY15L", 0x57, 1024, 64, 0, "1E9006"},
        {ct89S8252, "89S8252", 0x19, 8192, 2048, 0, "0"},
        {ct89S52, "89S52", 0x1B, 8192, 0, 0, "1E5206"},
        {ct17C65, "17C65", 0, 0, 8192, 63, "0"},
        {ct17C002, "17C002", 0, 0, 262144, 255, "0"},
        {ctMEGA644, "MEGA644", 0x77, 65536, 2048, 255, "1E9609"},
        {ctTINY167, "TINY167", 0x77, 16384, 512, 127, "1E9487"},
        {ctMEGA1284P, "MEGA1284P", 0x77, 131072, 4096, 511, "1E9705"},
    };
    TAVRLoader loader(std::make_unique<QtSerialPort>());
    for (const ChipFacts& chip : chips) {
        loader.SetChipType(chip.type);
        EXPECT_EQ(loader.ChipType(), chip.type) << chip.section;
        EXPECT_EQ(loader.SectionName(), QString::fromLatin1(chip.section));
        EXPECT_EQ(loader.Type2(), chip.type2) << chip.section;
        EXPECT_EQ(loader.GetSizeFlash(), chip.sizeFlash) << chip.section;
        EXPECT_EQ(loader.GetSizeEEPROM(), chip.sizeEEPROM) << chip.section;
        EXPECT_EQ(loader.GetPages(), chip.pages) << chip.section;
        EXPECT_EQ(loader.GetSignatureTemplate(), QString::fromLatin1(chip.signature));
    }
    for (int type = ct90S1200; type < ctLast; ++type) {
        loader.SetChipType(TChipType(type));
        EXPECT_EQ(loader.ChipType(), TChipType(type)) << "no section for chip type " << type;
        EXPECT_EQ(loader.SectionName(), TAVRLoader::GetSectionName(TChipType(type)));
    }
}

TEST(ChipTable, ReadsFusePositions) {
    TAVRLoader loader(std::make_unique<QtSerialPort>());
    loader.SetChipType(ctMEGA328P);
    EXPECT_EQ(loader.GetFuseNum(QStringLiteral("BLB12")), 0x35);
    EXPECT_EQ(loader.GetFuseNum(QStringLiteral("CKSEL0")), 0x00);
    EXPECT_EQ(loader.GetFuseNum(QStringLiteral("BODLEV2")), 0x22);
    EXPECT_EQ(loader.GetFuseNum(QStringLiteral("BODEN")), -1);
    loader.SetChipType(ctMEGA8);
    EXPECT_EQ(loader.GetSizeFlash() / (loader.GetPages() + 1), 64);
    EXPECT_EQ(loader.GetFuseNum(QStringLiteral("CKOPT")), 0x14);
    loader.SetChipType(ctMEGA162);
    EXPECT_EQ(loader.GetFuseNum(QStringLiteral("BODLEV2")), 0x23);
    EXPECT_EQ(loader.GetFuseNum(QStringLiteral("M161C")), 0x24);
}

TEST(ChipTable, UnknownChipHasNothing) {
    TAVRLoader loader(std::make_unique<QtSerialPort>());
    loader.SetChipType(ctMEGA328P);
    loader.SetChipType(ctUnknown);
    EXPECT_EQ(loader.ChipType(), ctUnknown);
    EXPECT_EQ(loader.SectionName(), QString());
    EXPECT_EQ(loader.Type2(), 0);
    EXPECT_EQ(loader.GetSizeFlash(), 0);
    EXPECT_EQ(loader.GetSizeEEPROM(), 0);
    EXPECT_EQ(loader.GetPages(), 0);
    EXPECT_EQ(loader.GetSignatureTemplate(), QString());
    EXPECT_EQ(loader.GetFuseNum(QStringLiteral("CKSEL0")), -1);
    EXPECT_EQ(TAVRLoader::GetSectionName(ctUnknown), QStringLiteral("Неизвестно"));
    EXPECT_EQ(TAVRLoader::GetSectionName(ctLast), QString());
    loader.SetChipType(ctLast);
    EXPECT_EQ(loader.ChipType(), ctUnknown);
}

TEST(ChipTable, NamesFuseItems) {
    EXPECT_EQ(TAVRLoader::GetFuseName(fFSTRT), QStringLiteral("FSTRT"));
    EXPECT_EQ(TAVRLoader::GetFuseName(fBLB12), QStringLiteral("BLB12"));
    EXPECT_EQ(TAVRLoader::GetFuseName(fSELFPRGEN), QStringLiteral("SELFPRGEN"));
    EXPECT_EQ(TAVRLoader::GetFuseName(fEND), QString());
}

TEST(IniStore, ReadsValuesAfterBlanksInBothNumberForms) {
    IniStore store;
    store.setLines({"[MEGA328P]\r", "Type=   64", "SIGN=   1E950F", "CKSEL0= 0x00", "BLB12=0x35", "", "[Other]",
                    "SIZEF=4098", "BAD=12x"});
    EXPECT_TRUE(store.sectionExists(QStringLiteral("MEGA328P")));
    EXPECT_FALSE(store.sectionExists(QStringLiteral("MEGA8")));
    EXPECT_EQ(store.readString(QStringLiteral("MEGA328P"), QStringLiteral("SIGN"), QStringLiteral("0")),
              QStringLiteral("1E950F"));
    EXPECT_EQ(store.readInteger(QStringLiteral("MEGA328P"), QStringLiteral("Type"), 0), 64);
    EXPECT_EQ(store.readInteger(QStringLiteral("MEGA328P"), QStringLiteral("CKSEL0"), -1), 0);
    EXPECT_EQ(store.readInteger(QStringLiteral("MEGA328P"), QStringLiteral("BLB12"), -1), 0x35);
    EXPECT_EQ(store.readInteger(QStringLiteral("MEGA328P"), QStringLiteral("SIZEF"), 7), 7);
    EXPECT_EQ(store.readInteger(QStringLiteral("Other"), QStringLiteral("SIZEF"), 0), 4098);
    EXPECT_EQ(store.readInteger(QStringLiteral("Other"), QStringLiteral("BAD"), -1), -1);
    EXPECT_EQ(store.readString(QStringLiteral("Missing"), QStringLiteral("SIGN"), QStringLiteral("0")),
              QStringLiteral("0"));
}

} // namespace
