#include "config/ParamTable.h"

#include <QStringList>

namespace {

// Choice lists shared by several rows; each row behaves as if it had its own copy.
const char YesNo[] = "Нет\rДа";
const char Digit[] = "0\r1\r2\r3\r4\r5\r6\r7\r8\r9";
const char FaultReport[] = "Не передавать\rТолько ГТС\rТолько GSM\rГТС и GSM";
const char PhoneSource[] = "Принятому из УОО\rИз настроек";
const char GprsAddressSource[] = "Адреса сервера GPRS\rАдреса сервера Ethernet";
const char AnalogueFormat[] = "IDContact\rIDContact удлиненный\rKolvet";
const char Decoding[] = "Декодировать\rПередавать как принято";
const char PstnTest[] = "Посылать, если включен\rНе посылать никогда";
const char Visibility[] = "Видимый\rНевидимый";
const char SendNotSend[] = "Передавать\rНе передавать";
const char IdentSource[] = "Принятый из УОО\rСобственный";
const char RingTone[] = "Выдавать\rНе выдавать";
const char NetworkSetup[] = "Установить вручную\rПолучать от DHCP";
const char SmsContent[] = "Все\rТолько тревоги";
const char SmsRecipient[] = "Нет\rТревоги и неисправности\rВсе";
const char AlarmInput[] = "Выкл\rРазмыкание\rЗамыкание";
const char ContactId[] = "100\r101\r110\r111\r112\r113\r114\r117\r118\r120\r121\r122\r123\r124\r125\r130\r131\r132\r"
                         "133\r134\r135\r136\r137\r138\r139\r140\r147\r150\r151\r152\r153\r154\r155\r158\r159\r"
                         "161\r162\r163";
const char SimBinding[] = "Нет\rПривязан, можно сбросить\rПривязан, нельзя сбросить";
const char SimProgramming[] = "Разрешено\rНе разрешено";
const char Dialling[] = "Импульс\rТональный";

constexpr quint32 Gen12 = pfGen1 | pfGen2;

} // namespace

