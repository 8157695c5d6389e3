#pragma once

#include <functional>
#include <string>

// The program's message box: caption "Welmo", warning icon, one OK button.
void showMessage(const std::string& text);

// Test seam: when set, messages go to the hook instead of a box.
using MessageHook = std::function<void(const std::string& text)>;
void setMessageHook(MessageHook hook);
