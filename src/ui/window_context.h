// The window side of the application context: the application context built
// in main, and the dialog seam through which every modal dialog of the window
// goes. Tests build their own, with prompts that answer in advance.
#pragma once

#include <QDir>
#include <QString>
#include <memory>

#include "platform/qt_bridge.h"
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
    // The application folder with "/" separators and no trailing one; every
    // folder the program uses lies below it.
    QString appFolder() const {
        QString folder = QDir::fromNativeSeparators(platform::from_path(app_.app_folder()));
        if (folder.size() > 1 && folder.endsWith(QLatin1Char('/'))) {
            folder.chop(1);
        }
        return folder;
    }
    UserPrompts& prompts() const { return *prompts_; }
    // Replaces the dialog answerer (tests); the context owns it.
    void set_prompts(std::unique_ptr<UserPrompts> prompts) { prompts_ = std::move(prompts); }

private:
    AppContext& app_;
    std::unique_ptr<UserPrompts> prompts_;
};

}  // namespace rebound
