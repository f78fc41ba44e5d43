#include "device/DeviceErrors.h"

namespace dev {

namespace {

const char* const kProtocolDefaults[95] = {
    /*  1 */ "operation code is wrong",
    /*  2 */ "message length is not as expected",
    /*  3 */ "there are some wrong characters in the message",
    /*  4 */ "message checksum is wrong",
    /*  5 */ "operation sequence is wrong",
    /*  6 */ "there is not any logo programmed",
    /*  7 */ "fiscal memory is full, sale and Z report printing is prohibited",
    /*  8 */ "printer buffer is full",
    /*  9 */ "this operation cannot be performed unless print buffer is blank",
    /* 10 */ "in logo programming message, line no. is not between 1-5",
    /* 11 */ "in tax rate programming message, tax type is not between 1-12",
    /* 12 */ "in time programming message, there are some non-numeric characters",
    /* 13 */ "in time programming message, hour is not between 0-23",
    /* 14 */ "in time programming message, minute is not between 0-59",
    /* 15 */ "in time programming message, second is not between 0-59",
    /* 16 */ "in sale amount data(qq.qqq), there some non-numeric characters",
    /* 17 */ "in sale amount data(qq.qqq), dot is not in expected place",
    /* 18 */ "in sale price data, there are some non-numeric characters",
    /* 19 */ "sale tax type is not between 1-12",
    /* 20 */ "tax rate which is expected to sale is not programmed",
    /* 21 */ "daily endorsement is above 12 digits",
    /* 22 */ "drawer total is above 12 digits",
    /* 23 */ "total which is asked to be returned is above sale",
    /* 24 */ "in discount rate, there are some non-numeric characters",
    /* 25 */ "discount parameter is not between 0-1",
    /* 26 */ "payment parameter is not between 0-1",
    /* 27 */ "in payment total, there are some non-numeric characters",
    /* 28 */ "there is no money in the drawer, payment is not permitted anymore",
    /* 29 */ "in total entered to drawer, there are some non-numeric characters",
    /* 30 */ "in total paid out from drawer, there are some non-numeric characters",
    /* 31 */ "total which is expected to be paid out from drawer is more than total in drawer",
    /* 32 */ "there are some non-numeric characters in fiscal memory report data",
    /* 33 */ "nnnn > mmmm in fiscal memory report data",
    /* 34 */ "nnnn is not found for fiscal memory report",
    /* 35 */ "mmmm is not found for fiscal memory report",
    /* 36 */ "there are some non-numeric characters in fiscal/monthly report data",
    /* 37 */ "fiscal/monthly report date 1 cannot be found",
    /* 38 */ "fiscal/monthly report date 2 cannot be found",
    /* 39 */ "monthly report dates are not within the same month or d1 > d2",
    /* 40 */ "this operation can be done only after RAM reset pin is short circuit",
    /* 41 */ "in date programming message, there are some non-numeric characters",
    /* 42 */ "in date programming message, month is greater than 12",
    /* 43 */ "in date programming message, day is greater than 31",
    /* 44 */ "fiscal memory dump address is not legal",
    /* 45 */ "invoice parameter isn't between 0-1",
    /* 46 */ "invoice receipt no. or total or total VAT data error",
    /* 47 */ "over 3 save(postponed) records",
    /* 48 */ "48",
    /* 49 */ "49",
    /* 50 */ "over 100 different PLU sale records in one receipt",
    /* 51 */ "fiscal code & number are illegal",
    /* 52 */ "fiscal code & number are not blank in fiscal memory",
    /* 53 */ "ECR is already in fiscal mode",
    /* 54 */ "ECR is already in user mode",
    /* 55 */ "cannot be written to the fiscal memory",
    /* 56 */ "Fiscal error(RESET PIN was shorted)",
    /* 57 */ "Not enough payment, receipt canceled",
    /* 58 */ "58",
    /* 59 */ "59",
    /* 60 */ "factory/user FLAG VALUE(0xFF/0x5A) ERROR",
    /* 61 */ "Non-Fiscal/Fiscal Flag Value(0xFF/0x5A) Error",
    /* 62 */ "check Eprom ID code ('ZQMR') error",
    /* 63 */ "Device check error",
    /* 64 */ "set clerk error",
    /* 65 */ "cashier login error",
    /* 66 */ "cashier NO. error",
    /* 67 */ "service Password error",
    /* 68 */ "ram checksum error",
    /* 69 */ "tax id & format are illegal",
    /* 70 */ "set tax rate count exceeded",
    /* 71 */ "in tax rate message, ther are some non-numeric characters",
    /* 72 */ "force to print Z report in 24 hours",
    /* 73 */ "in time programming message,time changed exceed + / - 1 hour",
    /* 74 */ "in date programming message,date changed earlier than last date in the fiscal memory",
    /* 75 */ "Ecr in super mode, operation error",
    /* 76 */ "in package price data, there are some non-numeric characters",
    /* 77 */ "over 100 different PLU with package",
    /* 78 */ "enter package price different with price in package record",
    /* 79 */ "Recovery operation count exceeded",
    /* 80 */ "Recovery(count + datetime) cannot be written to the fiscal memory",
    /* 81 */ "sram dump address is not legal",
    /* 82 */ "This operation only can be in service mode",
    /* 83 */ "83",
    /* 84 */ "tax id & format are not blank in fiscal memory",
    /* 85 */ "85",
    /* 86 */ "the change of tax rate doesnot fit the vate law",
    /* 87 */ "the count of change tax rate over 5",
    /* 88 */ "nand flash error",
    /* 89 */ "plu in nand flash full",
    /* 90 */ "90",
    /* 91 */ "format error of new Date or new time ",
    /* 92 */ "new currency name is same now currency name",
    /* 93 */ "the count of change currency over 8",
    /* 94 */ "Rom Code Error",
    /* 95 */ "WRONG DATA - SALES NOT POSSIBLE -CALL SERVICE",
};

const char* const kHardwareDefaults[7] = {
    /* 1 */ "cannot be reached to the fiscal memory",
    /* 2 */ "fiscal memory serial no. is damaged",
    /* 3 */ "cannot be written to the fiscal memory",
    /* 4 */ "SRAM cannot be deleted(chip problem)",
    /* 5 */ "SRAM data loss(battery voltage loss)",
    /* 6 */ "SRAM writing and reading error(chip problem)",
    /* 7 */ "microprocessor ROM checksum error (software is damaged)",
};

} // namespace

DeviceErrorTable::DeviceErrorTable() {
    reset();
}

void DeviceErrorTable::reset() {
    commPort = QStringLiteral("Comm Port not Opened ");
    timeOut = QStringLiteral("Time Out");
    busy = QStringLiteral("Printer error, printer is busy.");
    for (int i = 0; i < 95; ++i)
        protocol[i] = QString::fromLatin1(kProtocolDefaults[i]);
    for (int i = 0; i < 7; ++i)
        hardware[i] = QString::fromLatin1(kHardwareDefaults[i]);
}

QString DeviceErrorTable::text(int32_t status, int32_t subCode) const {
    switch (status) {
    case -1:
    case -2:
        return commPort;
    case -3:
        return timeOut;
    case -4:
        return subCode >= 1 && subCode <= 95 ? protocol[subCode - 1] : QString();
    case -5:
        return subCode == 1 ? busy : QString();
    case -6:
        return subCode >= 1 && subCode <= 7 ? hardware[subCode - 1] : QString();
    default:
        return QString();
    }
}

void DeviceErrorTable::localise(const std::function<QString(int)>& localeString) {
    for (int n = 1; n <= 89; ++n)
        protocol[n - 1] = localeString(12100 + n);
    protocol[57 - 1] = QString::fromLatin1(kProtocolDefaults[57 - 1]);
    busy = localeString(12501);
    for (int n = 1; n <= 7; ++n)
        hardware[n - 1] = localeString(12600 + n);
    commPort = localeString(12701);
    timeOut = localeString(12702);
}

DeviceErrorTable& deviceErrors() {
    static DeviceErrorTable table;
    return table;
}

QString DeviceErrorText(int32_t status, int32_t subCode) {
    return deviceErrors().text(status, subCode);
}

} // namespace dev
