#include "screen/form.h"

namespace ladoslov {

void Form1::Timer13_Timer() { Label12.setCaption(services_.regional.longTime(services_.clock.timeOfDay())); }

}  // namespace ladoslov