// Name, Choices, Size, Kind, Block, MinVersion, Offset, Code, Flags. The order is significant everywhere:
// store and tree order, device command order, and the access-level bytes of old configuration files.
// clang-format off
const TParamDesc ParamTable[] = {
    {"Попыток связи по ГТС", "", 1, pkNumber, pbMain, 0, 0, "$01", pfGen1},                                 // 0
    {"Попыток связи по GSM", "", 1, pkNumber, pbMain, 0, 1, "$02", pfGen1},                                 // 1
    {"Передавать по ГТС", YesNo, 1, pkChoice, pbMain, 0, 0, "M06-1", pfGen2},                               // 2
    {"Передавать по GPRS", YesNo, 1, pkChoice, pbMain, 0, 0, "M06-2", pfGen2},                              // 3
    {"Передавать по GSM", YesNo, 1, pkChoice, pbMain, 0, 0, "M06-3", pfGen2},                               // 4
    {"Передавать по Ethernet", YesNo, 1, pkChoice, pbMain, 0, 0, "M06-4", pfGen2},                          // 5
    {"Ждать вызывной тон", YesNo, 1, pkChoice, pbMain, 0, 4, "M01-1", Gen12},                               // 6
    {"По одному сообщению GSM", YesNo, 1, pkChoice, pbMain, 0, 5, "$03", pfGen1},                           // 7
    {"Удлиненные посылки GSM", YesNo, 1, pkChoice, pbMain, 0, 6, "$04", pfGen1},                            // 8
    {"Набор номера", Dialling, 1, pkChoice, pbMain, 0, 59, "M01-2", Gen12},                                 // 9
    {"Префикс ГТС", "", 6, pkText, pbMain, 0, 7, "P10", Gen12 | pfPhone},                                   // 10
    {"Префикс GSM", "", 6, pkText, pbMain, 0, 13, "P11", Gen12 | pfPhone},                                  // 11
    {"Период теста GSM (ч)", "", 1, pkNumber, pbExtension, 0, 32, "$05", pfGen1},                           // 12
    {"Увелич. таймаут связи", YesNo, 1, pkChoice, pbExtension, 0, 34, "$06", pfGen1},                       // 13
    {"Использовать Kolvet", YesNo, 1, pkChoice, pbExtension, 0, 35, "$07", pfGen1},                         // 14
    {"Уровень приема GSM", Digit, 1, pkChoice, pbMain, 0, 2, "$08", pfGen1 | pfInvert},                     // 15
    {"Уровень передачи GSM", Digit, 1, pkChoice, pbMain, 0, 3, "$09", pfGen1},                              // 16
    {"Передавать отказы связи", FaultReport, 1, pkChoice, pbMain, 0, 55, "$10", pfGen1},                    // 17
    {"Передавать по телефону", PhoneSource, 1, pkChoice, pbMain, 0, 0, "M04", pfGen2},                      // 18
    {"Передавать на второй пульт", YesNo, 1, pkChoice, pbMain, 0, 0, "M02", pfGen2},                        // 19
    {"Использовать для GPRS", GprsAddressSource, 1, pkChoice, pbMain, 0, 0, "M05", pfGen2},                 // 20
    {"Формат аналоговой передачи", AnalogueFormat, 1, pkChoice, pbMain, 0, 0, "M07", pfGen2},               // 21
    {"Декодирование сообщений", Decoding, 1, pkChoice, pbMain, 0, 0, "M08", pfGen2},                        // 22
    {"Период тестовых сообщений (ч)", "", 1, pkNumber, pbMain, 0, 0, "M20", pfGen2 | pfMax99},              // 23
    {"Тест по ГТС", PstnTest, 1, pkChoice, pbMain, 0, 0, "M21", pfGen2},                                    // 24
    {"Тест по GPRS/Ethernet", Visibility, 1, pkChoice, pbMain, 0, 0, "M22", pfGen2},                        // 25
    {"Отказ ГТС", SendNotSend, 1, pkChoice, pbMain, 0, 0, "M23-1", pfGen2 | pfBit},                         // 26
    {"Отказ GPRS", SendNotSend, 1, pkChoice, pbMain, 0, 0, "M23-2", pfGen2 | pfBit},                        // 27
    {"Отказ GSM", SendNotSend, 1, pkChoice, pbMain, 0, 0, "M23-3", pfGen2 | pfBit},                         // 28
    {"Отказ Ethernet", SendNotSend, 1, pkChoice, pbMain, 0, 0, "M23-4", pfGen2 | pfBit},                    // 29
    {"", "", 0, 0, 0, 0, 0, nullptr, 0},                                                                    // 30
    {"Только фиксир. тлф.номер", YesNo, 1, pkChoice, pbExtension, 0, 33, "$24", pfGen1},                    // 31
    {"Собственный идентификатор", "", 4, pkIdent, pbMain, 0, 51, "I01", Gen12},                             // 32
    {"Идентиф. транслируемых сообщений", IdentSource, 1, pkChoice, pbMain, 0, 0, "M03", pfGen2},            // 33
    {"Телефон ПЦО 1", "", 14, pkText, pbMain, 0, 0, "P20", pfGen2 | pfPhone},                               // 34
    {"Телефон ПЦО 2", "", 14, pkText, pbMain, 0, 0, "P21", pfGen2 | pfPhone},                               // 35
    {"Фиксир. телефон ГТС 1", "", 14, pkText, pbMain, 40, 77, "$11", pfGen1 | pfPhone},                     // 36
    {"Фиксир. телефон ГТС 2", "", 14, pkText, pbMain, 40, 91, "$12", pfGen1 | pfPhone},                     // 37
    {"Фиксир. телефон GSM 1", "", 14, pkText, pbMain, 41, 106, "$25", pfGen1 | pfPhone},                    // 38
    {"Фиксир. телефон GSM 2", "", 14, pkText, pbMain, 41, 120, "$26", pfGen1 | pfPhone},                    // 39
    {"", "", 0, 0, 0, 0, 0, nullptr, 0},                                                                    // 40
    {"Передача GPRS", YesNo, 1, pkChoice, pbMain, 53, 48, "$27", pfGen1},                                   // 41
    {"Сервер Ethernet 1", "", 4, pkAddress, pbMain, 0, 0, "S01", pfGen2},                                   // 42
    {"Сервер Ethernet 2", "", 4, pkAddress, pbMain, 0, 0, "S02", pfGen2},                                   // 43
    {"Сервер GPRS 1", "", 4, pkAddress, pbMain, 53, 40, "S03", Gen12},                                      // 44
    {"Сервер GPRS 2", "", 4, pkAddress, pbMain, 53, 44, "S04", Gen12},                                      // 45
    {"APN логин", "", 8, pkText, pbMain, 53, 134, "G01", Gen12},                                            // 46
    {"APN пароль", "", 8, pkText, pbMain, 53, 142, "G02", Gen12},                                           // 47
    {"APN сервер", "", 16, pkText, pbMain, 53, 150, "$28", pfGen1 | pfApn},                                 // 48
    {"APN сервер", "", 23, pkText, pbMain, 0, 0, "G03", pfGen2},                                            // 49
    {"", "", 0, 0, 0, 0, 0, nullptr, 0},                                                                    // 50
    {"Вызывной тон на УОО ", RingTone, 1, pkChoice, pbMain, 0, 58, "$13", pfGen1},                          // 51
    {"Разрешить прием без КС", YesNo, 1, pkChoice, pbMain, 0, 0, "M09", pfGen2},                            // 52
    {"", "", 0, 0, 0, 0, 0, nullptr, 0},                                                                    // 53
    {"Параметры сети", NetworkSetup, 1, pkChoice, pbMain, 0, 0, "N04", pfGen2},                             // 54
    {"IP адрес", "", 4, pkAddress, pbMain, 0, 0, "N01", pfGen2},                                            // 55
    {"Адрес шлюза", "", 4, pkAddress, pbMain, 0, 0, "N02", pfGen2},                                         // 56
    {"Маска сети", "", 4, pkAddress, pbMain, 0, 0, "N03", pfGen2},                                          // 57
    {"USSD запрос баланса", "", 9, pkText, pbMain, 0, 60, "B03", Gen12},                                    // 58
    {"USSD для получения времени", "", 14, pkText, pbMain, 0, 0, "B04", pfGen2},                            // 59
    {"Курс у.е.", "", 1, pkNumber, pbMain, 0, 70, "$14", pfGen1},                                           // 60
    {"Предупреждение о балансе (р)", "", 2, pkNumber, pbMain, 0, 71, "$15", pfGen1},                        // 61
    {"Период запроса баланса (ч)", "", 2, pkNumber, pbMain, 0, 73, "$16", pfGen1 | pfHours},                // 62
    {"", "", 0, 0, 0, 0, 0, nullptr, 0},                                                                    // 63
    {"Телефон для SMS 1", "", 14, pkText, pbMain, 0, 0, "P01", pfGen2 | pfPhone},                           // 64
    {"Телефон для SMS 2", "", 14, pkText, pbMain, 0, 0, "P02", pfGen2 | pfPhone},                           // 65
    {"Телефон для SMS 3", "", 14, pkText, pbMain, 0, 0, "P03", pfGen2 | pfPhone},                           // 66
    {"Телефон для SMS", "", 14, pkText, pbMain, 0, 19, "$29", pfGen1 | pfPhone},                            // 67
    {"Передавать SMS", SmsContent, 1, pkChoice, pbMain, 0, 75, "$17", pfGen1},                              // 68
    {"Передавать SMS на тлф. 1", SmsRecipient, 1, pkChoice, pbMain, 0, 0, "E01-1", pfGen2},                 // 69
    {"Передавать SMS на тлф. 2", SmsRecipient, 1, pkChoice, pbMain, 0, 0, "E01-2", pfGen2},                 // 70
    {"Передавать SMS на тлф. 3", SmsRecipient, 1, pkChoice, pbMain, 0, 0, "E01-3", pfGen2},                 // 71
    {"Передача SMS с балансом", YesNo, 1, pkChoice, pbMain, 0, 56, "$18", pfGen1},                          // 72
    {"SMS по одному сообщению", YesNo, 1, pkChoice, pbMain, 0, 57, "$19", pfGen1},                          // 73
    {"Вход тревоги", AlarmInput, 1, pkChoice, pbMain, 53, 37, "M10", Gen12},                                // 74
    {"Сообщение входа тревоги", ContactId, 2, pkNumber, pbMain, 53, 38, "M11", Gen12},                      // 75
    {"Подавление дребезга (не более 3 сообщ в X ч)", "", 1, pkNumber, pbMain, 55, 50, "M12", Gen12},        // 76
    {"", "", 0, 0, 0, 0, 0, nullptr, 0},                                                                    // 77
    {"PIN код", "", 4, pkText, pbMain, 0, 33, "G04", Gen12},                                                // 78
    {"Требовать PIN", YesNo, 1, pkChoice, pbExtension, 0, 0, "$20", pfGen1},                                // 79
    {"Привязка к SIM карте", SimBinding, 1, pkChoice, pbExtension, 0, 1, "$21", pfGen1},                    // 80
    {"Программирование с SIM", SimProgramming, 0, pkChoice, pbSimByte, 0, 0, "$22", pfGen1},                // 81
    {"", "", 0, 0, 0, 0, 0, nullptr, 0},                                                                    // 82
    {"IMSI", "", 28, pkText, pbExtension, 0, 2, "$23", pfGen1 | pfReadOnly},                                // 83
    {"Текущий IP адрес", "", 4, pkAddress, pbMain, 0, 0, "#A", pfGen2 | pfReadOnly},                        // 84
    {"Текущий баланс (р)", "", 1, pkNumber, pbMain, 0, 0, "#B", pfGen2 | pfReadOnly},                       // 85
    {"Текущий уровень GSM (0..32)", "", 1, pkNumber, pbMain, 0, 0, "#L", pfGen2 | pfReadOnly},              // 86
    {nullptr, nullptr, 0, 0, 0, 0, 0, nullptr, 0},                                                          // end
};
// clang-format on

static_assert(sizeof(ParamTable) / sizeof(ParamTable[0]) == ParamTableRows + 1);

QStringList TParamDesc::choices() const {
    if (!Choices || !*Choices)
        return {};
    return QString::fromUtf8(Choices).split(QLatin1Char('\r'));
}

const TParamDesc* FindParam(quint32 mask, const QString& code, int index) {
    if (code.isEmpty())
        return nullptr;
    const QString wanted = index > 0 ? code + QLatin1Char('-') + QString::number(index) : code;
    for (const TParamDesc* row = ParamTable; row->Name; ++row) {
        if (!(row->Flags & mask))
            continue;
        const QString rowCode = row->code();
        if (index > 0 ? rowCode == wanted : rowCode.startsWith(wanted))
            return row;
    }
    return nullptr;
}
