#pragma once

#include <optional>
#include <string>
#include <string_view>

// What an update handler may say about one command: enabled, checked, its text. The object
// remembers what was said, so the caller (a menu, the toolbar, the status bar or a test) can read
// it back; a subclass that stands for a real item applies each change through the hooks.
class CCmdUI {
public:
    enum Check { Unchecked = 0, Checked = 1, Indeterminate = 2 };

    explicit CCmdUI(int id) : id(id) {}
    CCmdUI(const CCmdUI&) = delete;
    CCmdUI& operator=(const CCmdUI&) = delete;
    virtual ~CCmdUI() = default;

    int Id() const { return id; }

    void Enable(bool on = true);
    // 0 clears the check mark, 1 sets it, 2 shows the indeterminate state.
    void SetCheck(int check = Checked);
    // UTF-8.
    void SetText(std::string_view text);

    // What was set, or nothing when no one set it.
    std::optional<bool> EnabledState() const { return enabled; }
    std::optional<int> CheckState() const { return check; }
    const std::optional<std::string>& TextState() const { return text; }

    // Read back with the defaults of an item nobody touched: enabled, unchecked, no text.
    bool IsEnabled() const { return enabled.value_or(true); }
    bool IsChecked() const { return check.value_or(Unchecked) == Checked; }
    std::string Text() const { return text.value_or(std::string()); }

protected:
    // Called after each change has been remembered; the base applies nothing.
    virtual void ApplyEnable(bool) {}
    virtual void ApplyCheck(int) {}
    virtual void ApplyText(const std::string&) {}

private:
    int id;
    std::optional<bool> enabled;
    std::optional<int> check;
    std::optional<std::string> text;
};
