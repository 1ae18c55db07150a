#pragma once

#include <functional>
#include <memory>
#include <string>

// A top-level window found by its title.
class CFoundWindow {
public:
    virtual ~CFoundWindow() = default;
    virtual bool IsIconic() const = 0;
    // Restores a minimised window.
    virtual void OpenIcon() = 0;
    virtual void BringWindowToTop() = 0;
};

using WindowFinder = std::function<std::unique_ptr<CFoundWindow>(const std::string& title)>;

// The top-level window whose title is exactly `title`, or null.
std::unique_ptr<CFoundWindow> FindWindowByTitle(const std::string& title);

// Installs `finder` (an empty one restores the real lookup) and returns the one it replaces.
WindowFinder SetWindowFinder(WindowFinder finder);
