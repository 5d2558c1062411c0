#include "msgbox.h"

#include <atomic>

namespace tw {
namespace {
std::atomic<MessageBoxHandler> g_handler{nullptr};
}

int ShowMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type) {
  MessageBoxHandler handler = g_handler.load();
  if (handler) return handler(owner, text.c_str(), caption.c_str(), type);
  return ::MessageBoxW(owner, text.c_str(), caption.c_str(), type);
}

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler) { return g_handler.exchange(handler); }

}  // namespace tw
