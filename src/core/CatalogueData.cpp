// The built-in product catalogue: every text of the UPS area (records from
// 10000) and of the accessory area (records from 20000), 20 fields a record.
// nullptr stands for a text that is not stored.

#include "CatalogueData.h"

const char *const kUpsTexts[][kCatalogueFields] = {
    // 10000
    {"2", "2001", "3 Slot", "UpsItemInverterCabinetSlot_3", "86", "414 x 1345 x 628", "1", "1", "1", "12", "1", "1", "1", "1", "10", "10180", "2900", "8000", "6400", "2003"},
    // 10020
    {"2", "2011", "3 Slot", "UpsItemInverterCabinetSlot_3", "86", "414 x 1345 x 628", "1", "1", "1", "12", "1", "1", "1", "1", "10", "10200", "2900", "10000", "8000", "2013"},
    // 10040
    {"2", "2021", "6 Slot", "UpsItemInverterCabinetSlot_6", "84", "414 x 1345 x 628", "2", "2", "2", "8", "1", "1", "1", "1", "10", "10180", "3000", "16000", "12800", "2023"},
    // 10060
    {"2", "2031", "6 Slot", "UpsItemInverterCabinetSlot_6", "84", "414 x 1345 x 628", "2", "2", "2", "8", "1", "1", "1", "1", "10", "10200", "3000", "20000", "16000", "2033"},
    // 10080
    {"2", "2041", "9 Slot", "UpsItemInverterCabinetSlot_9", "82", "414 x 1345 x 628", "3", "3", "3", "0", "0", "0", "0", "1", "10", "10200", "3100", "30000", "24000", "2043"},
    // 10100
    {"2", "2051", "9 Slot", "UpsItemInverterCabinetSlot_9", "113", "414 x 1650 x 628", "3", "3", "3", "0", "0", "0", "0", "1", "23", "10220", "3600", "45000", "36000", "2053"},
    // 10120
    {"2", "2061", "12 Slot", "UpsItemInverterCabinetSlot_12", "116", "414 x 1650 x 628", "4", "4", "4", "0", "0", "0", "0", "1", "23", "10220", "3700", "60000", "48000", "2063"},
    // 10140
    {"3", "2071", nullptr, "UpsItemBatteryCabinetModular_16", "80", "414 x 1345 x 628", "16", "1600"},
    // 10160
    {"3", "2081", nullptr, "UpsItemBatteryCabinetModular_20", "95", "414 x 1650 x 628", "20", "1700"},
    // 10180
    {"0", "2091", "2,7 KVA", "UpsItemPowerModule_27", "8.2", nullptr, "2666.66", "2133.33", "3333.33", "2666.66", "0;0|4;0.70|9;0.88|17;0.92|25;0.94|100;0.94", "1.5", "700"},
    // 10200
    {"0", "2101", "3,4 kVA", "UpsItemPowerModule_34", "8.2", nullptr, "3333.33", "2666.66", "3333.33", "2666.66", "0;0|4;0.70|9;0.88|17;0.92|25;0.94|100;0.94", "1.5", "800"},
    // 10220
    {"0", "2111", "5 kVA", "UpsItemPowerModule_50", "8.4", nullptr, "5000.00", "4000.00", "5000.00", "4000.00", "0;0|4;0.70|9;0.88|17;0.92|25;0.94|100;0.94", "2.5", "1100"},
    // 10240
    {"1", "2121", "7,2 Ah", "UpsItemBatteryKit_72", "14.0", nullptr, "60", "7.2", "690", "4020", "1.23", "3;433|5;341|10;223|15;170|20;143|30;106|45;75.1|60;60.1|90;41.3|120;32.0|180;23.8|240;18.3|300;15.1|360;12.1|600;8.04|1200;4.36|1440;3.64", "0.15", "170", "4", "1"},
    // 10260
    {"1", "2131", "9,0 Ah", "UpsItemBatteryKit_90", "14.0", nullptr, "60", "9.0", "799", "4436", "1.23", "3;530|5;410|10;268|15;195|20;159|30;112|45;82.1|60;65.7|90;45.2|120;34.9|180;26.0|240;20.0|300;16.5|360;13.3|600;8.79|1200;4.76|1440;3.97", "0.35", "215", "4", "1"},
    // 10280
    {"4", "2141", nullptr, "UpsItemBatteryKitEmpty", "5.7", nullptr, "4"},
    // 10300
    {"0", "2161", "3,4 kVA", "UpsItemPowerModule_34", "8.4", nullptr, "3333.33", "2666.66", "5000.00", "4000.00", "0;0|4;0.70|9;0.88|17;0.92|25;0.94|100;0.94", "2.5", "800"},
    // 10320
    {"2", "2171", "3 Slot", "UpsItemInverterCabinetSlot_3", "116", "414 x 1650 x 628", "1", "1", "1", "16", "1", "1", "1", "1", "23", "10300", "3700", "10000", "8000", "2173"},
    // 10340
    {"2", "2181", "3 Slot", "UpsItemInverterCabinetSlot_3", "116", "414 x 1650 x 628", "1", "1", "1", "16", "1", "1", "1", "1", "23", "10220", "3700", "15000", "12000", "2183"},
    // 10360
    {"2", "2191", "6 Slot", "UpsItemInverterCabinetSlot_6", "113", "414 x 1650 x 628", "2", "2", "2", "12", "1", "1", "1", "1", "23", "10300", "3700", "20000", "16000", "2193"},
    // 10380
    {"2", "2201", "6 Slot", "UpsItemInverterCabinetSlot_6", "110", "414 x 1650 x 628", "2", "2", "2", "0", "1", "1", "1", "1", "23", "10220", "3700", "30000", "24000", "2203"},
    // 10400
    {"2", "2211", "9 Slot", "UpsItemInverterCabinetSlot_9", "116", "414 x 1650 x 628", "3", "3", "3", "0", "0", "0", "0", "1", "23", "10300", "3700", "30000", "24000", "2213"},
    // 10420
    {"2", "2221", "12 Slot", "UpsItemInverterCabinetSlot_12", "116", "414 x 1650 x 628", "4", "4", "4", "0", "0", "0", "0", "1", "23", "10300", "3700", "40000", "32000", "2223"},
    // 10440
    {"2", "2231", "9 Slot", "UpsItemInverterCabinetSlot_9", "82", "414 x 1345 x 628", "3", "3", "3", "0", "1", "1", "1", "0", "10", "10200", "3100", "30000", "24000", "2043"},
    // 10460
    {"5", "2151", nullptr, "UpsItemBatteryCabinetNotModular", "760", "600 x 1635 x 800", "1", "0"},
    // 10480
    {"1", "2101", "94 Ah", nullptr, "0", nullptr, "252", "94.0", "0", "0", "0", "5;3895.2|10;2940|15;2239.8|20;1816.2|30;1413.6|45;1128|60;809.4|120;445.2|180;322.2|300;211.8|600;115.8|1200;60", "0", "0", "1", "0"},
};

