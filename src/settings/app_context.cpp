#include "settings/app_context.h"

#include "platform/dates.h"

namespace rebound {

AppContext::AppContext(std::filesystem::path app_folder, std::unique_ptr<const platform::Clock> clock)
    : app_folder_(std::move(app_folder)), clock_(std::move(clock)) {
    if (!clock_) clock_ = std::make_unique<platform::SystemClock>();
    settings_.set_base_folder(app_folder_);
}

std::string AppContext::today_text() const {
    return platform::today_text(*clock_);
}

}  // namespace rebound
