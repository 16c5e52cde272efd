// The texts of the Quenvar edition, by entry number.
//
// Key plan (no two roles may share a number; the table is checked below for
// ascending, unique entries, and the library test checks the roles):
//   1, 2, 3          optional wizard pages (advanced, accessories, contracts)
//   50               default percentage of load for the autonomy
//   101 .. 105       product name, publisher, caption, mail, rights notice
//   110 .. 141       web address shown / remainder, per language file
//   300 .. 303       product web page, per language file
//   1000 + 20 k      standard UPS definitions, S + 1 .. S + 11 (S + 8 unused)
//   C, C + 1         article code and offer flag of the catalogue item with
//                    product code C (codes step by 10 from 2001, 3001, 4001)
//   C + 2            accessories and contracts: language list;
//                    inverter cabinets: preferred modular battery cabinet
//                    (the key named by the cabinet's field 19)
//   C + 3, C + 4     contracts: minimum and maximum VA|W of the sizes covered
//
// Product code 2101 belongs both to the 3.4 kVA power module and to the 94 Ah
// kit of the non-modular battery cabinet, so one article code and one offer
// flag serve both.

#include "QuenvarEntries.h"

namespace {

constexpr TVendorEntry kEntries[] = {
    // Wizard pages and defaults.
    {1, "1"},
    {2, "1"},
    {3, "1"},
    {50, "80"},

    // Branding.
    {101, "Varnex"},
    {102, "Quenvar Power Systems S.p.A."},
    {103, "Quenvar"},
    {104, "info@quenvar.example.com"},
    {105, "\xC2\xA9 2026 Quenvar Power Systems S.p.A. All rights reserved."},

    // Web address shown and its remainder: Italian, English, German, Spanish.
    {110, "https://www.quenvar.example.com"},
    {111, "/it/"},
    {120, "https://www.quenvar.example.com"},
    {121, "/en/"},
    {130, "https://www.quenvar.example.com"},
    {131, "/de/"},
    {140, "https://www.quenvar.example.com"},
    {141, "/es/"},

    // Product pages, same order of languages.
    {300, "https://www.quenvar.example.com/it/prodotti/varnex/"},
    {301, "https://www.quenvar.example.com/en/products/varnex/"},
    {302, "https://www.quenvar.example.com/de/produkte/varnex/"},
    {303, "https://www.quenvar.example.com/es/productos/varnex/"},

    // Standard UPS definitions. Each is the result of the wizard's sizing for
    // a common request: the size's full load in VA, three-phase input with
    // three-line output, no redundancy, 10 minutes at 80 % of the load,
    // modular battery cabinet, automatic battery choice. Single precision
    // throughout, as the sizing does it:
    //
    // S = 1000, 10 kVA, cabinet 10020, modules 10200 (3,4 kVA) 1/1/1:
    //   P = 6400 W, load 80.0001 % of 7999.99 W installed, efficiency 0.94,
    //   B = 6808.51 W. 9 Ah kit at 10 min: 268 W/block, 25 blocks, 1.25
    //   strings, threshold 0.35 -> 1 string, 4 kits in the cabinet's 12
    //   positions, cost 860. 7.2 Ah kit: 223 W/block, 30 blocks, 1.5 strings,
    //   threshold 0.15 -> 2 strings, cost 1360. Minimum strings for power:
    //   round up (3 x 3333.33 / 10000) = 1 >= 1 -> 6808.51 / 27 = 252.17 W per
    //   block, 11 minutes, 253.4 W/block, 26 blocks, 1.3 -> still 1 string.
    //   => kit 10260 x 4.
    // S = 1020, 8 kVA, cabinet 10000, modules 10180 (2,7 kVA) 1/1/1:
    //   P = 5120 W, 64 %, 0.94, B = 5446.81 W. 9 Ah: 20 blocks -> 1 string,
    //   cost 860; 7.2 Ah: 24 blocks, 1.2 -> 2 strings, 1360. Minimum strings
    //   round up (0.8) = 1 -> 201.73 W per block, 14 minutes, 209.6 W/block,
    //   25 blocks, 1.25 -> 1 string. => kit 10260 x 4.
    // S = 1040, 16 kVA, cabinet 10040 (8 kit positions), modules 10180 2/2/2:
    //   P = 10240 W, 64 %, 0.94, B = 10893.6 W. 9 Ah: 40 blocks -> 2 strings,
    //   8 kits all in the cabinet, cost 1720; 7.2 Ah: 48 blocks, 2.4 -> 3
    //   strings, 12 kits, 4 in a 16-position cabinet, 2040 + 1600 = 3640.
    //   Minimum strings round up (1.6) = 2 >= 2 -> 10893.6 / 47 = 231.78 W,
    //   12 minutes, 238.8 W/block, 45 blocks, 2.25 -> 2 strings.
    //   => kit 10260 x 8.
    // S = 1060, 20 kVA, cabinet 10060 (8 kit positions), modules 10200 2/2/2:
    //   P = 12800 W, 80 %, 0.94, B = 13617 W. 7.2 Ah: 61 blocks, 3.05 -> 3
    //   strings, 12 kits, 4 in one 16-position cabinet, 2040 + 1600 = 3640;
    //   9 Ah: 50 blocks, 2.5 -> 3 strings, 2580 + 1600 = 4180. Minimum
    //   strings round up (2.0) = 2 < 3, no change. => kit 10240 x 12.
    // S = 1080, 30 kVA 9 slots, cabinet 10080 (no kit positions), modules
    //   10200 3/3/3: P = 19200 W, 80 %, 0.94, B = 20425.5 W. 9 Ah: 76 blocks,
    //   3.8 -> 4 strings, 16 kits in one 16-position cabinet, 3440 + 1600 =
    //   5040; 7.2 Ah: 91 blocks, 4.55 -> 5 strings, 20 kits in two cabinets,
    //   3400 + 3200 = 6600. Minimum strings 3 < 4. => kit 10260 x 16.
    // S = 1100, 45 kVA, cabinet 10100, modules 10220 (5 kVA) 3/3/3, inverter
    //   only: no battery kit.
    // S = 1120, 60 kVA, cabinet 10120, modules 10220 4/4/4 (not enabled):
    //   P = 38400 W, 80 %, 0.94, B = 40851.1 W. 7.2 Ah: 183 blocks, 9.15 -> 9
    //   strings, 36 kits in two 20-position cabinets, 6120 + 3400 = 9520;
    //   9 Ah: 152 blocks, 7.6 -> 8 strings, 32 kits, 6880 + 3400 = 10280.
    //   Minimum strings round up (6.0) = 6 < 9. => kit 10240 x 36.
    //
    // Fields: S+1 code, S+2 description format (the product name), S+3..S+5
    // modules per phase, S+6 module record, S+7 cabinet record, S+9 kit
    // count, S+10 kit record (-1: no batteries), S+11 "1" = enabled.
    {1001, "QV-STD-10K"},
    {1002, "%s 10 kVA modular UPS, 3 x 3.4 kVA modules, 4 x 9 Ah battery kits, 10 minutes"},
    {1003, "1"},
    {1004, "1"},
    {1005, "1"},
    {1006, "10200"},
    {1007, "10020"},
    {1009, "4"},
    {1010, "10260"},
    {1011, "1"},

    {1021, "QV-STD-08K"},
    {1022, "%s 8 kVA modular UPS, 3 x 2.7 kVA modules, 4 x 9 Ah battery kits, 10 minutes"},
    {1023, "1"},
    {1024, "1"},
    {1025, "1"},
    {1026, "10180"},
    {1027, "10000"},
    {1029, "4"},
    {1030, "10260"},
    {1031, "1"},

    {1041, "QV-STD-16K"},
    {1042, "%s 16 kVA modular UPS, 6 x 2.7 kVA modules, 8 x 9 Ah battery kits, 10 minutes"},
    {1043, "2"},
    {1044, "2"},
    {1045, "2"},
    {1046, "10180"},
    {1047, "10040"},
    {1049, "8"},
    {1050, "10260"},
    {1051, "1"},

    {1061, "QV-STD-20K"},
    {1062, "%s 20 kVA modular UPS, 6 x 3.4 kVA modules, 12 x 7.2 Ah battery kits with battery cabinet, 10 minutes"},
    {1063, "2"},
    {1064, "2"},
    {1065, "2"},
    {1066, "10200"},
    {1067, "10060"},
    {1069, "12"},
    {1070, "10240"},
    {1071, "1"},

    {1081, "QV-STD-30K"},
    {1082, "%s 30 kVA modular UPS, 9 x 3.4 kVA modules, 16 x 9 Ah battery kits with battery cabinet, 10 minutes"},
    {1083, "3"},
    {1084, "3"},
    {1085, "3"},
    {1086, "10200"},
    {1087, "10080"},
    {1089, "16"},
    {1090, "10260"},
    {1091, "1"},

    {1101, "QV-STD-45K-NB"},
    {1102, "%s 45 kVA modular UPS, 9 x 5 kVA modules, without batteries"},
    {1103, "3"},
    {1104, "3"},
    {1105, "3"},
    {1106, "10220"},
    {1107, "10100"},
    {1109, "0"},
    {1110, "-1"},
    {1111, "1"},

    {1121, "QV-STD-60K"},
    {1122, "%s 60 kVA modular UPS, 12 x 5 kVA modules, 36 x 7.2 Ah battery kits with 2 battery cabinets, 10 minutes"},
    {1123, "4"},
    {1124, "4"},
    {1125, "4"},
    {1126, "10220"},
    {1127, "10120"},
    {1129, "36"},
    {1130, "10240"},
    {1131, "0"},

    // Inverter cabinets: article code, offered, preferred modular battery
    // cabinet (record 10140: 16 positions, 1345 mm, beside the 1345 mm
    // cabinets; record 10160: 20 positions, 1650 mm, beside the 1650 mm ones).
    {2001, "QV-IC-03-08"}, // 10000, 3 slots, 8 kVA, 1345 mm
    {2002, "1"},
    {2003, "10140"},
    {2011, "QV-IC-03-10"}, // 10020, 3 slots, 10 kVA, 1345 mm
    {2012, "1"},
    {2013, "10140"},
    {2021, "QV-IC-06-16"}, // 10040, 6 slots, 16 kVA, 1345 mm
    {2022, "1"},
    {2023, "10140"},
    {2031, "QV-IC-06-20"}, // 10060, 6 slots, 20 kVA, 1345 mm
    {2032, "1"},
    {2033, "10140"},
    {2041, "QV-IC-09-30"}, // 10080, 9 slots, 30 kVA, 1345 mm
    {2042, "1"},
    {2043, "10140"},       // also named by 10440
    {2051, "QV-IC-09-45H"}, // 10100, 9 slots, 45 kVA, 1650 mm
    {2052, "1"},
    {2053, "10160"},
    {2061, "QV-IC-12-60H"}, // 10120, 12 slots, 60 kVA, 1650 mm
    {2062, "1"},
    {2063, "10160"},

    // Modular battery cabinets.
    {2071, "QV-BC-16"}, // 10140
    {2072, "1"},
    {2081, "QV-BC-20"}, // 10160
    {2082, "1"},

    // Power modules (2101 also the 94 Ah kit 10480).
    {2091, "QV-PM-27"}, // 10180
    {2092, "1"},
    {2101, "QV-PM-34"}, // 10200
    {2102, "1"},
    {2111, "QV-PM-50"}, // 10220
    {2112, "1"},

    // Battery kits and the empty kit.
    {2121, "QV-BK-072"}, // 10240
    {2122, "1"},
    {2131, "QV-BK-090"}, // 10260
    {2132, "1"},
    {2141, "QV-BK-EMPTY"}, // 10280
    {2142, "1"},

    // Non-modular battery cabinet.
    {2151, "QV-BC-YU94"}, // 10460
    {2152, "1"},

    // Power module for the tall cabinets.
    {2161, "QV-PM-34H"}, // 10300
    {2162, "1"},

    // Tall inverter cabinets (1650 mm) and the single-phase-input 9 slots.
    {2171, "QV-IC-03-10H"}, // 10320
    {2172, "1"},
    {2173, "10160"},
    {2181, "QV-IC-03-15H"}, // 10340
    {2182, "1"},
    {2183, "10160"},
    {2191, "QV-IC-06-20H"}, // 10360
    {2192, "1"},
    {2193, "10160"},
    {2201, "QV-IC-06-30H"}, // 10380
    {2202, "1"},
    {2203, "10160"},
    {2211, "QV-IC-09-30H"}, // 10400
    {2212, "1"},
    {2213, "10160"},
    {2221, "QV-IC-12-40H"}, // 10420
    {2222, "1"},
    {2223, "10160"},
    {2231, "QV-IC-09-30M"}, // 10440, 1345 mm, preferred cabinet under 2043
    {2232, "1"},

    // Accessories: article code, offered, languages ("0" = every language,
    // "1040" = Italian edition only).
    {3001, "QV-ACC-CS121"},
    {3002, "1"},
    {3003, "0"},
    {3011, "QV-ACC-CS121B"},
    {3012, "1"},
    {3013, "0"},
    {3021, "QV-ACC-SUP-232"},
    {3022, "1"},
    {3023, "0"},
    {3031, "QV-ACC-SUP-USB"},
    {3032, "1"},
    {3033, "0"},
    {3041, "QV-SW-RCCMD-01"},
    {3042, "1"},
    {3043, "0"},
    {3051, "QV-SW-RCCMD-05"},
    {3052, "1"},
    {3053, "0"},
    {3061, "QV-SW-RCCMD-10"},
    {3062, "1"},
    {3063, "0"},
    {3071, "QV-SW-RCCMD-25"},
    {3072, "1"},
    {3073, "0"},
    {3081, "QV-SW-RCCMD-50"},
    {3082, "1"},
    {3083, "0"},
    {3091, "QV-SW-RCCMD-AS4"},
    {3092, "1"},
    {3093, "1040"},
    {3101, "QV-ACC-KIT-AS4"},
    {3102, "1"},
    {3103, "1040"},
    {3111, "QV-ACC-CS121M"},
    {3112, "1"},
    {3113, "0"},

    // Maintenance contracts, sold in Italy only. Each exclusion group covers
    // one band of UPS sizes (VA|W), bounds included; the bands follow each
    // other without gap or overlap:
    //   group 0: up to 10 kVA, 1: up to 16 kVA, 2: up to 20 kVA,
    //   3: up to 30 kVA, 4: up to 40 kVA, 5: up to 45 kVA, 6: up to 60 kVA.
    {4001, "QV-MC-C-10"},
    {4002, "1"},
    {4003, "1040"},
    {4004, "0|0"},
    {4005, "10000|8000"},
    {4011, "QV-MC-D-10"},
    {4012, "1"},
    {4013, "1040"},
    {4014, "0|0"},
    {4015, "10000|8000"},
    {4021, "QV-MC-E-10"},
    {4022, "1"},
    {4023, "1040"},
    {4024, "0|0"},
    {4025, "10000|8000"},

    {4031, "QV-MC-C-16"},
    {4032, "1"},
    {4033, "1040"},
    {4034, "10001|8001"},
    {4035, "16000|12800"},
    {4041, "QV-MC-D-16"},
    {4042, "1"},
    {4043, "1040"},
    {4044, "10001|8001"},
    {4045, "16000|12800"},
    {4051, "QV-MC-E-16"},
    {4052, "1"},
    {4053, "1040"},
    {4054, "10001|8001"},
    {4055, "16000|12800"},

    {4061, "QV-MC-C-20"},
    {4062, "1"},
    {4063, "1040"},
    {4064, "16001|12801"},
    {4065, "20000|16000"},
    {4071, "QV-MC-D-20"},
    {4072, "1"},
    {4073, "1040"},
    {4074, "16001|12801"},
    {4075, "20000|16000"},
    {4081, "QV-MC-E-20"},
    {4082, "1"},
    {4083, "1040"},
    {4084, "16001|12801"},
    {4085, "20000|16000"},

    {4091, "QV-MC-C-30"},
    {4092, "1"},
    {4093, "1040"},
    {4094, "20001|16001"},
    {4095, "30000|24000"},
    {4101, "QV-MC-D-30"},
    {4102, "1"},
    {4103, "1040"},
    {4104, "20001|16001"},
    {4105, "30000|24000"},
    {4111, "QV-MC-E-30"},
    {4112, "1"},
    {4113, "1040"},
    {4114, "20001|16001"},
    {4115, "30000|24000"},

    {4121, "QV-MC-C-40"},
    {4122, "1"},
    {4123, "1040"},
    {4124, "30001|24001"},
    {4125, "40000|32000"},
    {4131, "QV-MC-D-40"},
    {4132, "1"},
    {4133, "1040"},
    {4134, "30001|24001"},
    {4135, "40000|32000"},
    {4141, "QV-MC-E-40"},
    {4142, "1"},
    {4143, "1040"},
    {4144, "30001|24001"},
    {4145, "40000|32000"},

    {4151, "QV-MC-C-45"},
    {4152, "1"},
    {4153, "1040"},
    {4154, "40001|32001"},
    {4155, "45000|36000"},
    {4161, "QV-MC-D-45"},
    {4162, "1"},
    {4163, "1040"},
    {4164, "40001|32001"},
    {4165, "45000|36000"},
    {4171, "QV-MC-E-45"},
    {4172, "1"},
    {4173, "1040"},
    {4174, "40001|32001"},
    {4175, "45000|36000"},

    {4181, "QV-MC-C-60"},
    {4182, "1"},
    {4183, "1040"},
    {4184, "45001|36001"},
    {4185, "60000|48000"},
    {4191, "QV-MC-D-60"},
    {4192, "1"},
    {4193, "1040"},
    {4194, "45001|36001"},
    {4195, "60000|48000"},
    {4201, "QV-MC-E-60"},
    {4202, "1"},
    {4203, "1040"},
    {4204, "45001|36001"},
    {4205, "60000|48000"},
};

constexpr std::size_t kEntryCount = sizeof(kEntries) / sizeof(kEntries[0]);

// Lookup is a binary search, so the table must be strictly ascending; this
// also rules out two texts under one number.
constexpr bool StrictlyAscending()
{
    for (std::size_t i = 1; i < kEntryCount; ++i)
        if (kEntries[i - 1].Entry >= kEntries[i].Entry)
            return false;
    return true;
}
static_assert(StrictlyAscending(), "vendor entries must be strictly ascending and unique");

} // namespace

const TVendorEntry *const VendorEntries = kEntries;
const std::size_t VendorEntryCount = kEntryCount;
