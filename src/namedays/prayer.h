#pragma once
#include <string>

namespace ladoslov {

// The prayer to one's patron saint, in two lines; "(имя)" stands for the name and is never replaced.
inline const std::string& prayerText() {
    static const std::string text = std::string("Моли Бога о мне, святой угодниче Божий (имя), яко аз") + "\r\n" +
                                    " усердно к тебе прибегаю, скорому помощнику и молитвеннику о душе моей";
    return text;
}

}  // namespace ladoslov
