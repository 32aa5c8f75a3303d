#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <optional>
#include <unordered_map>
#include <utility>

namespace velloran {

// A modal dialog made from a dialog template of the program's resources, with a message
// map of its own: a handler per message and per command. The modal run has its own
// message loop, so that a window can look at every message before it is dispatched
// (PreTranslateMessage), as a key filter must.
class DialogWindow {
  public:
    // A message handler: the message's result, or nullopt for the default processing.
    using Handler = std::function<std::optional<LRESULT>(WPARAM, LPARAM)>;

    explicit DialogWindow(int templateId) : templateId_(templateId) {}
    virtual ~DialogWindow();
    DialogWindow(const DialogWindow&) = delete;
    DialogWindow& operator=(const DialogWindow&) = delete;

    // Creates the window, owned by `owner` (null for none), which takes no input while
    // this one is up. The window is shown once its initialisation has returned, unless
    // that has already ended it; the run lasts until EndModal. Returns EndModal's result,
    // or -1 when the window cannot be created.
    INT_PTR DoModal(HWND owner);
    // Ends the modal run as soon as the message being handled has been handled.
    void EndModal(INT_PTR result);

    HWND Handle() const { return window_; }
    HWND Control(int controlId) const { return GetDlgItem(window_, controlId); }

  protected:
    void OnMessage(UINT message, Handler handler);
    void OnCommand(int controlId, WORD notification, std::function<void()> handler);

    // WM_INITDIALOG, with Handle() set; true lets the dialog manager set the focus.
    virtual bool OnInitDialog() = 0;
    // Sees every message the modal loop is about to dispatch; true consumes it.
    virtual bool PreTranslateMessage(const MSG&) { return false; }
    // Whether a WM_QUIT waits for the window's own end: the loop then runs on until
    // EndModal and posts the quit again for the loop outside, instead of leaving a window
    // that nothing serves any more.
    virtual bool OutlivesQuit() const { return false; }

  private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    std::optional<LRESULT> DispatchCommand(WPARAM wParam);
    void RunModalLoop();

    int templateId_;
    HWND window_ = nullptr;
    bool ended_ = false;
    INT_PTR result_ = -1;
    std::unordered_map<UINT, Handler> handlers_;
    std::map<std::pair<int, WORD>, std::function<void()>> commands_;
};

}  // namespace velloran
