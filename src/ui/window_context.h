// The window side of the application context: the application context built
// in main, and the dialog seam through which every modal dialog of the window
// goes. Tests build their own, with prompts that answer in advance.
#pragma once

#include <memory>

#include "settings/app_context.h"
#include "ui/user_prompts.h"

namespace rebound {

class WindowContext {
public:
    // Without prompts the real dialogs are used.
    explicit WindowContext(AppContext& app, std::unique_ptr<UserPrompts> prompts = nullptr)
        : app_(app), prompts_(prompts ? std::move(prompts) : std::make_unique<UserPrompts>()) {}
    WindowContext(const WindowContext&) = delete;
    WindowContext& operator=(const WindowContext&) = delete;

    AppContext& app() const { return app_; }
    UserPrompts& prompts() const { return *prompts_; }
    // Replaces the dialog answerer (tests); the context owns it.
    void set_prompts(std::unique_ptr<UserPrompts> prompts) { prompts_ = std::move(prompts); }

private:
    AppContext& app_;
    std::unique_ptr<UserPrompts> prompts_;
};

}  // namespace rebound