const char *const kAccessoryTexts[][kCatalogueFields] = {
    // 20000
    {"6", "3001", "CS121 SK", "AccessoriesItemCs121", nullptr, nullptr, "0", "1", "0"},
    // 20020
    {"6", "3011", "CS121B SK", "AccessoriesItemCs121B", nullptr, nullptr, "0", "1", "0"},
    // 20040
    {"6", "3111", "CS121M SK", "AccessoriesItemCs121M", nullptr, nullptr, "0", "1", "0"},
    // 20060
    {"6", "3021", "UPS Supervisor RS232", "AccessoriesItemSupervisor", nullptr, nullptr, "0", "1", "0"},
    // 20080
    {"6", "3031", "UPS Supervisor USB", "AccessoriesItemSupervisor", nullptr, nullptr, "0", "1", "0"},
    // 20100
    {"6", "3041", "RCCMD", "AccessoriesItemRccmd", nullptr, nullptr, "-1", "1", "1"},
    // 20120
    {"6", "3051", "RCCMD", "AccessoriesItemRccmd", nullptr, nullptr, "-1", "5", "1"},
    // 20140
    {"6", "3061", "RCCMD", "AccessoriesItemRccmd", nullptr, nullptr, "-1", "10", "1"},
    // 20160
    {"6", "3071", "RCCMD", "AccessoriesItemRccmd", nullptr, nullptr, "-1", "25", "1"},
    // 20180
    {"6", "3081", "RCCMD", "AccessoriesItemRccmd", nullptr, nullptr, "-1", "50", "1"},
    // 20200
    {"6", "3091", "RCCMD IBM AS/400", "AccessoriesItemRccmdAs400", nullptr, nullptr, "-1", "1", "1"},
    // 20220
    {"6", "3101", "Kit IBM AS/400", "AccessoriesItemKitAs400", nullptr, nullptr, "-1", "1", "0"},
    // 20240
    {"7", "4001", "Canone C", "ContractsItem_C", nullptr, nullptr, "0", "1", "0"},
    // 20260
    {"7", "4011", "Canone D", "ContractsItem_D", nullptr, nullptr, "0", "1", "0"},
    // 20280
    {"7", "4021", "Canone E", "ContractsItem_E", nullptr, nullptr, "0", "1", "0"},
    // 20300
    {"7", "4031", "Canone C", "ContractsItem_C", nullptr, nullptr, "1", "1", "0"},
    // 20320
    {"7", "4041", "Canone D", "ContractsItem_D", nullptr, nullptr, "1", "1", "0"},
    // 20340
    {"7", "4051", "Canone E", "ContractsItem_E", nullptr, nullptr, "1", "1", "0"},
    // 20360
    {"7", "4061", "Canone C", "ContractsItem_C", nullptr, nullptr, "2", "1", "0"},
    // 20380
    {"7", "4071", "Canone D", "ContractsItem_D", nullptr, nullptr, "2", "1", "0"},
    // 20400
    {"7", "4081", "Canone E", "ContractsItem_E", nullptr, nullptr, "2", "1", "0"},
    // 20420
    {"7", "4091", "Canone C", "ContractsItem_C", nullptr, nullptr, "3", "1", "0"},
    // 20440
    {"7", "4101", "Canone D", "ContractsItem_D", nullptr, nullptr, "3", "1", "0"},
    // 20460
    {"7", "4111", "Canone E", "ContractsItem_E", nullptr, nullptr, "3", "1", "0"},
    // 20480
    {"7", "4121", "Canone C", "ContractsItem_C", nullptr, nullptr, "4", "1", "0"},
    // 20500
    {"7", "4131", "Canone D", "ContractsItem_D", nullptr, nullptr, "4", "1", "0"},
    // 20520
    {"7", "4141", "Canone E", "ContractsItem_E", nullptr, nullptr, "4", "1", "0"},
    // 20540
    {"7", "4151", "Canone C", "ContractsItem_C", nullptr, nullptr, "5", "1", "0"},
    // 20560
    {"7", "4161", "Canone D", "ContractsItem_D", nullptr, nullptr, "5", "1", "0"},
    // 20580
    {"7", "4171", "Canone E", "ContractsItem_E", nullptr, nullptr, "5", "1", "0"},
    // 20600
    {"7", "4181", "Canone C", "ContractsItem_C", nullptr, nullptr, "6", "1", "0"},
    // 20620
    {"7", "4191", "Canone D", "ContractsItem_D", nullptr, nullptr, "6", "1", "0"},
    // 20640
    {"7", "4201", "Canone E", "ContractsItem_E", nullptr, nullptr, "6", "1", "0"},
};

const int32_t kUpsRecordCount = int32_t(sizeof(kUpsTexts) / sizeof(kUpsTexts[0]));
const int32_t kAccessoryRecordCount = int32_t(sizeof(kAccessoryTexts) / sizeof(kAccessoryTexts[0]));
