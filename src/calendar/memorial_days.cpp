#include "calendar/memorial_days.h"

#include <array>
#include <string>

namespace ladoslov {

namespace {

using M = MemorialRule::Match;

constexpr std::array kRules = {
    MemorialRule{1, M::Day, 1, 1, kRed, "День тельняшки; Новый год"},
    MemorialRule{1, M::Day, 7, 7, kRed, "Рождество Христово"},
    MemorialRule{1, M::Day, 10, 10, kBlue, "День инженер-механика"},
    MemorialRule{1, M::Day, 15, 15, kBlue, "День Главного штаба ВМФ"},
    MemorialRule{1, M::Day, 25, 25, kBlue, "День штурмана"},
    MemorialRule{2, M::Day, 23, 23, kRed, "День защитника Отечества", true},
    MemorialRule{3, M::Day, 5, 5, kBlue, "День Мореходных училищ"},
    MemorialRule{3, M::Day, 8, 8, kRed, "Международный Женский день"},
    MemorialRule{3, M::Day, 19, 19, kBlue, "День моряка-подводника"},
    MemorialRule{3, M::Day, 21, 21, kBlue, "День весеннего равноденствия"},
    MemorialRule{3, M::Day, 22, 22, kBlue, "День Балтийского моря"},
    MemorialRule{4, M::Cell, 13, 13, std::nullopt, "День селёдки"},
    MemorialRule{5, M::Day, 1, 1, kRed, "День весны и труда"},
    MemorialRule{5, M::Day, 5, 5, kBlue, "День водолаза"},
    MemorialRule{5, M::Day, 7, 7, kBlue, "День связиста, специалиста РТС,Р"},
    MemorialRule{5, M::Day, 9, 9, kRed, "День Победы"},
    MemorialRule{5, M::Day, 13, 13, kBlue, "День Черноморского флота"},
    MemorialRule{5, M::Day, 18, 18, kBlue, "День Балтийского флота"},
    MemorialRule{5, M::Day, 21, 21, kBlue, "День Тихоокеанского флота"},
    MemorialRule{5, M::Day, 28, 28, kBlue, "День пограничника"},
    MemorialRule{6, M::Day, 1, 1, kBlue, "День Северного флота"},
    MemorialRule{6, M::Day, 12, 12, kRed, "День России"},
    MemorialRule{6, M::Day, 20, 20, kBlue, "День минера-торпедиста"},
    MemorialRule{7, M::Day, 17, 17, kBlue, "День авиации ВМФ", true},
    MemorialRule{7, M::SundayRange, 1, 7, kBlue, "День морского и речного флота"},
    MemorialRule{7, M::SundayRange, 8, 14, kBlue, "День рыбака"},
    MemorialRule{7, M::SundayRange, 25, 31, kBlue, "День Военно-Морского Флота"},
    MemorialRule{9, M::Day, 8, 8, kBlue, "Праздник Новороссийского военно-морского района"},
    MemorialRule{10, M::Day, 8, 8, kBlue, "День командира корабля"},
    MemorialRule{10, M::Day, 30, 30, kBlue, "День моряка-надводника"},
    MemorialRule{11, M::Day, 4, 4, kRed, "День народного единства"},
    MemorialRule{11, M::Day, 15, 15, kBlue, "День Каспийской флотилии"},
    MemorialRule{11, M::Day, 19, 19, kBlue, "День ракетчика и артиллериста"},
    MemorialRule{11, M::Day, 27, 27, kBlue, "День Морской пехоты"},
    MemorialRule{12, M::Day, 9, 9, kBlue, "День Каспийского высшего военно-морского училища"},
};

}  // namespace

std::span<const MemorialRule> memorialRules() { return kRules; }

std::span<const MemorialRule> memorialRules(int month) {
    // The table is grouped by month.
    std::size_t begin = 0;
    while (begin < kRules.size() && kRules[begin].month < month) ++begin;
    std::size_t end = begin;
    while (end < kRules.size() && kRules[end].month == month) ++end;
    return std::span<const MemorialRule>(kRules).subspan(begin, end - begin);
}

bool matchesCell(const MemorialRule& rule, std::string_view caption, int cellIndex) {
    switch (rule.match) {
        case M::Day:
            return caption == std::to_string(rule.first);
        case M::SundayRange:
            if (cellIndex % 7 != 6) return false;
            for (int day = rule.first; day <= rule.last; ++day)
                if (caption == std::to_string(day)) return true;
            return false;
        case M::Cell:
            return cellIndex == rule.first;
    }
    return false;
}

}  // namespace ladoslov
