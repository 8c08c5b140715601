#pragma once

#include <bitset>

// Names and order are fixed: settings and stored forms refer to these values by name and position.

enum TChipType {
    ctUnknown, ct90S1200, ct90S2313, ct90S2323, ct90S2333, ct90S2343, ct90S4414, ct90S4433, ct90S4434,
    ct90S8515, ct90S8535, ctMEGA103, ctMEGA16, ctMEGA161, ctMEGA162, ctMEGA163, ctMEGA168, ctMEGA169,
    ctMEGA128, ctMEGA2561, ctMEGA1281, ct90CAN128, ctMEGA32, ctMEGA323, ctMEGA328, ctMEGA328P, ctMEGA48,
    ctMEGA64, ct90USB64, ct90USB128, ctMEGA8, ctMEGA88, ctMEGA8515, ctMEGA8535, ctTINY12, ctTINY13,
    ctTINY2313, ctTINY15L, ctTINY26, ctTINY25, ctTINY45, ct89S8252, ct89S53, ct89S52, ct89S51, ct17C65,
    ct17C128, ct17C256, ct17C512, ct17C010, ct17C020, ct17C002, ctMEGA644, ctTINY87, ctTINY167, ctMEGA1284,
    ctMEGA1284P, ctLast
};

// The fuse and lock bits a chip may carry; a set of them names the programmed ones.
enum TFuseItem {
    fFSTRT, fBLB12, fBLB11, fBLB02, fBLB01, fLB2, fLB1, fRCEN, fCKSEL0, fCKSEL1, fCKSEL2, fCKSEL3, fSUT0,
    fSUT1, fBODEN, fBODLEV, fBOOTRS, fBOOTSZ0, fBOOTSZ1, fCKOPT, fJTAGEN, fOCDEN, fWDTON, fM103C, fRSTDIS,
    fSPIEN, fPLLCK, fEESAVE, fBODLEV0, fBODLEV1, fBODLEV2, fCKOUT, fCKDIV8, fDWEN, fHWBE, fSELFPRGEN, fEND
};

using TFuses = std::bitset<fEND + 1>;

// Supply voltage of the target.
enum TUccType { ut5v, ut3v };
