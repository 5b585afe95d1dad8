// Message boxes as the user sees them, for the bench's programs (the tracer
// inside the configurator, the launcher around a setup package): a box is a
// visible dialog window (class #32770); its text is the static control
// 0xFFFF; its buttons carry the codes the box returns.
#ifndef KVX_BENCH_BOX_WINDOWS_H
#define KVX_BENCH_BOX_WINDOWS_H

#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace kvx::bench {

inline std::string GbkOf(const wchar_t* text) {
  if (text == nullptr)
    return std::string();
  int length = WideCharToMultiByte(936, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (length <= 1)
    return std::string();
  std::string bytes(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(936, 0, text, -1, &bytes[0], length, nullptr, nullptr);
  bytes.resize(static_cast<size_t>(length - 1));
  return bytes;
}

inline std::string WindowTextGbk(HWND window) {
  if (window == nullptr)
    return std::string();
  int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  int got = GetWindowTextW(window, &text[0], length + 1);
  text.resize(static_cast<size_t>(got > 0 ? got : 0));
  return GbkOf(text.c_str());
}

inline bool IsShownBox(HWND window) {
  wchar_t name[16] = {};
  GetClassNameW(window, name, 16);
  return lstrcmpW(name, L"#32770") == 0 && IsWindowVisible(window);
}

// What the box shows: caption, text, and its buttons as "6=&Yes 7=&No".
struct ShownBox {
  std::string caption, text, buttons;
  bool hasOk = false;
};

inline ShownBox ReadBox(HWND box) {
  static const int kButtons[] = {IDOK, IDCANCEL, IDABORT, IDRETRY, IDIGNORE, IDYES, IDNO};
  ShownBox shown;
  shown.caption = WindowTextGbk(box);
  shown.text = WindowTextGbk(GetDlgItem(box, 0xFFFF));
  for (int id : kButtons) {
    HWND button = GetDlgItem(box, id);
    if (button != nullptr && IsWindowVisible(button)) {
      shown.hasOk = shown.hasOk || id == IDOK;
      shown.buttons +=
          (shown.buttons.empty() ? "" : " ") + std::to_string(id) + "=" + WindowTextGbk(button);
    }
  }
  return shown;
}

// The answer for a box: the one given, else OK, or No when it has no OK.
inline int Press(HWND box, const ShownBox& shown, int answer) {
  if (answer == 0)
    answer = shown.hasOk ? IDOK : IDNO;
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(box, answer)));
  return answer;
}

// The answers named by KVX_BENCH_ANSWERS: button codes, comma-separated,
// one per box in order ("6,1").
inline std::vector<int> Answers(const std::string& list) {
  std::vector<int> answers;
  for (size_t at = 0; at < list.size();) {
    size_t comma = list.find(',', at);
    if (comma == std::string::npos)
      comma = list.size();
    answers.push_back(std::atoi(list.substr(at, comma - at).c_str()));
    at = comma + 1;
  }
  return answers;
}

}  // namespace kvx::bench

#endif  // KVX_BENCH_BOX_WINDOWS_H
