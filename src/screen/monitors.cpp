#include "screen/monitors.h"

namespace ladoslov {

MonitorForm::MonitorForm(const Services& primary, std::unique_ptr<TextMeasurer> measurer, std::unique_ptr<TopMost> topMost)
    : measurer_(std::move(measurer)),
      topMost_(std::move(topMost)),
      screen_(*measurer_),
      multimedia_(primary.multimedia, form_),
      services_{primary.clock,   primary.regional, primary.random,  screen_,          *measurer_,
                instance_,       *topMost_,        multimedia_,     primary.files,    primary.pictures,
                primary.messageBox, primary.process, primary.commandLine, primary.insideHost},
      form_(services_) {}

}  // namespace ladoslov
